#include "ClassModel.h"
#include "LiveCommands.h"
#include "LocalNetwork.h"
#include "Protocol.h"
#include "QrCode.h"
#include "SessionCode.h"

#include <QRandomGenerator>
#include <QTest>

using namespace pulsavo;
using namespace pulsavo::classroom;
using protocol::Message;
using protocol::Type;

Q_DECLARE_METATYPE(pulsavo::classroom::protocol::Message)

namespace {

Message timelineEntry(Type type, std::int64_t at) {
    Message m;
    m.type = type;
    m.at = at;
    return m;
}

// Every wave a model lays, cleared when it plays the timeline again.
struct Waves : WaveListener {
    void onWave(const WaveEvent& e) override { events.push_back(e); }
    std::vector<WaveEvent> events;
};

} // namespace

class ProtocolTest : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void hostile_data();
    void hostile();
    void fuzz();
    void sessionCode_data();
    void sessionCode();
    void localNetwork_data();
    void localNetwork();
    void lateEntryReplays();
    void liveEntries_data();
    void liveEntries();
    void qrCode_data();
    void qrCode();
};

void ProtocolTest::roundTrip_data() {
    QTest::addColumn<Message>("message");
    Message hello;
    hello.type = Type::hello;
    hello.code = QStringLiteral("ABC234");
    hello.name = QStringLiteral("山田 花子 🫀");
    hello.client = protocol::ClientKind::browser;
    QTest::newRow("hello") << hello;
    Message welcome;
    welcome.type = Type::welcome;
    welcome.session = QStringLiteral("k3x9");
    welcome.clientId = 7;
    welcome.tick = protocol::maxTick;
    QTest::newRow("welcome at the largest tick") << welcome;
    Message state = timelineEntry(Type::state, 1);
    state.rhythm = rhythmOf(LibraryRhythm::mobitz1);
    state.seed = 0xffffffffU;
    state.artifacts = {{ArtifactKind::tremor, 3}, {ArtifactKind::cpr, 10}}; // in kind order
    QTest::newRow("state, library rhythm, artifact") << state;
    Message none = timelineEntry(Type::state, 5);
    QTest::newRow("state, no rhythm") << none;
    Message change = timelineEntry(Type::change, 301);
    change.ramp = 2000;
    change.parameters = {{QStringLiteral("atrial_rate"), 40}, {QStringLiteral("pr_ms"), 200.5}};
    QTest::newRow("change") << change;
    Message transition = timelineEntry(Type::transition, 9);
    transition.rhythm = Rhythm::ventricularFibrillation;
    transition.action = QStringLiteral("r_on_t");
    QTest::newRow("transition") << transition;
    Message freeze = timelineEntry(Type::freeze, 2);
    freeze.on = true;
    QTest::newRow("freeze") << freeze;
    Message samples;
    samples.type = Type::samples;
    samples.tick = 11;
    samples.ys = {85, -3, 200};
    samples.marks = "031";
    QTest::newRow("samples") << samples;
    Message poll;
    poll.type = Type::poll;
    poll.poll = 3;
    poll.pollKind = QStringLiteral("rhythm");
    poll.question = QStringLiteral("この波形は？");
    poll.options = {QStringLiteral("洞調律"), QStringLiteral("心房細動")};
    QTest::newRow("poll") << poll;
    Message answer;
    answer.type = Type::answer;
    answer.poll = 3;
    answer.choice = 15;
    QTest::newRow("answer") << answer;
    Message refuse;
    refuse.type = Type::refuse;
    refuse.reason = protocol::Refusal::flood;
    QTest::newRow("refuse") << refuse;
}

void ProtocolTest::roundTrip() {
    QFETCH(Message, message);
    const QByteArray bytes = protocol::encode(message);
    const protocol::Decoded decoded = protocol::decode(bytes);
    QVERIFY2(decoded.message.has_value(), qPrintable(decoded.error + " in " + bytes));
    QCOMPARE(*decoded.message, message);
}

