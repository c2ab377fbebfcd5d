#include "ClassHost.h"
#include "ClassLearner.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWebSocket>

#include <memory>

using namespace pulsavo;
using namespace pulsavo::classroom;
using protocol::Message;
using protocol::Refusal;
using protocol::Type;

namespace {

constexpr int waitMs = 20000;

struct Waves : WaveListener {
    void onWave(const WaveEvent& e) override { events.push_back(e); }
    // Waves whose first step is drawn by `tick`, in the order the simulation laid them.
    std::vector<WaveEvent> through(std::int64_t tick) const {
        std::vector<WaveEvent> out;
        for (const WaveEvent& e : events) {
            if (e.tick <= tick) {
                out.push_back(e);
            }
        }
        return out;
    }
    std::vector<WaveEvent> events;
};

// A desktop learner with its model's waves recorded.
struct Desk {
    explicit Desk(ClassHost& host, const QString& name = QStringLiteral("学習者")) {
        learner.model().setWaveListener(&waves);
        learner.model().setOnRestart([this] { waves.events.clear(); });
        QString error;
        QVERIFY2(learner.join(host.joinUrl().toString(), host.code(), name, &error),
                 qPrintable(error));
    }
    // Plays to `tick` once the host is known to have stepped it.
    void playTo(std::int64_t tick) {
        QTRY_VERIFY_WITH_TIMEOUT(learner.confirmedTick() >= tick, waitMs);
        learner.model().stepTo(tick);
    }
    ClassLearner learner;
    Waves waves;
};

// A peer speaking raw WebSocket: what a broken or hostile client can send.
struct Raw {
    explicit Raw(ClassHost& host) {
        QSignalSpy connected(&socket, &QWebSocket::connected);
        socket.open(host.joinUrl());
        QVERIFY(connected.wait(waitMs));
    }
    // The refusal the host answers with; the socket is closed after it.
    QString refusal() {
        if (!QTest::qWaitFor([this] { return socket.state() == QAbstractSocket::UnconnectedState; },
                             waitMs)) {
            return QStringLiteral("still open");
        }
        for (const QString& text : received) {
            const auto decoded = protocol::decode(text.toUtf8());
            if (decoded.message && decoded.message->type == Type::refuse) {
                return protocol::refusalName(decoded.message->reason);
            }
        }
        return QStringLiteral("closed without a refusal");
    }
    QWebSocket socket;
    QStringList received;
    QMetaObject::Connection collect = QObject::connect(&socket, &QWebSocket::textMessageReceived,
                                                       [this](const QString& t) { received << t; });
};

// Chromium driven through its DevTools protocol, the way a learner's hand drives the page.
struct DevTools {
    // Waits without failing: what follows checks what came of it.
    template <typename Done> static void waitFor(Done done) {
        static_cast<void>(QTest::qWaitFor(done, waitMs));
    }

