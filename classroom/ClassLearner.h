#pragma once

#include "ClassModel.h"
#include "Protocol.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <cstdint>
#include <memory>

class QWebSocket;

namespace pulsavo::classroom {

// A desktop learner in a class: joins the host by its address and code, keeps the class's
// timeline and plays it on its own model. When the network fails it keeps playing what it has
// and says so; joining again brings it back onto the host's trace.
class ClassLearner : public QObject {
    Q_OBJECT
public:
    enum class Status { idle, connecting, pending, joined, offline, refused };
    Q_ENUM(Status)

    // How far behind the host's estimated tick the learner plays when it follows the clock, so
    // that entries arrive before they are due and the model seldom has to play again.
    static constexpr int playoutTicks = 15;
    static constexpr int maxCatchUp = 500;

    explicit ClassLearner(QObject* parent = nullptr);
    ~ClassLearner() override;

    // ws://ADDR:PORT (or http://, or ADDR:PORT) and the code as typed. False with a message when
    // the address or code cannot be one.
    bool join(const QString& address, const QString& code, const QString& name, QString* error);
    void leave();

    Status status() const { return currentStatus; }
    protocol::Refusal refusal() const { return lastRefusal; }
    ClassModel& model() { return classModel; }
    // The ticks the host is known to have stepped: every entry up to this tick has arrived.
    std::int64_t confirmedTick() const { return hostTick; }
    // A 10 ms timer stepping the model a little behind the host, or on alone when offline.
    void followClock();
    // The tick to play up to now: playoutTicks behind the host's tick as estimated from the
    // last sync, held at the last sync while the class is frozen.
    std::int64_t playoutTick() const;
    bool answer(int poll, int choice);
    const protocol::Message& currentPoll() const { return poll; }
    // Entries a host sent that did not fit the timeline (a faulty host); ignored.
    int faults() const { return faultCount; }

signals:
    void statusChanged(ClassLearner::Status status);
    void confirmedTickChanged(std::int64_t tick);
    void pollReceived(int poll);
    void pollClosed(int poll);

private:
    void open();
    void onText(const QString& text);
    void onDisconnected();
    void setStatus(Status status);
    void onClock();

    std::unique_ptr<QWebSocket> socket;
    QUrl url;
    QString joinCode;
    QString learnerName;
    Status currentStatus = Status::idle;
    protocol::Refusal lastRefusal = protocol::Refusal::closed;
    ClassModel classModel;
    QString session;
    std::size_t received = 0; // timeline entries received since the last welcome
    std::int64_t hostTick = 0;
    QElapsedTimer sinceSync;
    QTimer clock;
    protocol::Message poll;
    int faultCount = 0;
    bool heldFrozen = false; // the last freeze on the timeline holds the class
};

} // namespace pulsavo::classroom
