#include "ClassroomCommand.h"

#include "ClassHost.h"
#include "ClassLearner.h"
#include "Discovery.h"
#include "EventsCommand.h"
#include "LocalNetwork.h"
#include "OutputFile.h"
#include "RhythmLibrary.h"
#include "ScenarioCommand.h"
#include "ScenarioRunner.h"
#include "SessionCode.h"
#include "TraceCommand.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <utility>
#include <vector>

namespace pulsavo::strip {

const char* const classroomUsage =
    "pulsavo-strip classroom host [--listen ADDR:PORT] [--rhythm RHYTHM | --scenario FILE]\n"
    "                              [--seed N] [--code CODE]\n"
    "                              [--poll QUESTION --option TEXT --option TEXT ...]\n"
    "                              [--no-discovery] [--discovery-port PORT]\n"
    "  Hosts a class on the room's network: prints the join code, the address desktop\n"
    "  learners join and the page browsers open, then plays RHYTHM (a number 0 to 17 or a\n"
    "  library id; none by default) from seed N (random when left out) until stopped\n"
    "  (SIGINT or SIGTERM). ADDR must be a local network address (loopback, 10/8, 172.16/12,\n"
    "  192.168/16, link-local); PORT 0 picks a free port. --poll asks every learner QUESTION\n"
    "  with the options given (2 to 16). --scenario plays FILE's steps to the class as the\n"
    "  console plays them, manual steps moving on after their stated time, from seed N (the\n"
    "  file's seed, else random). Standard error logs who joins and leaves, refusals, answers\n"
    "  (answer POLL LEARNER OPTION) and each step as it begins (step N TITLE). Learners on\n"
    "  the room's network find the class by its code alone: the host answers their queries on\n"
    "  UDP port 45821 (or PORT) unless --no-discovery; when the port is taken it says so and\n"
    "  hosts without.\n"
    "pulsavo-strip classroom join [ADDR:PORT] CODE --events FILE [--ticks N] [--name NAME]\n"
    "                             [--discovery-port PORT]\n"
    "  Joins a class as a desktop learner (found by CODE on the room's network when ADDR:PORT\n"
    "  is left out), plays the class on its own model and writes the\n"
    "  waves it lays as events does (tick,kind,beat,length,role): those of ticks 1 to N once\n"
    "  the host has stepped N ticks, or of every tick played when stopped or the host ends.\n";

namespace {

int signalPipe[2] = {-1, -1};

void onStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

// SIGINT and SIGTERM end the event loop instead of the process, so the session closes cleanly.
std::unique_ptr<QSocketNotifier> quitOnSignals() {
    if (signalPipe[0] < 0 && ::pipe(signalPipe) != 0) {
        throw IoError(message("cannot set up signal handling"));
    }
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
    auto notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [] {
        char byte = 0;
        [[maybe_unused]] const auto read = ::read(signalPipe[0], &byte, 1);
        QCoreApplication::quit();
    });
    return notifier;
}

std::unique_ptr<QCoreApplication> application() {
    static int argc = 1;
    static char name[] = "pulsavo-strip";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() != nullptr) {
        return nullptr;
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// ADDR:PORT with ADDR an IPv4 address or a bracketed IPv6 one.
std::pair<QHostAddress, quint16> parseListen(std::string_view text) {
    const QUrl url(QStringLiteral("ws://") + qText(text), QUrl::StrictMode);
    const QHostAddress address(url.host());
    if (!url.isValid() || address.isNull() || url.port() < 0 || !url.path().isEmpty() ||
        url.hasQuery() || !url.userInfo().isEmpty()) {
        throw UsageError(
            message("--listen %1 is not ADDR:PORT (e.g. 192.168.1.20:8080)", {quoted(text)}));
    }
    if (!classroom::localNetwork::isLocal(address)) {
        throw UsageError(message("--listen %1 is not on a local network", {quoted(text)}));
    }
    return {address, static_cast<quint16>(url.port())};
}

std::string checkedCode(std::string_view text) {
    const auto code = classroom::SessionCode::normalise(qText(text));
    if (!code) {
        throw UsageError(message("%1 is not a class code (6 letters and digits)", {quoted(text)}));
    }
    return code->toStdString();
}

// The waves the learner's model lays; played again from the start, the model reports them anew.
class WaveLog : public WaveListener {
public:
    void onWave(const WaveEvent& event) override { events.push_back(event); }
    std::vector<WaveEvent> events;
};

// A scenario played to a class: its runner drives a simulation of the host's own, stepped with
// the class tick for tick, and what it does there is put on the class's timeline as it is done.
class ScenarioDirector {
public:
    ScenarioDirector(classroom::ClassHost& host, const scenario::Scenario& played,
                     std::uint32_t seed)
        : host(host), runner(played, simulation, seed) {
        runner.setHeadless(true);
        simulation.onLive = [this](const LiveAction& action) {
            this->host.advanceTo(simulation.tickCount);
            this->host.mirror(action, simulation);
        };
        clock.setInterval(tickMs);
        clock.setTimerType(Qt::PreciseTimer);
        QObject::connect(&clock, &QTimer::timeout, [this] { catchUp(); });
    }

    void start() {
        elapsed.start();
        clock.start();
    }

private:
    void catchUp() {
        // Due ticks from the time elapsed, so that a late timer plays what it owes.
        const std::int64_t due = elapsed.elapsed() / tickMs;
        while (simulation.tickCount < due) {
            host.advanceTo(simulation.tickCount);
            const int before = runner.currentStep();
            runner.tick();
            if (runner.currentStep() != before) {
                const scenario::Step& step =
                    runner.scenario().steps[static_cast<std::size_t>(runner.currentStep())];
                std::fprintf(stderr, "step %d %s\n", runner.currentStep() + 1,
                             escapedLine(step.title.ja.toStdString()).c_str());
            }
            simulation.step();
        }
        host.advanceTo(simulation.tickCount);
    }

    classroom::ClassHost& host;
    Simulation simulation;
    scenario::ScenarioRunner runner;
    QTimer clock;
    QElapsedTimer elapsed;
};

quint16 discoveryPort(int chosen) {
    return chosen == 0 ? classroom::discovery::defaultPort : static_cast<quint16>(chosen);
}

// The host's join address, from the first host on the room's network to answer for the code.
std::string discover(const std::string& code, int port) {
    classroom::DiscoveryQuery query;
    classroom::DiscoveryQuery::Options options;
    options.port = discoveryPort(port);
    QUrl found;
    bool failed = false;
    QObject::connect(&query, &classroom::DiscoveryQuery::found, [&](const QUrl& url) {
        found = url;
        QCoreApplication::quit();
    });
    QObject::connect(&query, &classroom::DiscoveryQuery::failed, [&] {
        failed = true;
        QCoreApplication::quit();
    });
    if (!query.start(qText(code), options)) {
        throw IoError(message("cannot send a query on the room's network"));
    }
    const auto notifier = quitOnSignals();
    QCoreApplication::exec();
    if (found.isEmpty()) {
        throw IoError(failed ? message("no class with code %1 answered on the room's network (UDP "
                                       "port %2); give the host's ADDR:PORT",
                                       {code, std::to_string(options.port)})
                             : message("stopped before a class with code %1 answered", {code}));
    }
    std::string url = found.toString().toStdString();
    std::fprintf(stderr, "found %s\n", url.c_str());
    return url;
}

int hostCommand(Arguments args) {
    const ClassroomHostOptions options = parseClassroomHostOptions(args);
    const auto app = application();
    const std::optional<scenario::Scenario> played =
        options.scenarioPath ? std::optional(readCheckedScenario(*options.scenarioPath))
                             : std::nullopt;
    classroom::ClassHost host;
    classroom::ClassHost::Options hostOptions;
    if (!options.listen.empty()) {
        std::tie(hostOptions.address, hostOptions.port) = parseListen(options.listen);
    }
    hostOptions.code = qText(options.code);
    QString error;
    if (!host.start(hostOptions, &error)) {
        throw IoError(
            message("cannot listen on %1",
                    {options.listen.empty() ? std::string("the local network") : options.listen}));
    }
    if (options.rhythm) {
        const std::uint32_t seed =
            options.seedGiven ? options.seed : QRandomGenerator::system()->generate();
        host.select(parseRhythmId(*options.rhythm), seed);
    }
    // A log of who came and went on standard error, for the lab running it.
    QObject::connect(&host, &classroom::ClassHost::learnerJoined, [](int id, const QString& name) {
        std::fprintf(stderr, "joined %d %s\n", id, escapedLine(name.toStdString()).c_str());
    });
    QObject::connect(&host, &classroom::ClassHost::learnerLeft,
                     [](int id) { std::fprintf(stderr, "left %d\n", id); });
    QObject::connect(&host, &classroom::ClassHost::refused, [](const QString& why) {
        std::fprintf(stderr, "refused %s\n", escapedLine(why.toStdString()).c_str());
    });
    QObject::connect(&host, &classroom::ClassHost::answerReceived,
                     [](int poll, int learner, const QString&, int choice) {
                         std::fprintf(stderr, "answer %d %d %d\n", poll, learner, choice);
                     });
    if (!options.question.empty()) {
        QStringList texts;
        for (const std::string& option : options.options) {
            texts << qText(option);
        }
        if (host.startPoll(QStringLiteral("choice"), qText(options.question), texts) == 0) {
            throw UsageError(message("--poll needs a question and 2 to 16 options of at most 80 "
                                     "characters, without control characters"));
        }
    }
    const auto notifier = quitOnSignals();
    const QUrl page = host.pageUrl();
    const QUrl join = host.joinUrl();
    classroom::DiscoveryResponder responder(discoveryPort(options.discoveryPort));
    // Without discovery learners still join by address: a taken port is a notice, not a failure.
    if (options.discovery && !responder.start(host.code(), join, page)) {
        std::fprintf(stderr, "discovery off: UDP port %d cannot be used\n", responder.port());
    }
    std::printf("code %s\njoin %s\npage %s\n", host.code().toUtf8().constData(),
                join.toString().toUtf8().constData(), page.toString().toUtf8().constData());
    std::fflush(stdout);
    std::unique_ptr<ScenarioDirector> director;
    if (played) {
        const std::uint32_t seed =
            options.seedGiven ? options.seed
                              : played->seed.value_or(QRandomGenerator::system()->generate());
        director = std::make_unique<ScenarioDirector>(host, *played, seed);
        director->start();
    } else {
        host.startClock();
    }
    QCoreApplication::exec();
    host.stop();
    return 0;
}

int joinCommand(Arguments args) {
    const ClassroomJoinOptions options = parseClassroomJoinOptions(args);
    OutputFile file(options.eventsPath);
    file.open();
    const auto app = application();
    classroom::ClassLearner learner;
    WaveLog log;
    learner.model().setWaveListener(&log);
    learner.model().setOnRestart([&log] { log.events.clear(); });
    const std::string address =
        options.address.empty() ? discover(options.code, options.discoveryPort) : options.address;
    QString error;
    if (!learner.join(qText(address), qText(options.code), qText(options.name), &error)) {
        throw UsageError(
            message("%1 is not an address to join (e.g. 192.168.1.20:8080)", {quoted(address)}));
    }
    std::string failure;
    int status = 0;
    const auto finish = [&](std::string why, int exitStatus) {
        failure = std::move(why);
        status = exitStatus;
        QCoreApplication::quit();
    };
    // The tick a welcome brings comes before the class's timeline does; only a later sync
    // vouches that every entry up to its tick has arrived.
    bool welcomeTick = false;
    QObject::connect(
        &learner, &classroom::ClassLearner::confirmedTickChanged, [&](std::int64_t tick) {
            if (std::exchange(welcomeTick, false)) {
                return;
            }
            if (options.ticks && tick >= *options.ticks) {
                learner.model().stepTo(*options.ticks);
                QCoreApplication::quit();
            } else if (!options.ticks) {
                // A minute at most per message: a host claiming a far tick
                // cannot stall us.
                learner.model().stepTo(std::min<std::int64_t>(tick, learner.model().tick() + 6000));
            }
        });
    QObject::connect(
        &learner, &classroom::ClassLearner::statusChanged, [&](classroom::ClassLearner::Status s) {
            using Status = classroom::ClassLearner::Status;
            welcomeTick = s == Status::joined;
            if (s == Status::refused) {
                const auto reason = learner.refusal();
                finish(message("the host refused to let us join: %1",
                               {classroom::protocol::refusalName(reason).toStdString()}),
                       reason == classroom::protocol::Refusal::code ? usageExitCode
                                                                    : ioErrorExitCode);
            } else if (s == Status::offline && (options.ticks || learner.model().tick() == 0)) {
                finish(message("lost the connection to %1 at tick %2",
                               {address, std::to_string(learner.model().tick())}),
                       ioErrorExitCode);
            } else if (s == Status::offline) {
                QCoreApplication::quit();
            }
        });
    // Nothing answering at all is an error too, not a wait without end.
    QTimer reachable;
    reachable.setSingleShot(true);
    QObject::connect(&reachable, &QTimer::timeout, [&] {
        if (learner.status() == classroom::ClassLearner::Status::connecting) {
            finish(message("cannot reach %1", {address}), ioErrorExitCode);
        }
    });
    reachable.start(10000);
    const auto notifier = quitOnSignals();
    QCoreApplication::exec();
    learner.leave();
    if (!failure.empty()) {
        if (status == usageExitCode) {
            throw UsageError(failure);
        }
        throw IoError(failure);
    }
    const std::int64_t last = learner.model().tick();
    std::vector<WaveEvent>& events = log.events;
    std::erase_if(events, [last](const WaveEvent& e) { return e.tick > last; });
    std::stable_sort(events.begin(), events.end(),
                     [](const WaveEvent& a, const WaveEvent& b) { return a.tick < b.tick; });
    std::string csv = "tick,kind,beat,length,role\n";
    for (const WaveEvent& event : events) {
        appendEventRow(csv, event);
    }
    file.write(csv);
    commitTogether({&file});
    return status;
}

} // namespace

ClassroomHostOptions parseClassroomHostOptions(Arguments args) {
    ClassroomHostOptions options;
    SingleOptions single;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--listen" || arg == "--code" || arg == "--rhythm" || arg == "--seed" ||
            arg == "--poll" || arg == "--scenario" || arg == "--no-discovery" ||
            arg == "--discovery-port") {
            single.once(arg);
        }
        if (arg == "--listen") {
            options.listen = std::string(optionValue(args, i));
            parseListen(options.listen);
        } else if (arg == "--code") {
            options.code = checkedCode(optionValue(args, i));
        } else if (arg == "--rhythm") {
            const std::string_view id = optionValue(args, i);
            const auto rhythm = parseRhythmId(id);
            if (!rhythm) {
                throw UsageError(
                    message("--rhythm %1 names no rhythm; try 'pulsavo-strip list'", {quoted(id)}));
            }
            options.rhythm = rhythmId(*rhythm);
        } else if (arg == "--scenario") {
            options.scenarioPath = std::string(optionValue(args, i));
        } else if (arg == "--poll") {
            options.question = std::string(optionValue(args, i));
        } else if (arg == "--option") {
            options.options.emplace_back(optionValue(args, i));
        } else if (arg == "--seed") {
            options.seed = static_cast<std::uint32_t>(
                parseInteger(optionValue(args, i), 0, 0xffffffffLL, "--seed"));
            options.seedGiven = true;
        } else if (arg == "--no-discovery") {
            options.discovery = false;
        } else if (arg == "--discovery-port") {
            options.discoveryPort =
                static_cast<int>(parseInteger(optionValue(args, i), 1, 65535, "--discovery-port"));
        } else {
            throw UsageError(message("unknown option %1 for classroom host", {quoted(arg)}));
        }
    }
    if (options.question.empty() != options.options.empty()) {
        throw UsageError(message("--poll and --option go together"));
    }
    if (options.rhythm && options.scenarioPath) {
        throw UsageError(message("--rhythm and --scenario cannot be given together"));
    }
    return options;
}

