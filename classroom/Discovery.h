#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <optional>

class QUdpSocket;

namespace pulsavo::classroom {

// Finding a class by its code alone: a learner broadcasts the code on the room's network and the
// host holding it answers with where to join. One small JSON object per UDP datagram, carrying
// the version "v" and type "t": "find" (code, id) and its answer "here" (code, id, join, page).
namespace discovery {

inline constexpr int version = 1;
inline constexpr quint16 defaultPort = 45821;
inline constexpr int maxDatagramBytes = 512;

struct Query {
    QString code;
    quint32 id = 0; // echoed in the answer, so a learner takes only answers to its own query
    bool operator==(const Query&) const = default;
};

struct Answer {
    QString code;
    quint32 id = 0;
    QUrl join; // ws://ADDR:PORT on a local address
    QUrl page; // http://ADDR:PORT/...
    bool operator==(const Answer&) const = default;
};

QByteArray encodeQuery(const Query& query);
QByteArray encodeAnswer(const Answer& answer);
// None for anything that is not exactly such a datagram: too large, another version, another
// type, extra or missing fields, a code not in canonical form, addresses off the local network.
std::optional<Query> decodeQuery(const QByteArray& bytes);
std::optional<Answer> decodeAnswer(const QByteArray& bytes);

} // namespace discovery

// The host's side: answers queries naming its code, from local senders only, a few per sender.
class DiscoveryResponder : public QObject {
    Q_OBJECT
public:
    // Per sender: a burst of this many answers, refilled at this rate per second.
    static constexpr int burstAnswers = 8;
    static constexpr int answersPerSecond = 2;
    static constexpr int maxSenders = 256;

    explicit DiscoveryResponder(quint16 port = discovery::defaultPort, QObject* parent = nullptr);
    ~DiscoveryResponder() override;

    // Listens on the port; false with a message when the code or addresses cannot be a class's
    // or the port cannot be had. Starting again replaces what it answers with.
    bool start(const QString& code, const QUrl& joinUrl, const QUrl& pageUrl,
               QString* error = nullptr);
    void stop();
    bool isActive() const { return socket != nullptr; }
    quint16 port() const { return listenPort; }

signals:
    void answered(const QHostAddress& sender);
    // A datagram left unanswered and why, for tests and a console's log.
    void ignored(const QString& why);

private:
    struct Budget {
        double tokens = 0;
        qint64 at = 0;
    };

    void onReadyRead();
    void handle(const QByteArray& bytes, const QHostAddress& sender, quint16 senderPort);
    bool takeToken(const QHostAddress& sender);

    quint16 listenPort;
    QUdpSocket* socket = nullptr; // a child; let go with deleteLater, as it may be signalling
    discovery::Answer answer;
    QHash<QHostAddress, Budget> budgets;
    QElapsedTimer clock;
};

// The learner's side: sends the query to every local broadcast address and to this machine,
// a few times, and reports the first host that answers for the code, or that none did.
class DiscoveryQuery : public QObject {
    Q_OBJECT
public:
    struct Options {
        quint16 port = discovery::defaultPort;
        int timeoutMs = 3000;
        int tries = 3;
    };

    explicit DiscoveryQuery(QObject* parent = nullptr);
    ~DiscoveryQuery() override;

    // Starts looking; false with a message when the code cannot be one or no socket can be had.
    bool start(const QString& code, const Options& options, QString* error = nullptr);
    void cancel();
    // Where the query goes: the broadcast address of every up, non-loopback IPv4 interface, the
    // loopback broadcast (every host on this machine) and 127.0.0.1.
    static QList<QHostAddress> targets();
    QUrl pageUrl() const { return foundPage; }

signals:
    void found(const QUrl& joinUrl);
    void failed(const QString& reason);

private:
    void send();
    void onReadyRead();
    void onTimeout();

    QUdpSocket* socket = nullptr; // a child; let go with deleteLater, as it may be signalling
    Options options;
    discovery::Query query;
    QTimer retry;
    QTimer deadline;
    int sent = 0;
    QUrl foundPage;
};

} // namespace pulsavo::classroom