void ProtocolTest::hostile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("why");
    const QByteArray hello = R"({"v":1,"t":"hello","code":"ABC234","client":"desktop","name":)";
    QByteArray big =
        R"({"v":1,"t":"bye","pad":")" + QByteArray(protocol::maxMessageBytes, 'x') + "\"}";
    QTest::newRow("oversize") << big << "larger than";
    QTest::newRow("not JSON") << QByteArray("\xff\xfe{") << "not a JSON object";
    QTest::newRow("a list") << QByteArray("[1,2]") << "not a JSON object";
    QTest::newRow("deep nesting") << (QByteArray(5000, '[') + QByteArray(5000, ']'))
                                  << "not a JSON object";
    QTest::newRow("version 2") << QByteArray(R"({"v":2,"t":"bye"})") << "version";
    QTest::newRow("version as text") << QByteArray(R"({"v":"1","t":"bye"})") << "version";
    QTest::newRow("no version") << QByteArray(R"({"t":"bye"})") << "version";
    QTest::newRow("unknown type") << QByteArray(R"({"v":1,"t":"drive"})") << "unknown message type";
    QTest::newRow("name a number") << hello + "5}"
                                   << "name is not a string";
    QTest::newRow("name too long") << hello + '"' + QByteArray(41, 'a') + "\"}"
                                   << "too long";
    QTest::newRow("name blank") << hello + R"("   "})"
                                << "empty";
    QTest::newRow("name with a bell") << hello + R"("a\u0007b"})"
                                      << "control character";
    QTest::newRow("name with bidi override") << hello + R"("a\u202eb"})"
                                             << "control character";
    QTest::newRow("lone surrogate") << hello + R"("a\ud800"})"
                                    << "control character";
    QTest::newRow("client unknown")
        << QByteArray(R"({"v":1,"t":"hello","code":"A","name":"a","client":"robot"})") << "client";
    QTest::newRow("at negative") << QByteArray(R"({"v":1,"t":"freeze","at":-1,"on":true})") << "at";
    QTest::newRow("at fractional")
        << QByteArray(R"({"v":1,"t":"freeze","at":1.5,"on":true})") << "at";
    QTest::newRow("at huge") << QByteArray(R"({"v":1,"t":"freeze","at":1e300,"on":true})") << "at";
    QTest::newRow("on as text") << QByteArray(R"({"v":1,"t":"freeze","at":1,"on":"yes"})") << "on";
    QTest::newRow("seed too large")
        << QByteArray(R"({"v":1,"t":"state","at":1,"rhythm":null,"seed":4294967296,"artifact":{}})")
        << "seed";
    QTest::newRow("rhythm unknown")
        << QByteArray(R"({"v":1,"t":"state","at":1,"rhythm":"sinus_rythm","seed":1,"artifact":{}})")
        << "names no rhythm";
    QTest::newRow("artifact strength 11")
        << QByteArray(R"({"v":1,"t":"state","at":1,"rhythm":"0","seed":1,"artifact":{"cpr":11}})")
        << "artifact";
    QTest::newRow("artifact unknown")
        << QByteArray(R"({"v":1,"t":"state","at":1,"rhythm":"0","seed":1,"artifact":{"x":1}})")
        << "artifact";
    QByteArray many = R"({"v":1,"t":"change","at":1,"ramp":0,"params":{)";
    for (int i = 0; i <= protocol::maxParameters; ++i) {
        many += (i > 0 ? "," : "") + QByteArray("\"p") + QByteArray::number(i) + "\":1";
    }
    QTest::newRow("33 parameters") << many + "}}"
                                   << "params";
    QTest::newRow("parameter as text")
        << QByteArray(R"({"v":1,"t":"change","at":1,"ramp":0,"params":{"pr_ms":"NaN"}})")
        << "finite";
    QTest::newRow("one option")
        << QByteArray(
               R"({"v":1,"t":"poll","poll":1,"kind":"rhythm","question":"q","options":["a"]})")
        << "two options";
    QTest::newRow("option not text")
        << QByteArray(
               R"({"v":1,"t":"poll","poll":1,"kind":"rhythm","question":"q","options":["a",{}]})")
        << "option";
    QTest::newRow("choice 16") << QByteArray(R"({"v":1,"t":"answer","poll":1,"choice":16})")
                               << "choice";
    QTest::newRow("marks short") << QByteArray(
                                        R"({"v":1,"t":"samples","from":1,"y":[1,2],"marks":"0"})")
                                 << "marks";
    QTest::newRow("marks foreign")
        << QByteArray(R"({"v":1,"t":"samples","from":1,"y":[1],"marks":"9"})") << "marks";
}

void ProtocolTest::hostile() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, why);
    const protocol::Decoded decoded = protocol::decode(bytes);
    QVERIFY(!decoded.message);
    QVERIFY2(decoded.error.contains(why), qPrintable(decoded.error));
}