    // Attaches to the browser's tab showing `page`, through the port the browser wrote into its
    // profile; empty when attached, else what failed.
    QString attach(const QString& profile, const QUrl& page) {
        QFile portFile(profile + QStringLiteral("/DevToolsActivePort"));
        QByteArray port;
        waitFor([&] {
            port = portFile.open(QIODevice::ReadOnly) ? portFile.readLine().trimmed() : port;
            portFile.close();
            return !port.isEmpty();
        });
        QNetworkAccessManager http;
        const std::unique_ptr<QNetworkReply> list(http.get(QNetworkRequest(
            QUrl(QStringLiteral("http://127.0.0.1:%1/json/list").arg(QString::fromLatin1(port))))));
        waitFor([&] { return list->isFinished(); });
        const QJsonArray targets = QJsonDocument::fromJson(list->readAll()).array();
        for (const auto& target : targets) {
            if (target[u"type"].toString() == u"page" &&
                QUrl(target[u"url"].toString()).port() == page.port()) {
                socket.open(QUrl(target[u"webSocketDebuggerUrl"].toString()));
            }
        }
        QObject::connect(&socket, &QWebSocket::textMessageReceived, [this](const QString& text) {
            const QJsonObject reply = QJsonDocument::fromJson(text.toUtf8()).object();
            replies.insert(reply.value(u"id").toInt(), reply);
        });
        waitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; });
        return socket.state() == QAbstractSocket::ConnectedState
                   ? QString()
                   : QStringLiteral("no tab with the page (port '%1', list %2)")
                         .arg(QString::fromLatin1(port), list->errorString());
    }

    // The reply to one command; empty when none came.
    QJsonObject call(const QString& method, const QJsonObject& params) {
        const int id = ++lastId;
        socket.sendTextMessage(QString::fromUtf8(
            QJsonDocument(QJsonObject{{"id", id}, {"method", method}, {"params", params}})
                .toJson(QJsonDocument::Compact)));
        waitFor([&] { return replies.contains(id); });
        return replies.take(id);
    }

    // Waits for a button showing `text` to appear, then clicks its middle with the mouse.
    bool click(const QString& text) {
        const QString find =
            QStringLiteral(R"(new Promise((resolve) => {
            const [wanted] = %1;
            const look = () => {
                const button = [...document.querySelectorAll('button')].find(
                    (b) => b.innerText.trim() === wanted && b.offsetParent !== null);
                if (!button) { setTimeout(look, 50); return; }
                button.scrollIntoView({ block: 'center' });
                const r = button.getBoundingClientRect();
                resolve({ x: r.left + r.width / 2, y: r.top + r.height / 2 });
            };
            look();
        }))")
                .arg(QString::fromUtf8(
                    QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact)));
        const QJsonValue point = call(QStringLiteral("Runtime.evaluate"),
                                      {{"expression", find},
                                       {"awaitPromise", true},
                                       {"returnByValue", true}})[u"result"][u"result"][u"value"];
        for (const char* type : {"mousePressed", "mouseReleased"}) {
            call(QStringLiteral("Input.dispatchMouseEvent"), {{"type", QLatin1String(type)},
                                                              {"x", point[u"x"]},
                                                              {"y", point[u"y"]},
                                                              {"button", "left"},
                                                              {"clickCount", 1}});
        }
        return point[u"x"].isDouble();
    }

    QWebSocket socket;
    QHash<int, QJsonObject> replies;
    int lastId = 0;
};

QByteArray hello(const QString& code, int version = protocol::version) {
    return QStringLiteral(R"({"v":%1,"t":"hello","code":"%2","name":"x","client":"desktop"})")
        .arg(version)
        .arg(code)
        .toUtf8();
}

std::unique_ptr<ClassHost> startHost(bool approval = false) {
    auto host = std::make_unique<ClassHost>();
    ClassHost::Options options;
    options.address = QHostAddress::LocalHost;
    options.requireApproval = approval;
    QString error;
    if (!host->start(options, &error)) {
        qWarning("%s", qPrintable(error));
        return nullptr;
    }
    return host;
}

} // namespace

class ClassroomTest : public QObject {
    Q_OBJECT
private slots:
    void learnersPlayTheHostsTrace_data();
    void learnersPlayTheHostsTrace();
    void rejoinCatchesUp_data();
    void rejoinCatchesUp();
    void hostileClients_data();
    void hostileClients();
    void approval();
    void poll();
    void browserGetsSamples();
    void pageServed();
    void browserPageJoins();
};

void ClassroomTest::learnersPlayTheHostsTrace_data() {
    QTest::addColumn<int>("rhythm");
    QTest::addColumn<int>("joinAt");
    QTest::newRow("classic VT, both from the start")
        << indexOf(Rhythm::ventricularTachycardia) << 0;
    QTest::newRow("sinus, the second mid-class")
        << indexOf(rhythmOf(LibraryRhythm::sinusRhythm)) << 450;
    QTest::newRow("Mobitz I, the second during the ramp")
        << indexOf(rhythmOf(LibraryRhythm::mobitz1)) << 750;
    QTest::newRow("AF, the second after the shock")
        << indexOf(rhythmOf(LibraryRhythm::afRapid)) << 1100;
}

