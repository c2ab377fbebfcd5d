// The classroom on loopback with 60 learners (40 desktop, 20 browser): how long they take to
// join, how long a parameter change takes to reach every desktop learner, and how many messages a
// second the host sends and what share of one core that costs it; and how long a learner takes to
// find a host by its code.
#include "ClassHost.h"
#include "ClassLearner.h"
#include "Discovery.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUdpSocket>
#include <QWebSocket>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace pulsavo;
using namespace pulsavo::classroom;

namespace {

constexpr int desktopLearners = 40;
constexpr int browserLearners = 20;

struct Class {
    Class() {
        ClassHost::Options options;
        options.address = QHostAddress::LocalHost;
        QString error;
        if (!host.start(options, &error)) {
            qFatal("%s", qPrintable(error));
        }
        host.select(rhythmOf(LibraryRhythm::sinusRhythm), 1);
    }

    void join() {
        for (int i = 0; i < desktopLearners; ++i) {
            auto learner = std::make_unique<ClassLearner>();
            QString error;
            learner->join(host.joinUrl().toString(), host.code(), QStringLiteral("d%1").arg(i),
                          &error);
            desks.push_back(std::move(learner));
        }
        const QString hello =
            QStringLiteral(R"({"v":1,"t":"hello","code":"%1","name":"b","client":"browser"})")
                .arg(host.code());
        for (int i = 0; i < browserLearners; ++i) {
            auto page = std::make_unique<QWebSocket>();
            QWebSocket* socket = page.get();
            QObject::connect(socket, &QWebSocket::connected, socket,
                             [socket, hello] { socket->sendTextMessage(hello); });
            QObject::connect(socket, &QWebSocket::textMessageReceived, socket,
                             [this](const QString&) { ++browserMessages; });
            socket->open(host.joinUrl());
            pages.push_back(std::move(page));
        }
        waitFor([this] { return host.learnerCount() == desktopLearners + browserLearners; });
    }

    template <typename Done> static void waitFor(Done done) {
        QElapsedTimer timeout;
        timeout.start();
        while (!done() && timeout.elapsed() < 30000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        if (!done()) {
            qFatal("the class did not settle within 30 s");
        }
    }

    ClassHost host;
    std::vector<std::unique_ptr<ClassLearner>> desks;
    std::vector<std::unique_ptr<QWebSocket>> pages;
    long long browserMessages = 0;
};

void BM_Join60(benchmark::State& state) {
    for (auto _ : state) {
        Class room;
        QElapsedTimer timer;
        timer.start();
        room.join();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_Join60)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// From the host's call to every desktop learner holding the change on its timeline.
void BM_ChangeLatency60(benchmark::State& state) {
    Class room;
    room.join();
    std::int64_t tick = 0;
    int rate = 60;
    for (auto _ : state) {
        const std::size_t before = room.desks.front()->model().timeline().size();
        QElapsedTimer timer;
        timer.start();
        rate = rate == 60 ? 61 : 60;
        room.host.change({{QStringLiteral("atrial_rate"), static_cast<double>(rate)}}, 0);
        Class::waitFor([&] {
            for (const auto& desk : room.desks) {
                if (desk->model().timeline().size() <= before) {
                    return false;
                }
            }
            return true;
        });
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        room.host.advanceTo(tick += 1);
    }
}
BENCHMARK(BM_ChangeLatency60)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

// One second of class (100 ticks) at the host: its model stepped and every sync and sample
// message sent; the learners read theirs outside the measured time.
void BM_HostSecond60(benchmark::State& state) {
    Class room;
    room.join();
    std::int64_t tick = 0;
    long long sent = 0;
    for (auto _ : state) {
        const long long before = room.browserMessages;
        room.host.advanceTo(tick += ticksPerSecond);
        state.PauseTiming();
        Class::waitFor([&] { return room.desks.back()->confirmedTick() == tick; });
        Class::waitFor([&] {
            return room.browserMessages - before >=
                   browserLearners * ticksPerSecond / ClassHost::samplesEveryTicks;
        });
        state.ResumeTiming();
        sent += desktopLearners * ticksPerSecond / ClassHost::syncEveryTicks +
                browserLearners * ticksPerSecond / ClassHost::samplesEveryTicks;
    }
    state.counters["messages_per_s"] =
        benchmark::Counter(static_cast<double>(sent), benchmark::Counter::kIsRate);
    // Seconds of host time per second of class: its share of one core.
    state.counters["core_share"] =
        benchmark::Counter(static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_HostSecond60)->Unit(benchmark::kMillisecond)->Iterations(30);

// One discovery query on loopback, from sending it to holding the join address. A fresh responder
// each time, so that its per-sender answer budget never holds the query back.
void BM_DiscoveryRoundTrip(benchmark::State& state) {
    QUdpSocket probe;
    probe.bind(QHostAddress::AnyIPv4, 0);
    const quint16 port = probe.localPort();
    probe.close();
    for (auto _ : state) {
        DiscoveryResponder responder(port);
        if (!responder.start(QStringLiteral("KX79QA"), QUrl(QStringLiteral("ws://127.0.0.1:1")),
                             QUrl(QStringLiteral("http://127.0.0.1:2/")))) {
            qFatal("no discovery port");
        }
        DiscoveryQuery query;
        bool found = false;
        QObject::connect(&query, &DiscoveryQuery::found, [&found] { found = true; });
        DiscoveryQuery::Options options;
        options.port = port;
        QElapsedTimer timer;
        timer.start();
        query.start(QStringLiteral("KX79QA"), options);
        Class::waitFor([&found] { return found; });
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_DiscoveryRoundTrip)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(50);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
