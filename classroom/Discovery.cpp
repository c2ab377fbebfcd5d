#include "Discovery.h"

#include "LocalNetwork.h"
#include "SessionCode.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QUdpSocket>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace pulsavo::classroom {

namespace discovery {

namespace {

constexpr int maxUrlLength = 200;

std::optional<QJsonObject> objectWithKeys(const QByteArray& bytes, const char* type,
                                          std::initializer_list<const char*> keys) {
    if (bytes.size() > maxDatagramBytes) {
        return std::nullopt;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    QJsonObject object = document.object();
    if (object.size() != static_cast<qsizetype>(keys.size()) + 2 ||
        object.value(QLatin1String("v")) != QJsonValue(version) ||
        object.value(QLatin1String("t")) != QJsonValue(QLatin1String(type))) {
        return std::nullopt;
    }
    for (const char* key : keys) {
        if (!object.contains(QLatin1String(key))) {
            return std::nullopt;
        }
    }
    return object;
}

// The code exactly as the host shows it, not merely something that normalises to one.
std::optional<QString> canonicalCode(const QJsonValue& value) {
    const QString text = value.toString();
    auto code = SessionCode::normalise(text);
    if (!value.isString() || !code || *code != text) {
        return std::nullopt;
    }
    return code;
}

std::optional<quint32> queryId(const QJsonValue& value) {
    const double d = value.toDouble(-1);
    if (!value.isDouble() || d != std::floor(d) || d < 0 || d > 0xffffffffU) {
        return std::nullopt;
    }
    return static_cast<quint32>(d);
}

// A URL with a literal local address (never a name to look up) and a port.
std::optional<QUrl> localUrl(const QJsonValue& value, const QString& scheme) {
    const QString text = value.toString();
    if (!value.isString() || text.size() > maxUrlLength) {
        return std::nullopt;
    }
    const QUrl url(text, QUrl::StrictMode);
    const QHostAddress address(url.host());
    if (!url.isValid() || url.scheme() != scheme || address.isNull() ||
        !localNetwork::isLocal(address) || url.port() < 1 || !url.userInfo().isEmpty() ||
        url.hasFragment()) {
        return std::nullopt;
    }
    return url;
}

} // namespace

QByteArray encodeQuery(const Query& query) {
    const QJsonObject object{{QStringLiteral("v"), version},
                             {QStringLiteral("t"), QStringLiteral("find")},
                             {QStringLiteral("code"), query.code},
                             {QStringLiteral("id"), static_cast<double>(query.id)}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray encodeAnswer(const Answer& answer) {
    const QJsonObject object{{QStringLiteral("v"), version},
                             {QStringLiteral("t"), QStringLiteral("here")},
                             {QStringLiteral("code"), answer.code},
                             {QStringLiteral("id"), static_cast<double>(answer.id)},
                             {QStringLiteral("join"), answer.join.toString(QUrl::FullyEncoded)},
                             {QStringLiteral("page"), answer.page.toString(QUrl::FullyEncoded)}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<Query> decodeQuery(const QByteArray& bytes) {
    const auto object = objectWithKeys(bytes, "find", {"code", "id"});
    if (!object) {
        return std::nullopt;
    }
    const auto code = canonicalCode(object->value(QLatin1String("code")));
    const auto id = queryId(object->value(QLatin1String("id")));
    if (!code || !id) {
        return std::nullopt;
    }
    return Query{*code, *id};
}

std::optional<Answer> decodeAnswer(const QByteArray& bytes) {
    const auto object = objectWithKeys(bytes, "here", {"code", "id", "join", "page"});
    if (!object) {
        return std::nullopt;
    }
    const auto code = canonicalCode(object->value(QLatin1String("code")));
    const auto id = queryId(object->value(QLatin1String("id")));
    const auto join = localUrl(object->value(QLatin1String("join")), QStringLiteral("ws"));
    const auto page = localUrl(object->value(QLatin1String("page")), QStringLiteral("http"));
    if (!code || !id || !join || !page || join->hasQuery() ||
        (!join->path().isEmpty() && join->path() != QLatin1String("/"))) {
        return std::nullopt;
    }
    return Answer{*code, *id, *join, *page};
}

} // namespace discovery

namespace {

// Closed at once, deleted once its own signal, which may have led here, has returned.
void release(QUdpSocket*& socket, QObject* owner) {
    if (socket != nullptr) {
        socket->disconnect(owner);
        socket->close();
        socket->deleteLater();
        socket = nullptr;
    }
}

} // namespace

DiscoveryResponder::DiscoveryResponder(quint16 port, QObject* parent)
    : QObject(parent), listenPort(port) {
    clock.start();
}

DiscoveryResponder::~DiscoveryResponder() = default;

bool DiscoveryResponder::start(const QString& code, const QUrl& joinUrl, const QUrl& pageUrl,
                               QString* error) {
    discovery::Answer next{SessionCode::normalise(code).value_or(QString()), 0, joinUrl, pageUrl};
    // What it would send must itself pass a learner's checks, or no learner could use it.
    if (next.code.isEmpty() || !discovery::decodeAnswer(discovery::encodeAnswer(next))) {
        if (error != nullptr) {
            *error = tr("参加コード %1 と %2 では教室を知らせられません")
                         .arg(code.left(24), joinUrl.toString().left(80));
        }
        return false;
    }
    answer = next;
    if (socket) {
        return true;
    }
    auto* udp = new QUdpSocket(this);
    if (!udp->bind(QHostAddress::AnyIPv4, listenPort,
                   QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
        if (error != nullptr) {
            *error = tr("探索用の UDP ポート %1 を開けません: %2")
                         .arg(listenPort)
                         .arg(udp->errorString());
        }
        delete udp;
        return false;
    }
    socket = udp;
    connect(socket, &QUdpSocket::readyRead, this, &DiscoveryResponder::onReadyRead);
    return true;
}

void DiscoveryResponder::stop() {
    release(socket, this);
    budgets.clear();
}

void DiscoveryResponder::onReadyRead() {
    while (socket && socket->hasPendingDatagrams()) {
        // Read at most one byte past the limit: enough to tell an oversized datagram.
        const bool oversized = socket->pendingDatagramSize() > discovery::maxDatagramBytes;
        const QNetworkDatagram datagram = socket->receiveDatagram(discovery::maxDatagramBytes + 1);
        if (oversized) {
            emit ignored(QStringLiteral("oversized"));
            continue;
        }
        handle(datagram.data(), datagram.senderAddress(),
               static_cast<quint16>(std::max(0, datagram.senderPort())));
    }
}

void DiscoveryResponder::handle(const QByteArray& bytes, const QHostAddress& sender,
                                quint16 senderPort) {
    if (!localNetwork::isLocal(sender) || senderPort == 0) {
        emit ignored(QStringLiteral("not local"));
        return;
    }
    const auto query = discovery::decodeQuery(bytes);
    if (!query) {
        emit ignored(QStringLiteral("malformed"));
        return;
    }
    if (query->code != answer.code) {
        emit ignored(QStringLiteral("another code"));
        return;
    }
    // A host on loopback is reachable from this machine only: telling another where to go would
    // send it to itself.
    if (QHostAddress(answer.join.host()).isLoopback() && !sender.isLoopback()) {
        emit ignored(QStringLiteral("loopback only"));
        return;
    }
    if (!takeToken(sender)) {
        emit ignored(QStringLiteral("flood"));
        return;
    }
    discovery::Answer reply = answer;
    reply.id = query->id;
    socket->writeDatagram(discovery::encodeAnswer(reply), sender, senderPort);
    emit answered(sender);
}

bool DiscoveryResponder::takeToken(const QHostAddress& sender) {
    const qint64 now = clock.elapsed();
    const auto refilled = [now](const Budget& budget) {
        return std::min<double>(burstAnswers, budget.tokens + static_cast<double>(now - budget.at) *
                                                                  answersPerSecond / 1000.0);
    };
    auto it = budgets.find(sender);
    if (it == budgets.end()) {
        // The table stays bounded: senders whose budget has refilled are forgotten first.
        if (budgets.size() >= maxSenders) {
            budgets.removeIf(
                [&](const auto& entry) { return refilled(entry.value()) >= burstAnswers; });
            if (budgets.size() >= maxSenders) {
                return false;
            }
        }
        it = budgets.insert(sender, Budget{burstAnswers, now});
    }
    Budget& budget = it.value();
    budget.tokens = refilled(budget);
    budget.at = now;
    if (budget.tokens < 1) {
        return false;
    }
    budget.tokens -= 1;
    return true;
}

DiscoveryQuery::DiscoveryQuery(QObject* parent) : QObject(parent) {
    retry.setSingleShot(false);
    deadline.setSingleShot(true);
    connect(&retry, &QTimer::timeout, this, &DiscoveryQuery::send);
    connect(&deadline, &QTimer::timeout, this, &DiscoveryQuery::onTimeout);
}

DiscoveryQuery::~DiscoveryQuery() = default;

QList<QHostAddress> DiscoveryQuery::targets() {
    QList<QHostAddress> addresses;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            flags.testFlag(QNetworkInterface::IsLoopBack) ||
            !flags.testFlag(QNetworkInterface::CanBroadcast)) {
            continue;
        }
        const auto entries = interface.addressEntries();
        for (const QNetworkAddressEntry& entry : entries) {
            const QHostAddress broadcast = entry.broadcast();
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol && !broadcast.isNull() &&
                !addresses.contains(broadcast)) {
                addresses << broadcast;
            }
        }
    }
    // Several hosts on this machine share the port; only a broadcast reaches every one of them.
    addresses << QHostAddress(QStringLiteral("127.255.255.255"))
              << QHostAddress(QHostAddress::LocalHost);
    return addresses;
}

bool DiscoveryQuery::start(const QString& code, const Options& chosen, QString* error) {
    cancel();
    const auto normalised = SessionCode::normalise(code);
    if (!normalised) {
        if (error != nullptr) {
            *error = tr("%1 は参加コードではありません").arg(code.left(24));
        }
        return false;
    }
    auto* udp = new QUdpSocket(this);
    if (!udp->bind(QHostAddress::AnyIPv4, 0)) {
        if (error != nullptr) {
            *error = tr("探索用の UDP ソケットを開けません: %1").arg(udp->errorString());
        }
        delete udp;
        return false;
    }
    socket = udp;
    connect(socket, &QUdpSocket::readyRead, this, &DiscoveryQuery::onReadyRead);
    options = chosen;
    options.tries = std::max(1, options.tries);
    options.timeoutMs = std::max(1, options.timeoutMs);
    query = discovery::Query{*normalised, QRandomGenerator::system()->generate()};
    sent = 0;
    foundPage.clear();
    retry.start(options.timeoutMs / options.tries);
    deadline.start(options.timeoutMs);
    send();
    return true;
}

void DiscoveryQuery::cancel() {
    retry.stop();
    deadline.stop();
    release(socket, this);
}

void DiscoveryQuery::send() {
    if (!socket || sent >= options.tries) {
        retry.stop();
        return;
    }
    ++sent;
    const QByteArray bytes = discovery::encodeQuery(query);
    const auto addresses = targets();
    for (const QHostAddress& address : addresses) {
        // An interface that refuses a broadcast leaves the others to answer.
        socket->writeDatagram(bytes, address, options.port);
    }
}

void DiscoveryQuery::onReadyRead() {
    while (socket && socket->hasPendingDatagrams()) {
        const bool oversized = socket->pendingDatagramSize() > discovery::maxDatagramBytes;
        const QNetworkDatagram datagram = socket->receiveDatagram(discovery::maxDatagramBytes + 1);
        if (oversized || !localNetwork::isLocal(datagram.senderAddress())) {
            continue;
        }
        const auto answer = discovery::decodeAnswer(datagram.data());
        if (answer && answer->code == query.code && answer->id == query.id) {
            foundPage = answer->page;
            cancel();
            emit found(answer->join);
            return;
        }
    }
}

void DiscoveryQuery::onTimeout() {
    cancel();
    emit failed(tr("参加コード %1 の教室はこのネットワークで見つかりません").arg(query.code));
}

} // namespace pulsavo::classroom
