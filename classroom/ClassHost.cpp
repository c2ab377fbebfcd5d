#include "ClassHost.h"

#include "LiveCommands.h"
#include "LocalNetwork.h"
#include "SessionCode.h"

#include <QFile>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QWebSocket>
#include <QWebSocketServer>

#include <algorithm>

namespace pulsavo::classroom {

using protocol::ClientKind;
using protocol::Message;
using protocol::Refusal;
using protocol::Type;

struct ClassHost::Client {
    enum class Stage { greeting, pending, joined };
    int id = 0;
    QWebSocket* socket = nullptr;
    QHostAddress peer;
    Stage stage = Stage::greeting;
    QString name;
    ClientKind kind = ClientKind::desktop;
    double tokens = burstMessages;
    qint64 tokensAt = 0;
    int strikes = 0;
    QTimer greetingDeadline;
};

namespace {

QByteArray pageAsset(const QString& name) {
    QFile file(QStringLiteral(":/classroom/page/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QUrl joinUrlFor(const QHostAddress& address, quint16 port) {
    QUrl url;
    url.setScheme(QStringLiteral("ws"));
    url.setHost(address.toString());
    url.setPort(port);
    url.setPath(QStringLiteral("/"));
    return url;
}

} // namespace

ClassHost::ClassHost(QObject* parent) : QObject(parent) {
    clock.setTimerType(Qt::PreciseTimer);
    clock.setInterval(tickMs);
    connect(&clock, &QTimer::timeout, this, &ClassHost::onClock);
    rateTime.start();
    classModel.setOnStep([this](std::int64_t tick, const TickSample& sample) {
        if (samples.ys.empty()) {
            samples.tick = tick;
        }
        samples.ys.push_back(sample.y);
        samples.marks.append(static_cast<char>('0' + (sample.red ? 1 : 0) + (sample.beep ? 2 : 0)));
        if (static_cast<int>(samples.ys.size()) >= samplesEveryTicks) {
            broadcast(samples, false, true);
            samples.ys.clear();
            samples.marks.clear();
        }
    });
    samples.type = Type::samples;
    // One session per host: listening again (another port, the network back) keeps its
    // timeline, its code and its learners' models.
    sessionId = QString::number(QRandomGenerator::system()->generate64(), 36);
}

ClassHost::~ClassHost() {
    stop();
}

bool ClassHost::start(const Options& chosen, QString* error) {
    stop();
    options = chosen;
    const QHostAddress address =
        chosen.address.isNull() ? localNetwork::lanAddress() : chosen.address;
    if (!localNetwork::isLocal(address)) {
        *error = tr("%1 は教室のネットワークのアドレスではありません").arg(address.toString());
        return false;
    }
    if (!chosen.code.isEmpty()) {
        const auto code = SessionCode::normalise(chosen.code);
        if (!code) {
            *error = tr("参加コード %1 は使えません").arg(chosen.code.left(24));
            return false;
        }
        sessionCode = *code;
    } else if (sessionCode.isEmpty()) {
        sessionCode = SessionCode::generate();
    }

    sockets = std::make_unique<QWebSocketServer>(QStringLiteral("Pulsavo"),
                                                 QWebSocketServer::NonSecureMode);
    sockets->setMaxPendingConnections(32);
    // A peer that opens a connection and never finishes the handshake is closed.
    sockets->setHandshakeTimeout(5000);
    connect(sockets.get(), &QWebSocketServer::newConnection, this, &ClassHost::onWebSocket);
    if (!sockets->listen(address, chosen.port)) {
        *error = tr("%1 ポート %2 で待ち受けできません").arg(address.toString()).arg(chosen.port);
        sockets.reset();
        return false;
    }
    const quint16 port = sockets->serverPort();

    http = std::make_unique<QHttpServer>();
    const QByteArray joinAddress = QUrl(joinUrlFor(address, port)).toString().toUtf8();
    const auto page = [joinAddress](const QString& asset, const QByteArray& mime) {
        return [asset, mime, joinAddress](const QHttpServerRequest& request) {
            if (!localNetwork::isLocal(request.remoteAddress())) {
                return QHttpServerResponse(QHttpServerResponse::StatusCode::Forbidden);
            }
            QByteArray body = pageAsset(asset);
            body.replace("@JOIN_URL@", joinAddress);
            return QHttpServerResponse(mime, body);
        };
    };
    http->route(QStringLiteral("/"),
                page(QStringLiteral("index.html"), "text/html; charset=utf-8"));
    http->route(QStringLiteral("/monitor.js"),
                page(QStringLiteral("monitor.js"), "text/javascript; charset=utf-8"));
    pagePort = http->listen(address, chosen.port == 0 ? 0 : static_cast<quint16>(chosen.port + 1));
    if (pagePort == 0) {
        *error =
            tr("%1 ポート %2 で待ち受けできません").arg(address.toString()).arg(chosen.port + 1);
        http.reset();
        sockets.reset();
        return false;
    }
    listenAddress = address;
    listenPort = port;
    return true;
}

void ClassHost::stop() {
    clock.stop();
    for (auto& [id, client] : clients) {
        client->socket->disconnect(this);
        client->socket->close();
        client->socket->deleteLater();
    }
    clients.clear();
    http.reset();
    sockets.reset();
    listenPort = 0;
    pagePort = 0;
}

QUrl ClassHost::joinUrl() const {
    return joinUrlFor(listenAddress, listenPort);
}

QUrl ClassHost::pageUrl() const {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(listenAddress.toString());
    url.setPort(pagePort);
    url.setPath(QStringLiteral("/"));
    url.setQuery(QStringLiteral("code=") + sessionCode);
    return url;
}

void ClassHost::onWebSocket() {
    while (sockets && sockets->hasPendingConnections()) {
        QWebSocket* socket = sockets->nextPendingConnection();
        if (socket == nullptr) {
            continue;
        }
        socket->setParent(this);
        socket->setMaxAllowedIncomingMessageSize(protocol::maxMessageBytes);
        socket->setMaxAllowedIncomingFrameSize(protocol::maxMessageBytes);
        socket->setReadBufferSize(4 * protocol::maxMessageBytes);
        const QHostAddress peer = socket->peerAddress();
        const int capacity = 2 * options.maxLearners;
        if (!localNetwork::isLocal(peer) || static_cast<int>(clients.size()) >= capacity ||
            codeFailures.value(peer) >= maxCodeFailures) {
            const Refusal reason = !localNetwork::isLocal(peer)                   ? Refusal::network
                                   : static_cast<int>(clients.size()) >= capacity ? Refusal::full
                                                                                  : Refusal::code;
            Message refuse;
            refuse.type = Type::refuse;
            refuse.reason = reason;
            socket->sendTextMessage(QString::fromUtf8(protocol::encode(refuse)));
            socket->close();
            socket->deleteLater();
            emit refused(protocol::refusalName(reason) + QStringLiteral(": ") + peer.toString());
            continue;
        }
        auto client = std::make_unique<Client>();
        client->id = nextClientId++;
        client->socket = socket;
        client->peer = peer;
        client->tokensAt = rateTime.elapsed();
        const int id = client->id;
        connect(socket, &QWebSocket::textMessageReceived, this,
                [this, id](const QString& text) { onText(id, text); });
        connect(socket, &QWebSocket::binaryMessageReceived, this, [this, id](const QByteArray&) {
            drop(id, Refusal::malformed, QStringLiteral("binary message"));
        });
        connect(socket, &QWebSocket::disconnected, this, [this, id] {
            const auto it = clients.find(id);
            if (it == clients.end()) {
                return;
            }
            const bool wasJoined = it->second->stage == Client::Stage::joined;
            it->second->socket->deleteLater();
            answers.erase(id);
            clients.erase(it);
            if (wasJoined) {
                emit learnerLeft(id);
            }
        });
        // A peer that never says hello holds a slot; it gets ten seconds.
        client->greetingDeadline.setSingleShot(true);
        connect(&client->greetingDeadline, &QTimer::timeout, this,
                [this, id] { drop(id, Refusal::malformed, QStringLiteral("no hello")); });
        client->greetingDeadline.start(10000);
        clients.emplace(id, std::move(client));
    }
}

bool ClassHost::takeToken(Client& client) {
    const qint64 now = rateTime.elapsed();
    client.tokens = std::min<double>(burstMessages, client.tokens + (now - client.tokensAt) *
                                                                        messagesPerSecond / 1000.0);
    client.tokensAt = now;
    if (client.tokens < 1) {
        return false;
    }
    client.tokens -= 1;
    return true;
}

void ClassHost::onText(int clientId, const QString& text) {
    const auto it = clients.find(clientId);
    if (it == clients.end()) {
        return;
    }
    Client& client = *it->second;
    if (!takeToken(client)) {
        if (++client.strikes >= floodStrikes) {
            drop(clientId, Refusal::flood, QStringLiteral("flood"));
        }
        return;
    }
    const protocol::Decoded decoded = protocol::decode(text.toUtf8());
    if (!decoded.message) {
        const Refusal reason =
            decoded.error == QLatin1String("version") ? Refusal::version : Refusal::malformed;
        drop(clientId, reason, decoded.error);
        return;
    }
    const Message& m = *decoded.message;
    switch (m.type) {
    case Type::hello:
        if (client.stage != Client::Stage::greeting) {
            drop(clientId, Refusal::malformed, QStringLiteral("second hello"));
            return;
        }
        onHello(client, m);
        return;
    case Type::answer:
        if (client.stage != Client::Stage::joined) {
            drop(clientId, Refusal::malformed, QStringLiteral("answer before joining"));
            return;
        }
        if (m.poll == pollId && pollId != 0 && m.choice < pollMessage.options.size() &&
            pollMessage.type == Type::poll) {
            answers[clientId] = m.choice;
            emit answerReceived(pollId, clientId, client.name, m.choice);
        }
        return;
    case Type::bye:
        client.socket->close();
        return;
    default:
        // Learners do not drive the monitor: any other type from one is a fault.
        drop(clientId, Refusal::malformed,
             QStringLiteral("a learner may not send %1").arg(protocol::typeName(m.type)));
        return;
    }
}

void ClassHost::onHello(Client& client, const Message& hello) {
    client.greetingDeadline.stop();
    const auto code = SessionCode::normalise(hello.code);
    if (!code || *code != sessionCode) {
        // Bounded: a flood of addresses cannot grow the table without end.
        if (codeFailures.size() < 4096 || codeFailures.contains(client.peer)) {
            ++codeFailures[client.peer];
        }
        drop(client.id, Refusal::code, QStringLiteral("wrong code"));
        return;
    }
    const auto joined = std::count_if(clients.begin(), clients.end(), [](const auto& entry) {
        return entry.second->stage != Client::Stage::greeting;
    });
    if (joined >= options.maxLearners) {
        drop(client.id, Refusal::full, QStringLiteral("class full"));
        return;
    }
    client.name = hello.name;
    client.kind = hello.client;
    if (options.requireApproval) {
        client.stage = Client::Stage::pending;
        Message pending;
        pending.type = Type::pending;
        sendTo(client, pending);
        emit joinRequested(client.id, client.name);
        return;
    }
    admit(client);
}

void ClassHost::admit(Client& client) {
    client.stage = Client::Stage::joined;
    Message welcome;
    welcome.type = Type::welcome;
    welcome.session = sessionId;
    welcome.clientId = client.id;
    welcome.tick = classModel.tick();
    sendTo(client, welcome);
    if (client.kind == ClientKind::desktop) {
        for (const Message& entry : classModel.timeline()) {
            sendTo(client, entry);
        }
    } else if (classModel.frozen()) {
        Message freezeMessage;
        freezeMessage.type = Type::freeze;
        freezeMessage.at = classModel.tick();
        freezeMessage.on = true;
        sendTo(client, freezeMessage);
    }
    if (pollId != 0 && pollMessage.type == Type::poll) {
        sendTo(client, pollMessage);
    }
    if (client.kind == ClientKind::desktop) {
        // The timeline so far has been sent: the learner may play up to here.
        Message sync;
        sync.type = Type::sync;
        sync.tick = classModel.tick();
        sendTo(client, sync);
    }
    emit learnerJoined(client.id, client.name);
}

void ClassHost::approve(int learnerId) {
    const auto it = clients.find(learnerId);
    if (it != clients.end() && it->second->stage == Client::Stage::pending) {
        admit(*it->second);
    }
}

void ClassHost::reject(int learnerId) {
    const auto it = clients.find(learnerId);
    if (it != clients.end() && it->second->stage != Client::Stage::greeting) {
        drop(learnerId, Refusal::rejected, QStringLiteral("rejected"));
    }
}

void ClassHost::drop(int clientId, Refusal reason, const QString& why) {
    const auto it = clients.find(clientId);
    if (it == clients.end()) {
        return;
    }
    Client& client = *it->second;
    Message refuse;
    refuse.type = Type::refuse;
    refuse.reason = reason;
    if (client.socket->bytesToWrite() < maxBacklogBytes) {
        client.socket->sendTextMessage(QString::fromUtf8(protocol::encode(refuse)));
    }
    const bool wasJoined = client.stage == Client::Stage::joined;
    client.socket->disconnect(this);
    client.socket->close();
    client.socket->deleteLater();
    answers.erase(clientId);
    clients.erase(it);
    emit refused(protocol::refusalName(reason) + QStringLiteral(": ") + why);
    if (wasJoined) {
        emit learnerLeft(clientId);
    }
}

void ClassHost::sendTo(Client& client, const Message& message) {
    sendBytes(client, protocol::encode(message));
}

void ClassHost::sendBytes(Client& client, const QByteArray& bytes) {
    if (client.socket->bytesToWrite() > maxBacklogBytes) {
        // Deferred: dropping erases the client, and callers may be iterating over them.
        const int id = client.id;
        QMetaObject::invokeMethod(
            this, [this, id] { drop(id, Refusal::flood, QStringLiteral("not reading")); },
            Qt::QueuedConnection);
        return;
    }
    client.socket->sendTextMessage(QString::fromUtf8(bytes));
}

void ClassHost::broadcast(const Message& message, bool desktop, bool browser) {
    const QByteArray bytes = protocol::encode(message);
    for (auto& [id, client] : clients) {
        if (client->stage == Client::Stage::joined &&
            (client->kind == ClientKind::desktop ? desktop : browser)) {
            sendBytes(*client, bytes);
        }
    }
}

bool ClassHost::issue(Message entry) {
    entry.at = classModel.tick() + 1;
    // The host plays the entry exactly as learners will decode it (parameters in the order the
    // wire gives them), so that every model applies the same thing.
    const QByteArray bytes = protocol::encode(entry);
    protocol::Decoded decoded = protocol::decode(bytes);
    if (!decoded.message || !classModel.append(*decoded.message)) {
        return false;
    }
    // Browser pages have no model; a freeze is all they need of the timeline.
    broadcast(*decoded.message, true, entry.type == Type::freeze);
    return true;
}

bool ClassHost::select(std::optional<Rhythm> rhythm, std::uint32_t seed,
                       const std::vector<protocol::ArtifactSetting>& artifacts) {
    Message m;
    m.type = Type::state;
    m.rhythm = rhythm;
    m.seed = seed;
    for (const protocol::ArtifactSetting& a : artifacts) {
        if (a.strength < 0 || a.strength > Artifact::maxStrength) {
            return false;
        }
        if (a.strength > 0) {
            m.artifacts.push_back(a);
        }
    }
    return issue(m);
}

bool ClassHost::change(const std::vector<protocol::Parameter>& parameters, int rampTicks) {
    Message m;
    m.type = Type::change;
    m.parameters = parameters;
    m.ramp = rampTicks;
    return liveEntryValid(m) && issue(m);
}

bool ClassHost::issueLive(Type type, const QString& action, std::optional<Rhythm> rhythm,
                          std::uint32_t seed, int ramp) {
    Message m;
    m.type = type;
    m.action = action;
    m.rhythm = rhythm;
    m.seed = seed;
    m.ramp = ramp;
    return liveEntryValid(m) && issue(m);
}

bool ClassHost::transition(Rhythm rhythm, std::uint32_t seed, const QString& via, int rampTicks) {
    return issueLive(Type::transition, via, rhythm, seed, rampTicks);
}

bool ClassHost::instructorEvent(const QString& id, std::optional<Rhythm> after, std::uint32_t seed,
                                int pauseTicks) {
    return issueLive(Type::event, id, after, seed, pauseTicks);
}

bool ClassHost::mirror(const LiveAction& action, const Simulation& actedOn) {
    const auto entries = entriesOf(action, actedOn);
    if (!entries) {
        return false;
    }
    return std::all_of(entries->begin(), entries->end(), [this](const Message& entry) {
        return (entry.type == Type::state || liveEntryValid(entry)) && issue(entry);
    });
}

bool ClassHost::freeze(bool on) {
    Message m;
    m.type = Type::freeze;
    m.on = on;
    return issue(m);
}

int ClassHost::startPoll(const QString& kind, const QString& question, const QStringList& options) {
    Message m;
    m.type = Type::poll;
    m.poll = pollId + 1;
    m.pollKind = kind;
    m.question = question;
    m.options = options;
    // The host checks its own poll as a learner would: what it sends must decode.
    if (!protocol::decode(protocol::encode(m)).message) {
        return 0;
    }
    pollId = m.poll;
    pollMessage = m;
    answers.clear();
    broadcast(m, true, true);
    return pollId;
}

void ClassHost::closePoll() {
    if (pollId == 0 || pollMessage.type != Type::poll) {
        return;
    }
    Message m;
    m.type = Type::pollClose;
    m.poll = pollId;
    pollMessage.type = Type::pollClose;
    broadcast(m, true, true);
}

std::vector<int> ClassHost::pollCounts() const {
    std::vector<int> counts(static_cast<std::size_t>(pollMessage.options.size()), 0);
    for (const auto& [learner, choice] : answers) {
        if (choice >= 0 && choice < static_cast<int>(counts.size())) {
            ++counts[static_cast<std::size_t>(choice)];
        }
    }
    return counts;
}

std::vector<ClassHost::Learner> ClassHost::learners() const {
    std::vector<Learner> list;
    for (const auto& [id, client] : clients) {
        if (client->stage != Client::Stage::greeting) {
            list.push_back(
                {id, client->name, client->kind, client->stage == Client::Stage::joined});
        }
    }
    return list;
}

int ClassHost::learnerCount() const {
    return static_cast<int>(std::count_if(clients.begin(), clients.end(), [](const auto& entry) {
        return entry.second->stage == Client::Stage::joined;
    }));
}

void ClassHost::advanceTo(std::int64_t tick) {
    classModel.stepTo(tick);
    const std::int64_t now = classModel.tick();
    if (now - lastSync >= syncEveryTicks) {
        lastSync = now;
        Message sync;
        sync.type = Type::sync;
        sync.tick = now;
        broadcast(sync, true, false);
    }
}

void ClassHost::startClock() {
    clockBase = classModel.tick();
    clockTime.start();
    clock.start();
}

void ClassHost::onClock() {
    // Due ticks from the elapsed time, not from timer counts: a late timer catches up.
    advanceTo(clockBase + clockTime.elapsed() / tickMs);
}

} // namespace pulsavo::classroom
