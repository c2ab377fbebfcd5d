#pragma once

#include "ClassModel.h"
#include "Protocol.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QHttpServer;
class QWebSocket;
class QWebSocketServer;

namespace pulsavo::classroom {

// One class session: the instructor's side. It plays the class's model, serves the browser page
// and takes learners over WebSocket on one port of the room's network. Desktop learners get the
// timeline and play it on their own model; browser learners get the trace's samples. Whatever a
// learner sends is size-limited, rate-limited and validated: a broken or hostile learner is
// refused or dropped and the others play on undisturbed.
class ClassHost : public QObject {
    Q_OBJECT
public:
    struct Options {
        QHostAddress address; // null: the room's network address
        quint16 port = 0;     // 0: any free port
        bool requireApproval = false;
        QString code; // empty: a fresh code
        int maxLearners = 200;
    };

    struct Learner {
        int id = 0;
        QString name;
        protocol::ClientKind kind = protocol::ClientKind::desktop;
        bool approved = false;
    };

    // Per learner: a burst of this many messages, refilled at this rate per second; a learner
    // that keeps sending past it is dropped.
    static constexpr int burstMessages = 20;
    static constexpr int messagesPerSecond = 5;
    static constexpr int floodStrikes = 100;
    // A learner whose unsent data passes this is not reading: it is dropped, not buffered for.
    static constexpr qint64 maxBacklogBytes = 1 << 20;
    // Failed codes from one address before it is refused outright.
    static constexpr int maxCodeFailures = 10;
    static constexpr int syncEveryTicks = 10;
    static constexpr int samplesEveryTicks = 5;

    explicit ClassHost(QObject* parent = nullptr);
    ~ClassHost() override;

    // Listens; false with a message when it cannot (address not local, port taken). Listening
    // again after stop() keeps the session: its code, timeline and model.
    bool start(const Options& options, QString* error);
    void stop();
    QString code() const { return sessionCode; }
    QHostAddress address() const { return listenAddress; }
    // Where learners join: ws://address:port.
    quint16 port() const { return listenPort; }
    QUrl joinUrl() const;
    // What browsers open (and the QR code carries): the page with the code filled in, on a port
    // of its own (the next one when a port was chosen).
    QUrl pageUrl() const;

    ClassModel& model() { return classModel; }
    // Steps the class's model to `tick`, sending what learners need; a console with its own
    // clock calls it each tick. startClock() lets a 10 ms timer call it instead.
    void advanceTo(std::int64_t tick);
    void startClock();

    // What the instructor does, from the next tick on; false when it is not valid or the
    // timeline is full (nothing is sent then).
    bool select(std::optional<Rhythm> rhythm, std::uint32_t seed,
                const std::vector<protocol::ArtifactSetting>& artifacts = {});
    bool change(const std::vector<protocol::Parameter>& parameters, int rampTicks);
    bool transition(Rhythm rhythm, std::uint32_t seed, const QString& via, int rampTicks);
    // pvc_now, block_beat, or defibrillate with what follows the shock (none: the rhythm that
    // played resumes) and the pause before it (0: the model's own).
    bool instructorEvent(const QString& id, std::optional<Rhythm> after = std::nullopt,
                         std::uint32_t seed = 0, int pauseTicks = 0);
    bool freeze(bool on);
    // What was done to the instructor's own simulation (told by its onLive), for every learner
    // to do at the same tick: the host must have been advanced to that simulation's tick. True
    // when it is on the timeline or changes nothing.
    bool mirror(const LiveAction& action, const Simulation& actedOn);

    // A poll to every learner; its id, or 0 when the question or options are not valid.
    int startPoll(const QString& kind, const QString& question, const QStringList& options);
    void closePoll();
    int openPoll() const { return pollId; }
    // Whether learners can still answer: a poll was asked and not closed.
    bool pollIsOpen() const { return pollId != 0 && pollMessage.type == protocol::Type::poll; }
    // Learners' answers to the open (or last) poll by option.
    std::vector<int> pollCounts() const;

    void approve(int learnerId);
    void reject(int learnerId);
    std::vector<Learner> learners() const;
    int learnerCount() const;

signals:
    void joinRequested(int learnerId, const QString& name);
    void learnerJoined(int learnerId, const QString& name);
    void learnerLeft(int learnerId);
    void answerReceived(int poll, int learnerId, const QString& name, int choice);
    // A peer refused or dropped: the refusal's protocol name and why, for the console's log.
    void refused(const QString& why);

private:
    struct Client;

    void onWebSocket();
    void onText(int clientId, const QString& text);
    void onHello(Client& client, const protocol::Message& hello);
    void admit(Client& client);
    void drop(int clientId, protocol::Refusal reason, const QString& why);
    void sendTo(Client& client, const protocol::Message& message);
    void sendBytes(Client& client, const QByteArray& bytes);
    void broadcast(const protocol::Message& message, bool desktop, bool browser);
    bool issue(protocol::Message entry);
    bool issueLive(protocol::Type type, const QString& action, std::optional<Rhythm> rhythm,
                   std::uint32_t seed, int ramp);
    bool takeToken(Client& client);
    void onClock();

    QString sessionCode;
    QString sessionId;
    QHostAddress listenAddress;
    quint16 listenPort = 0;
    Options options;
    std::unique_ptr<QHttpServer> http;
    std::unique_ptr<QWebSocketServer> sockets;
    quint16 pagePort = 0;
    std::map<int, std::unique_ptr<Client>> clients;
    int nextClientId = 1;
    QHash<QHostAddress, int> codeFailures;
    ClassModel classModel;
    std::int64_t lastSync = 0;
    protocol::Message samples;
    QTimer clock;
    QElapsedTimer clockTime;
    std::int64_t clockBase = 0;
    QElapsedTimer rateTime;
    int pollId = 0;
    protocol::Message pollMessage;
    std::map<int, int> answers; // learner id → choice, for the current poll
};

} // namespace pulsavo::classroom