// Two learners, one joining while the class is under way, play the host's trace wave for wave.
void ClassroomTest::learnersPlayTheHostsTrace() {
    QFETCH(int, rhythm);
    QFETCH(int, joinAt);
    const auto host = startHost();
    QVERIFY(host);
    Waves hostWaves;
    host->model().setWaveListener(&hostWaves);
    Desk first(*host);
    QTRY_COMPARE_WITH_TIMEOUT(first.learner.status(), ClassLearner::Status::joined, waitMs);
    QVERIFY(host->select(anyRhythmAt(rhythm), 4242, {{ArtifactKind::motion, 6}}));
    std::unique_ptr<Desk> second;
    for (std::int64_t tick = 50; tick <= 1200; tick += 50) {
        host->advanceTo(tick);
        if (tick == 300) {
            QVERIFY(host->select(Rhythm::sinusRhythm, 7));
        }
        if (tick == 600) {
            QVERIFY(host->freeze(true));
            QVERIFY(host->select(anyRhythmAt(rhythm), 99, {{ArtifactKind::tremor, 2}}));
        }
        // Live control: a ramp, an instructor's event, a transition and a shock.
        if (tick == 700) {
            QVERIFY(host->change(
                {{QStringLiteral("atrial_rate"), 45}, {QStringLiteral("pr_ms"), 240}}, 300));
        }
        if (tick == 750) {
            QVERIFY(host->instructorEvent(QStringLiteral("pvc_now")));
        }
        if (tick == 800) {
            QVERIFY(host->transition(rhythmOf(LibraryRhythm::vfCoarse), 8, QStringLiteral("r_on_t"),
                                     0));
        }
        if (tick == 1100) {
            QVERIFY(host->instructorEvent(QStringLiteral("defibrillate"),
                                          rhythmOf(LibraryRhythm::sinusTachycardia), 9));
        }
        if (tick == joinAt || (joinAt == 0 && tick == 50)) {
            second = std::make_unique<Desk>(*host);
        }
    }
    first.playTo(1200);
    second->playTo(1200);
    const auto expected = hostWaves.through(1200);
    QVERIFY(expected.size() > 20);
    // The live entries took effect: the transition's fibrillation, the shock.
    for (const WaveKind kind : {WaveKind::ventricularFibrillation, WaveKind::shock}) {
        QVERIFY(std::any_of(expected.begin(), expected.end(),
                            [kind](const WaveEvent& e) { return e.kind == kind; }));
    }
    QCOMPARE(first.waves.through(1200), expected);
    QCOMPARE(second->waves.through(1200), expected);
    QCOMPARE(first.learner.model().simulation().traceY, host->model().simulation().traceY);
    QVERIFY(first.learner.model().frozen());
    QCOMPARE(first.learner.faults(), 0);
}

void ClassroomTest::rejoinCatchesUp_data() {
    QTest::addColumn<bool>("changedWhileAway");
    QTest::addColumn<bool>("ranAhead");
    QTest::newRow("nothing changed") << false << false;
    QTest::newRow("rhythm changed while away") << true << false;
    QTest::newRow("played on alone past the change") << true << true;
}