ClassroomJoinOptions parseClassroomJoinOptions(Arguments args) {
    ClassroomJoinOptions options;
    SingleOptions single;
    std::vector<std::string_view> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--events" || arg == "--ticks" || arg == "--name" || arg == "--discovery-port") {
            single.once(arg);
        }
        if (arg == "--events") {
            options.eventsPath = std::string(optionValue(args, i));
            checkOutputPath(arg, options.eventsPath);
        } else if (arg == "--ticks") {
            options.ticks = parseInteger(optionValue(args, i), 1, maxTicks, "--ticks");
        } else if (arg == "--name") {
            const std::string_view name = optionValue(args, i);
            const QString text = qText(name).trimmed();
            if (!classroom::protocol::validName(qText(name))) {
                throw UsageError(message("--name %1 is empty, too long or holds control characters",
                                         {quoted(name)}));
            }
            options.name = std::string(name);
        } else if (arg == "--discovery-port") {
            options.discoveryPort =
                static_cast<int>(parseInteger(optionValue(args, i), 1, 65535, "--discovery-port"));
        } else if (arg.starts_with("--")) {
            throw UsageError(message("unknown option %1 for classroom join", {quoted(arg)}));
        } else {
            positional.push_back(arg);
        }
    }
    // A code alone is looked up on the room's network; anything else needs its address too.
    if (positional.size() == 1 && classroom::SessionCode::normalise(qText(positional[0]))) {
        options.code = checkedCode(positional[0]);
    } else if (positional.size() == 2) {
        options.address = std::string(positional[0]);
        options.code = checkedCode(positional[1]);
    } else {
        throw UsageError(message("classroom join needs ADDR:PORT and CODE, or CODE alone to find "
                                 "the class on the room's network"));
    }
    if (options.eventsPath.empty()) {
        throw UsageError(message("classroom join needs --events FILE"));
    }
    return options;
}

int classroomCommand(Arguments args) {
    if (args.empty()) {
        throw UsageError(
            message("classroom needs host or join; try 'pulsavo-strip classroom --help'"));
    }
    if (args.front() == "host") {
        return hostCommand(args.subspan(1));
    }
    if (args.front() == "join") {
        return joinCommand(args.subspan(1));
    }
    throw UsageError(
        message("unknown classroom command %1; try host or join", {quoted(args.front())}));
}

} // namespace pulsavo::strip