// Random bytes and damaged messages: never a crash, and whatever decodes encodes to itself.
void ProtocolTest::fuzz() {
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("fuzz seed %u", seed);
    QRandomGenerator random(seed);
    std::vector<QByteArray> valid;
    for (int row = 0; row < 11; ++row) {
        Message m;
        m.type = static_cast<Type>(row % 15);
        valid.push_back(protocol::encode(m));
    }
    valid.emplace_back(
        R"({"v":1,"t":"poll","poll":1,"kind":"rhythm","question":"q","options":["a","b"]})");
    valid.emplace_back(
        R"({"v":1,"t":"state","at":1,"rhythm":"vf_fine","seed":7,"artifact":{"mains":2}})");
    int decodedCount = 0;
    for (int i = 0; i < 20000; ++i) {
        QByteArray bytes;
        if (i % 4 == 0) {
            bytes.resize(random.bounded(64));
            for (char& c : bytes) {
                c = static_cast<char>(random.bounded(256));
            }
        } else {
            bytes = valid[random.bounded(static_cast<quint32>(valid.size()))];
            for (int edits = 1 + random.bounded(3); edits > 0 && !bytes.isEmpty(); --edits) {
                const int at = random.bounded(static_cast<int>(bytes.size()));
                // The terminating NUL is one of the edits: a NUL byte inside a message.
                static constexpr char pool[] = "{}[]\",:0-9.e\\ atvnul";
                const char c = pool[random.bounded(static_cast<quint32>(sizeof(pool)))];
                switch (random.bounded(3)) {
                case 0:
                    bytes[at] = c;
                    break;
                case 1:
                    bytes.insert(at, c);
                    break;
                default:
                    bytes.remove(at, 1);
                    break;
                }
            }
        }
        const protocol::Decoded decoded = protocol::decode(bytes);
        QCOMPARE(decoded.message.has_value(), decoded.error.isEmpty());
        if (decoded.message) {
            ++decodedCount;
            const protocol::Decoded again = protocol::decode(protocol::encode(*decoded.message));
            QVERIFY2(again.message && *again.message == *decoded.message, bytes.constData());
        }
    }
    QVERIFY(decodedCount > 0);
}

void ProtocolTest::sessionCode_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("code");
    QTest::newRow("canonical") << "ABC234"
                               << "ABC234";
    QTest::newRow("lower case with a dash") << "abc-234"
                                            << "ABC234";
    QTest::newRow("spaced") << " a b c 2 3 4 "
                            << "ABC234";
    QTest::newRow("five") << "ABC23"
                          << "";
    QTest::newRow("seven") << "ABC2345"
                           << "";
    QTest::newRow("letter O") << "ABCO23"
                              << "";
    QTest::newRow("digit 1") << "ABC123"
                             << "";
    QTest::newRow("full-width") << "ＡＢＣ２３４"
                                << "";
    QTest::newRow("very long") << QString(1000, QLatin1Char('-')) + "ABC234"
                               << "";
}

void ProtocolTest::sessionCode() {
    QFETCH(QString, typed);
    QFETCH(QString, code);
    QCOMPARE(SessionCode::normalise(typed).value_or(QString()), code);
    for (int i = 0; i < 50; ++i) {
        const QString fresh = SessionCode::generate();
        QCOMPARE(SessionCode::normalise(fresh).value_or(QString()), fresh);
    }
}

void ProtocolTest::localNetwork_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("local");
    QTest::newRow("loopback") << "127.0.0.1" << true;
    QTest::newRow("10/8") << "10.1.2.3" << true;
    QTest::newRow("172.31") << "172.31.255.1" << true;
    QTest::newRow("172.32") << "172.32.0.1" << false;
    QTest::newRow("192.168") << "192.168.0.5" << true;
    QTest::newRow("public v4") << "8.8.8.8" << false;
    QTest::newRow("v6 loopback") << "::1" << true;
    QTest::newRow("v6 link-local") << "fe80::1" << true;
    QTest::newRow("v6 unique local") << "fd00::1" << true;
    QTest::newRow("v6 global") << "2001:db8::1" << false;
    QTest::newRow("mapped private") << "::ffff:192.168.1.1" << true;
    QTest::newRow("mapped public") << "::ffff:8.8.8.8" << false;
}

void ProtocolTest::localNetwork() {
    QFETCH(QString, address);
    QFETCH(bool, local);
    QCOMPARE(localNetwork::isLocal(QHostAddress(address)), local);
}

// An entry that comes after its tick was stepped: the model plays the timeline again and ends
// where a model that had it in time is.
void ProtocolTest::lateEntryReplays() {
    Message first = timelineEntry(Type::state, 1);
    first.rhythm = rhythmOf(LibraryRhythm::afRapid);
    first.seed = 11;
    Message second = timelineEntry(Type::state, 300);
    second.rhythm = Rhythm::completeBlock;
    second.seed = 12;
    second.artifacts = {{ArtifactKind::tremor, 4}};

    ClassModel onTime;
    Waves onTimeWaves;
    onTime.setWaveListener(&onTimeWaves);
    QVERIFY(onTime.append(first) && onTime.append(second));
    onTime.stepTo(700);

    ClassModel late;
    Waves lateWaves;
    late.setWaveListener(&lateWaves);
    late.setOnRestart([&lateWaves] { lateWaves.events.clear(); });
    QVERIFY(late.append(first));
    late.stepTo(500);
    QVERIFY(late.append(second));
    QCOMPARE(late.restarts(), 0);
    late.stepTo(700);
    QCOMPARE(late.restarts(), 1);
    QCOMPARE(lateWaves.events, onTimeWaves.events);
    QCOMPARE(late.simulation().traceY, onTime.simulation().traceY);
    QVERIFY(!late.append(first)); // before the last entry: refused, nothing replayed
    QCOMPARE(late.restarts(), 1);
}

