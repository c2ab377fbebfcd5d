#include "ClassLearner.h"

#include "SessionCode.h"

#include <QWebSocket>

#include <algorithm>

namespace pulsavo::classroom {

using protocol::Message;
using protocol::Type;

ClassLearner::ClassLearner(QObject* parent) : QObject(parent) {
    clock.setTimerType(Qt::PreciseTimer);
    clock.setInterval(tickMs);
    connect(&clock, &QTimer::timeout, this, &ClassLearner::onClock);
}

ClassLearner::~ClassLearner() {
    if (socket) {
        socket->disconnect(this);
    }
}

bool ClassLearner::join(const QString& address, const QString& code, const QString& name,
                        QString* error) {
    QString text = address.trimmed();
    if (!text.contains(QLatin1String("://"))) {
        text.prepend(QLatin1String("ws://"));
    }
    QUrl parsed(text, QUrl::StrictMode);
    if (parsed.scheme() == QLatin1String("http")) {
        parsed.setScheme(QStringLiteral("ws"));
    }
    if (!parsed.isValid() || parsed.scheme() != QLatin1String("ws") || parsed.host().isEmpty() ||
        parsed.port() <= 0) {
        *error = tr("アドレス %1 は読めません (例: 192.168.1.20:8080)").arg(address.left(80));
        return false;
    }
    const auto canonical = SessionCode::normalise(code);
    if (!canonical) {
        *error = tr("参加コード %1 は6文字のコードではありません").arg(code.left(24));
        return false;
    }
    const QString trimmedName = name.trimmed();
    if (!protocol::validName(trimmedName)) {
        *error = tr("名前は1〜%1文字にしてください").arg(protocol::maxNameLength);
        return false;
    }
    url = parsed;
    joinCode = *canonical;
    learnerName = trimmedName;
    open();
    return true;
}

void ClassLearner::open() {
    if (socket) {
        socket->disconnect(this);
        socket->abort();
    }
    socket = std::make_unique<QWebSocket>();
    socket->setMaxAllowedIncomingMessageSize(protocol::maxMessageBytes);
    socket->setMaxAllowedIncomingFrameSize(protocol::maxMessageBytes);
    connect(socket.get(), &QWebSocket::connected, this, [this] {
        Message hello;
        hello.type = Type::hello;
        hello.code = joinCode;
        hello.name = learnerName;
        socket->sendTextMessage(QString::fromUtf8(protocol::encode(hello)));
    });
    connect(socket.get(), &QWebSocket::textMessageReceived, this, &ClassLearner::onText);
    connect(socket.get(), &QWebSocket::disconnected, this, &ClassLearner::onDisconnected);
    // A host that cannot be reached never connects, so never disconnects either.
    connect(socket.get(), qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), this,
            [this] {
                if (currentStatus == Status::connecting) {
                    onDisconnected();
                }
            });
    setStatus(Status::connecting);
    socket->open(url);
}

void ClassLearner::leave() {
    if (socket) {
        Message bye;
        bye.type = Type::bye;
        socket->sendTextMessage(QString::fromUtf8(protocol::encode(bye)));
        socket->disconnect(this);
        socket->close();
    }
    setStatus(Status::idle);
}

void ClassLearner::setStatus(Status status) {
    if (status != currentStatus) {
        currentStatus = status;
        emit statusChanged(status);
    }
}

void ClassLearner::onDisconnected() {
    // Refused stays refused; anything else while joined is the network failing under us.
    if (currentStatus != Status::refused) {
        setStatus(Status::offline);
    }
}

void ClassLearner::onText(const QString& text) {
    const protocol::Decoded decoded = protocol::decode(text.toUtf8());
    if (!decoded.message) {
        ++faultCount;
        return;
    }
    const Message& m = *decoded.message;
    switch (m.type) {
    case Type::welcome:
        // A different session (the host started again) is a different timeline.
        if (m.session != session) {
            classModel.reset();
            session = m.session;
            heldFrozen = false;
            hostTick = 0;
        }
        // The host's tick is confirmed by the sync that follows the timeline, not by the welcome
        // that comes before it: stepping to the welcome's tick would play without the entries.
        received = 0;
        sinceSync.start();
        setStatus(Status::joined);
        return;
    case Type::pending:
        setStatus(Status::pending);
        return;
    case Type::refuse:
        lastRefusal = m.reason;
        setStatus(Status::refused);
        socket->disconnect(this);
        socket->close();
        return;
    case Type::sync:
        if (currentStatus == Status::joined && m.tick >= hostTick) {
            hostTick = m.tick;
            sinceSync.start();
            emit confirmedTickChanged(hostTick);
        }
        return;
    case Type::poll:
        poll = m;
        emit pollReceived(m.poll);
        return;
    case Type::pollClose:
        if (poll.poll == m.poll) {
            poll.type = Type::pollClose;
        }
        emit pollClosed(m.poll);
        return;
    default:
        break;
    }
    if (!protocol::isTimeline(m.type) || currentStatus != Status::joined) {
        ++faultCount;
        return;
    }
    // After a rejoin the host sends the whole timeline again: what is held already is skipped,
    // and a timeline that differs from it is played again from its start.
    const auto& held = classModel.timeline();
    if (received < held.size()) {
        if (held[received] == m) {
            ++received;
            return;
        }
        classModel.truncate(received);
    }
    if (classModel.append(m)) {
        ++received;
        if (m.type == Type::freeze) {
            // Estimates run from here again, not from a sync before a long hold.
            heldFrozen = m.on;
            sinceSync.start();
        }
    } else {
        ++faultCount;
    }
}

void ClassLearner::followClock() {
    sinceSync.start();
    clock.start();
}

std::int64_t ClassLearner::playoutTick() const {
    // A host whose console holds the class steps no further; guessing on would run ahead of it.
    const bool extrapolate = sinceSync.isValid() && !heldFrozen;
    return hostTick + (extrapolate ? sinceSync.elapsed() / tickMs : 0) - playoutTicks;
}

void ClassLearner::onClock() {
    // Bounded catch-up per timer tick: a host claiming a far future tick cannot stall us.
    const std::int64_t target = std::min(playoutTick(), classModel.tick() + maxCatchUp);
    if (target > classModel.tick()) {
        classModel.stepTo(target);
    }
}

bool ClassLearner::answer(int pollId, int choice) {
    if (currentStatus != Status::joined || poll.type != Type::poll || poll.poll != pollId ||
        choice < 0 || choice >= poll.options.size()) {
        return false;
    }
    Message m;
    m.type = Type::answer;
    m.poll = pollId;
    m.choice = choice;
    socket->sendTextMessage(QString::fromUtf8(protocol::encode(m)));
    return true;
}

} // namespace pulsavo::classroom