// A learner whose connection drops keeps playing; joining again brings it onto the host's trace.
void ClassroomTest::rejoinCatchesUp() {
    QFETCH(bool, changedWhileAway);
    QFETCH(bool, ranAhead);
    const auto host = startHost();
    QVERIFY(host);
    Waves hostWaves;
    host->model().setWaveListener(&hostWaves);
    QVERIFY(host->select(rhythmOf(LibraryRhythm::pvcMultifocal), 5));
    Desk desk(*host);
    host->advanceTo(200);
    desk.playTo(200);
    // The host drops every connection, as a network failure would.
    QSignalSpy status(&desk.learner, &ClassLearner::statusChanged);
    host->stop();
    QTRY_COMPARE_WITH_TIMEOUT(desk.learner.status(), ClassLearner::Status::offline, waitMs);
    desk.learner.model().stepTo(ranAhead ? 700 : 300); // it keeps playing what it had
    QCOMPARE(desk.learner.model().tick(), ranAhead ? 700 : 300);
    ClassHost::Options options;
    options.address = QHostAddress::LocalHost;
    options.port = 0;
    QString error;
    const QString code = host->code();
    QVERIFY(host->start(options, &error));
    QCOMPARE(host->code(), code);
    if (changedWhileAway) {
        host->advanceTo(400);
        QVERIFY(host->select(Rhythm::atrialFlutter, 6));
    }
    host->advanceTo(800);
    Desk again(*host);
    QVERIFY(
        desk.learner.join(host->joinUrl().toString(), host->code(), QStringLiteral("a"), &error));
    desk.playTo(800);
    again.playTo(800);
    QCOMPARE(desk.learner.model().restarts(), ranAhead ? 1 : 0);
    QCOMPARE(desk.waves.through(800), hostWaves.through(800));
    QCOMPARE(again.waves.through(800), hostWaves.through(800));
}

void ClassroomTest::hostileClients_data() {
    QTest::addColumn<QList<QByteArray>>("messages");
    QTest::addColumn<QString>("refusal");
    const QByteArray good = hello(QStringLiteral("@CODE@"));
    QTest::newRow("wrong code") << QList<QByteArray>{hello(QStringLiteral("ZZZZZZ"))} << "code";
    QTest::newRow("wrong version")
        << QList<QByteArray>{hello(QStringLiteral("@CODE@"), 9)} << "version";
    QTest::newRow("garbage") << QList<QByteArray>{QByteArray("\x01{{{")} << "malformed";
    QTest::newRow("drives the monitor")
        << QList<QByteArray>{good, R"({"v":1,"t":"freeze","at":1,"on":true})"} << "malformed";
    QTest::newRow("second hello") << QList<QByteArray>{good, good} << "malformed";
    QTest::newRow("answer before joining")
        << QList<QByteArray>{R"({"v":1,"t":"answer","poll":1,"choice":0})"} << "malformed";
    QList<QByteArray> flood{good};
    for (int i = 0; i < 400; ++i) {
        flood << R"({"v":1,"t":"answer","poll":1,"choice":0})";
    }
    QTest::newRow("flood") << flood << "flood";
    QTest::newRow("oversize") << QList<QByteArray>{good,
                                                   QByteArray(protocol::maxMessageBytes + 100, ' ')}
                              << "closed without a refusal";
}

// Each hostile peer is refused and closed; a learner beside it plays on, wave for wave.
void ClassroomTest::hostileClients() {
    QFETCH(QList<QByteArray>, messages);
    QFETCH(QString, refusal);
    const auto host = startHost();
    QVERIFY(host);
    Waves hostWaves;
    host->model().setWaveListener(&hostWaves);
    QVERIFY(host->select(Rhythm::wenckebachBlock, 3));
    Desk desk(*host);
    host->advanceTo(100);
    Raw raw(*host);
    for (const QByteArray& m : messages) {
        raw.socket.sendTextMessage(
            QString::fromUtf8(QByteArray(m).replace("@CODE@", host->code().toUtf8())));
    }
    QCOMPARE(raw.refusal(), refusal);
    host->advanceTo(400);
    desk.playTo(400);
    QCOMPARE(desk.waves.through(400), hostWaves.through(400));
    QCOMPARE(desk.learner.status(), ClassLearner::Status::joined);
    QCOMPARE(host->learnerCount(), 1);
}