void ProtocolTest::liveEntries_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("valid");
    const QByteArray change = R"({"v":1,"t":"change","at":1,"ramp":%R,"params":%P})";
    const auto changeRow = [&](const char* params, int ramp = 0) {
        return QByteArray(change).replace("%P", params).replace("%R", QByteArray::number(ramp));
    };
    QTest::newRow("rates ramped") << changeRow(R"({"atrial_rate":40,"pr_ms":240})", 2000) << true;
    QTest::newRow("a choice by index") << changeRow(R"({"ectopy_pattern":1})") << true;
    QTest::newRow("unknown id") << changeRow(R"({"heart_rate":40})") << false;
    QTest::newRow("below range") << changeRow(R"({"atrial_rate":19})") << false;
    QTest::newRow("above range") << changeRow(R"({"vf_amplitude":12.5})") << false;
    QTest::newRow("nothing") << changeRow("{}") << false;
    QTest::newRow("ramp over ten minutes") << changeRow(R"({"pr_ms":200})", 60001) << false;
    QTest::newRow("R on T into VF")
        << QByteArray(
               R"({"v":1,"t":"transition","at":1,"rhythm":"vf_coarse","seed":1,"via":"r_on_t","ramp":0})")
        << true;
    QTest::newRow("transition to a classic rhythm")
        << QByteArray(
               R"({"v":1,"t":"transition","at":1,"rhythm":"11","seed":1,"via":"direct","ramp":0})")
        << false;
    QTest::newRow("transition by an unknown way")
        << QByteArray(
               R"({"v":1,"t":"transition","at":1,"rhythm":"vf_fine","seed":1,"via":"magic","ramp":0})")
        << false;
    QTest::newRow("PVC now") << QByteArray(R"({"v":1,"t":"event","at":1,"id":"pvc_now"})") << true;
    QTest::newRow("shock into sinus")
        << QByteArray(
               R"({"v":1,"t":"event","at":1,"id":"defibrillate","rhythm":"sinus_rhythm","seed":3,"ramp":0})")
        << true;
    QTest::newRow("PVC with a rhythm")
        << QByteArray(
               R"({"v":1,"t":"event","at":1,"id":"pvc_now","rhythm":"sinus_rhythm","seed":3,"ramp":0})")
        << false;
    QTest::newRow("unknown event")
        << QByteArray(R"({"v":1,"t":"event","at":1,"id":"explode"})") << false;
}

// What the host lets onto the timeline: known ids, values in range.
void ProtocolTest::liveEntries() {
    QFETCH(QByteArray, json);
    QFETCH(bool, valid);
    const protocol::Decoded decoded = protocol::decode(json);
    QVERIFY2(decoded.message, qPrintable(decoded.error));
    QCOMPARE(liveEntryValid(*decoded.message), valid);
}

void ProtocolTest::qrCode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fits");
    QTest::newRow("the page's address") << "http://192.168.100.200:40001/?code=ABC234" << true;
    QTest::newRow("an IPv6 address") << "http://[fd12:3456:789a::1]:40001/" << true;
    QTest::newRow("too long for any version") << QString(3000, QLatin1Char('a')) << false;
}

// The three finder patterns sit in their corners, so the matrix is read the right way round.
void ProtocolTest::qrCode() {
    QFETCH(QString, text);
    QFETCH(bool, fits);
    const auto code = QrCode::encode(text);
    QCOMPARE(code.has_value(), fits);
    if (!code) {
        return;
    }
    QCOMPARE((code->size - 21) % 4, 0);
    for (const auto& [x0, y0] : {std::pair{0, 0}, {code->size - 7, 0}, {0, code->size - 7}}) {
        for (int i = 0; i < 7; ++i) {
            QVERIFY(code->dark(x0 + i, y0) && code->dark(x0 + i, y0 + 6));
            QVERIFY(code->dark(x0, y0 + i) && code->dark(x0 + 6, y0 + i));
        }
        QVERIFY(!code->dark(x0 + 1, y0 + 1) && code->dark(x0 + 3, y0 + 3));
    }
}

QTEST_APPLESS_MAIN(ProtocolTest)
#include "tst_protocol.moc"