void ClassroomTest::approval() {
    const auto host = startHost(true);
    QVERIFY(host);
    QSignalSpy requests(host.get(), &ClassHost::joinRequested);
    Desk admitted(*host, QStringLiteral("入れる人"));
    Desk turnedAway(*host, QStringLiteral("断る人"));
    QTRY_COMPARE_WITH_TIMEOUT(requests.count(), 2, waitMs);
    // The host asks the console before its "pending" reaches the learner over the socket.
    QTRY_COMPARE_WITH_TIMEOUT(admitted.learner.status(), ClassLearner::Status::pending, waitMs);
    QCOMPARE(host->learnerCount(), 0);
    for (const QList<QVariant>& request : requests) {
        if (request.at(1).toString() == QStringLiteral("入れる人")) {
            host->approve(request.at(0).toInt());
        } else {
            host->reject(request.at(0).toInt());
        }
    }
    QTRY_COMPARE_WITH_TIMEOUT(admitted.learner.status(), ClassLearner::Status::joined, waitMs);
    QTRY_COMPARE_WITH_TIMEOUT(turnedAway.learner.status(), ClassLearner::Status::refused, waitMs);
    QCOMPARE(turnedAway.learner.refusal(), Refusal::rejected);
    QCOMPARE(host->learnerCount(), 1);
}

// A poll reaches every learner; answers are counted once per learner, the latest counting;
// answers to another poll or out of range count for nothing.
void ClassroomTest::poll() {
    const auto host = startHost();
    QVERIFY(host);
    Desk a(*host);
    Desk b(*host);
    QTRY_COMPARE_WITH_TIMEOUT(host->learnerCount(), 2, waitMs);
    QSignalSpy answers(host.get(), &ClassHost::answerReceived);
    QCOMPARE(host->startPoll(QStringLiteral("rhythm"), QStringLiteral("この波形は？"),
                             {QStringLiteral("x")}),
             0);
    const int id = host->startPoll(
        QStringLiteral("rhythm"), QStringLiteral("この波形は？"),
        {QStringLiteral("洞調律"), QStringLiteral("心房細動"), QStringLiteral("VT")});
    QVERIFY(id > 0);
    QTRY_COMPARE_WITH_TIMEOUT(b.learner.currentPoll().poll, id, waitMs);
    QTRY_COMPARE_WITH_TIMEOUT(a.learner.currentPoll().poll, id, waitMs);
    QCOMPARE(a.learner.currentPoll().options.size(), 3);
    QVERIFY(a.learner.answer(id, 0));
    QVERIFY(a.learner.answer(id, 2));
    QVERIFY(b.learner.answer(id, 2));
    QVERIFY(!b.learner.answer(id, 3));
    QVERIFY(!b.learner.answer(id + 1, 0));
    QTRY_COMPARE_WITH_TIMEOUT(answers.count(), 3, waitMs);
    QCOMPARE(host->pollCounts(), (std::vector<int>{0, 0, 2}));
    host->closePoll();
    QTRY_COMPARE_WITH_TIMEOUT(a.learner.currentPoll().type, Type::pollClose, waitMs);
    QVERIFY(!a.learner.answer(id, 1));
}

// A browser learner has no model: it gets the host's trace itself, tick for tick.
void ClassroomTest::browserGetsSamples() {
    const auto host = startHost();
    QVERIFY(host);
    std::vector<int> hostYs;
    QVERIFY(host->select(Rhythm::ventricularTachycardia, 2));
    Raw page(*host);
    page.socket.sendTextMessage(
        QString::fromUtf8(hello(host->code()).replace("desktop", "browser")));
    QTRY_COMPARE_WITH_TIMEOUT(host->learnerCount(), 1, waitMs);
    ClassModel reference;
    Message state;
    state.type = Type::state;
    state.at = 1;
    state.rhythm = Rhythm::ventricularTachycardia;
    state.seed = 2;
    reference.append(state);
    reference.setOnStep([&hostYs](std::int64_t, const TickSample& s) { hostYs.push_back(s.y); });
    reference.stepTo(200);
    host->advanceTo(200);
    std::vector<int> ys;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            ys.clear();
            for (const QString& text : page.received) {
                const auto m = protocol::decode(text.toUtf8()).message;
                if (m && m->type == Type::samples) {
                    ys.insert(ys.end(), m->ys.begin(), m->ys.end());
                }
            }
            return ys.size() >= 200;
        }(),
        waitMs);
    QCOMPARE(ys, hostYs);
}

// The page browsers open, with the address it joins filled in.
void ClassroomTest::pageServed() {
    const auto host = startHost();
    QVERIFY(host);
    // The host answers on this thread's event loop: wait through it, never blocking.
    QTcpSocket http;
    QByteArray reply;
    connect(&http, &QTcpSocket::readyRead, this, [&] { reply += http.readAll(); });
    connect(&http, &QTcpSocket::connected, this, [&] {
        http.write("GET /monitor.js HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    });
    http.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(host->pageUrl().port()));
    QTRY_VERIFY_WITH_TIMEOUT(reply.contains("});"), waitMs);
    QVERIFY2(reply.startsWith("HTTP/1.1 200"), reply.left(200).constData());
    QVERIFY(reply.contains(host->joinUrl().toString().toUtf8()));
    QVERIFY(!reply.contains("@JOIN_URL@"));
}

// The page itself in headless Chromium: its script joins with the code and name of the link the
// QR code gives, as a browser learner, answers a poll when its button is clicked, and leaves when
// the browser closes.
void ClassroomTest::browserPageJoins() {
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty()) {
        QSKIP("chromium is not installed (make test's set-up installs it)");
    }
    const auto host = startHost();
    QVERIFY(host);
    QVERIFY(host->select(Rhythm::atrialFlutter, 4));
    host->startClock();
    QSignalSpy joined(host.get(), &ClassHost::learnerJoined);
    QSignalSpy left(host.get(), &ClassHost::learnerLeft);
    QTemporaryDir profile;
    QVERIFY(profile.isValid());
    QUrl page = host->pageUrl();
    page.setQuery(page.query() + QStringLiteral("&name=%E3%83%96%E3%83%A9%E3%82%A6%E3%82%B6"));
    QProcess browser;
    browser.start(chromium, {"--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                             "--user-data-dir=" + profile.path(), "--remote-debugging-port=0",
                             page.toString(QUrl::FullyEncoded)});
    QVERIFY(browser.waitForStarted());
    QVERIFY(joined.wait(60000));
    QCOMPARE(joined.at(0).at(1).toString(), QStringLiteral("ブラウザ"));
    QCOMPARE(host->learners().at(0).kind, protocol::ClientKind::browser);
    // Samples flow to it for a second of class without the host dropping it.
    const std::int64_t from = host->model().tick();
    QTRY_VERIFY_WITH_TIMEOUT(host->model().tick() > from + ticksPerSecond, waitMs);
    QCOMPARE(host->learnerCount(), 1);
    QSignalSpy answers(host.get(), &ClassHost::answerReceived);
    const int poll = host->startPoll(
        QStringLiteral("rhythm"), QStringLiteral("この波形は？"),
        {QStringLiteral("洞調律"), QStringLiteral("心房粗動"), QStringLiteral("VT")});
    QVERIFY(poll > 0);
    DevTools devTools;
    const QString attached = devTools.attach(profile.path(), host->pageUrl());
    QVERIFY2(attached.isEmpty(), qPrintable(attached));
    QVERIFY(devTools.click(QStringLiteral("心房粗動")));
    QVERIFY(answers.count() == 1 || answers.wait(waitMs));
    QCOMPARE(answers.at(0).at(0).toInt(), poll);
    QCOMPARE(answers.at(0).at(1).toInt(), joined.at(0).at(0).toInt());
    QCOMPARE(answers.at(0).at(3).toInt(), 1);
    QCOMPARE(host->pollCounts(), (std::vector<int>{0, 1, 0}));
    browser.kill();
    browser.waitForFinished();
    QVERIFY(left.count() == 1 || left.wait(waitMs));
}

QTEST_GUILESS_MAIN(ClassroomTest)
#include "tst_classroom.moc"
