#include "LiveTable.h"
#include "ScenarioFile.h"
#include "conduction/LiveParameter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <set>

using namespace pulsavo;
using namespace pulsavo::scenario;

namespace {

// Two steps; the rows below break one thing each.
const QByteArray valid = R"({"format": "pulsavo-scenario", "version": 1,
 "title": {"ja": "徐脈", "en": "Bradycardia"}, "seed": 7,
 "steps": [
  {"title": {"ja": "洞調律", "en": "Sinus"}, "rhythm": "sinus_rhythm", "duration_s": 20,
   "vitals": {"spo2": 97, "nibp": "120/80", "resp_rate": 14}},
  {"title": {"ja": "高度徐脈", "en": "Slow"}, "rhythm": "sinus_bradycardia",
   "parameters": {"atrial_rate": 40}, "transition": {"kind": "ramp", "ramp_s": 20},
   "advance": "manual", "notes": "アトロピン\n0.5 mg", "expected_action": "アトロピン投与"}
 ]})";

QString sourceFile(const QString& relative) {
    return QDir(qEnvironmentVariable("PULSAVO_SOURCE_DIR")).filePath(relative);
}

QJsonObject readJson(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                          : QJsonObject();
}

std::set<QString> strings(const QJsonArray& array) {
    std::set<QString> out;
    for (const QJsonValue& value : array) {
        out.insert(value.toString());
    }
    return out;
}

std::set<QString> strings(const std::vector<std::string_view>& ids) {
    std::set<QString> out;
    for (const std::string_view id : ids) {
        out.insert(QString::fromUtf8(id.data(), static_cast<qsizetype>(id.size())));
    }
    return out;
}

} // namespace

class TestScenarioFile : public QObject {
    Q_OBJECT

private slots:
    void readsEveryFieldAndWritesItBack();
    void refusesAndNamesTheStep_data();
    void refusesAndNamesTheStep();
    void savingAnInvalidScenarioKeepsTheOldFile();
    void shippedScenariosAndSchemaAgreeWithTheValidator();
};

void TestScenarioFile::readsEveryFieldAndWritesItBack() {
    const ReadResult read = parseScenario(valid);
    QVERIFY2(read.ok(), qPrintable(read.problem.text()));
    const Scenario& s = *read.scenario;
    QCOMPARE(s.title.en, QStringLiteral("Bradycardia"));
    QCOMPARE(s.seed, std::optional<std::uint32_t>(7));
    QCOMPARE(s.steps.size(), std::size_t{2});
    QCOMPARE(s.steps[0].vitals, (Vitals{97, 120, 80, 14}));
    QCOMPARE(s.steps[0].headlessTicks(), 2000LL);
    const Step& slow = s.steps[1];
    QVERIFY(slow.rhythm == LibraryRhythm::sinusBradycardia);
    QVERIFY(slow.parameters == (std::vector<ParameterSetting>{{"atrial_rate", 40}}));
    QCOMPARE(slow.transition, std::string("ramp"));
    QCOMPARE(slow.rampSeconds, 20);
    QVERIFY(slow.advance == Advance::manual && !slow.seconds);
    QCOMPARE(slow.headlessTicks(), 100LL * defaultManualSeconds);
    QCOMPARE(slow.notes, QStringLiteral("アトロピン\n0.5 mg"));

    const ReadResult again = parseScenario(scenarioJson(s));
    QVERIFY2(again.ok(), qPrintable(again.problem.text()));
    QVERIFY(*again.scenario == s);
}

void TestScenarioFile::refusesAndNamesTheStep_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("message");
    const auto row = [](const char* name, const QByteArray& from, const QByteArray& to, int step,
                        const char* message) {
        QTest::newRow(name) << QByteArray(valid).replace(from, to) << step
                            << QString::fromUtf8(message);
    };
    const QByteArray slow = R"("rhythm": "sinus_bradycardia")";
    QTest::newRow("not JSON") << QByteArray("{\"format\": ") << -1 << "JSON として読めません";
    QTest::newRow("an array") << QByteArray("[1]") << -1 << "JSON のオブジェクトではありません";
    row("newer version", R"("version": 1)", R"("version": 2)", -1, "版 2 のシナリオは読めません");
    row("unknown key", R"("steps": [)", R"("x": 1, "steps": [)", -1, "知らないキー “x”");
    row("step not an object", R"("steps": [)", R"("steps": [3, )", 0,
        "手順 1: 手順はオブジェクトでなければなりません");
    row("unknown rhythm", slow, R"("rhythm": "sinus_slow")", 1,
        "手順 2（高度徐脈）: 知らないリズム “sinus_slow”");
    row("parameter out of range", R"("atrial_rate": 40)", R"("atrial_rate": 1e300)", 1,
        "“atrial_rate” は 20 から 350 まで（1e+300 は範囲外）");
    row("parameter not for the rhythm", R"("atrial_rate": 40)", R"("vf_amplitude": 4)", 1,
        "パラメーター “vf_amplitude” はリズム “sinus_bradycardia” には使えません");
    row("pacing rate with the pacer off", R"("atrial_rate": 40)", R"("pacing_rate": 70)", 1,
        "パラメーター “pacing_rate” はリズム “sinus_bradycardia” には使えません");
    row("unknown choice", R"("atrial_rate": 40)", R"("pacing_mode": "fast")", 1,
        "“pacing_mode” は off, atrial, ventricular, dual のどれかです（“fast” ではなく）");
    row("automatic without time", R"("advance": "manual")", R"("advance": "auto")", 1,
        "自動で進む手順には “duration_s” が必要です");
    row("blood pressure upside down", "120/80", "80/120", 0, "血圧 “80/120” は「120/80」の形");
    row("control character in a title", R"("ja": "洞調律")", R"("ja": "洞\u001b[2J")", 0,
        "手順 1: “ja” に制御文字があります");
    row("NUL escaped", "0.5 mg", "0.5\\u0000mg", 1, "手順 2（高度徐脈）: NUL 文字を含んでいます");
    row("NUL byte", "0.5 mg", QByteArray("0.5\0mg", 6), 1, "NUL 文字を含んでいます");
    row("duplicate key at the top", R"("seed": 7)", R"("seed": 7, "seed": 8)", -1,
        "キー “seed” が二度あります");
    row("duplicate key in a step", R"("duration_s": 20)", R"("duration_s": 20, "duration_s": 2)", 0,
        "手順 1（洞調律）: キー “duration_s” が二度あります");
    row("escaped key", R"("advance")", R"("\u0061dvance")", 1, "知らないキー “\\u0061dvance”");
    row("deep nesting", R"("atrial_rate": 40)",
        R"("atrial_rate": [[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]])", 1,
        "入れ子が深すぎます（8 段まで）");
    QTest::newRow("over a megabyte")
        << QByteArray(valid).replace("0.5 mg", QByteArray(1 << 20, ' ')) << -1
        << "ファイルが大きすぎます（1048576 バイトまで）";
}

void TestScenarioFile::refusesAndNamesTheStep() {
    QFETCH(QByteArray, data);
    QFETCH(int, step);
    QFETCH(QString, message);
    const ReadResult read = parseScenario(data);
    QVERIFY(!read.ok());
    QCOMPARE(read.problem.step, step);
    QVERIFY2(read.problem.text().contains(message), qPrintable(read.problem.text()));
}

void TestScenarioFile::savingAnInvalidScenarioKeepsTheOldFile() {
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("class.json"));
    Scenario scenario = *parseScenario(valid).scenario;
    QCOMPARE(saveScenarioFile(scenario, path), std::nullopt);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    file.close();
    QVERIFY(*readScenarioFile(path).scenario == scenario);

    scenario.steps[1].parameters.front().value = 999;
    const std::optional<QString> refused = saveScenarioFile(scenario, path);
    QVERIFY(refused && refused->startsWith(QStringLiteral("手順 2（高度徐脈）")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), saved);
}

void TestScenarioFile::shippedScenariosAndSchemaAgreeWithTheValidator() {
    // Compiled in, the same files as in the source tree, each valid.
    const QStringList files = shippedScenarios();
    QVERIFY(files.size() >= 8);
    QStringList names;
    for (const QString& path : files) {
        names << QFileInfo(path).fileName();
        const ReadResult read = readScenarioFile(path);
        QVERIFY2(read.ok(), qPrintable(path + QStringLiteral(": ") + read.problem.text()));
    }
    QCOMPARE(names, QDir(sourceFile(QStringLiteral("resources/scenarios")))
                        .entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name));

    const QJsonObject schema =
        readJson(sourceFile(QStringLiteral("resources/scenario.schema.json")));
    const QJsonObject defs = schema.value(QStringLiteral("$defs")).toObject();
    const auto def = [&defs](const char* name) {
        return defs.value(QLatin1String(name)).toObject();
    };
    std::vector<std::string_view> rhythms;
    for (const LibraryInfo& info : libraryInfo) {
        rhythms.push_back(info.id);
    }
    QVERIFY(strings(def("rhythm").value(QStringLiteral("enum")).toArray()) == strings(rhythms));
    QVERIFY(strings(def("transition_kind").value(QStringLiteral("enum")).toArray()) ==
            strings(transitionKinds()));
    QVERIFY(strings(def("event").value(QStringLiteral("enum")).toArray()) ==
            strings(instructorEvents()));
    const QJsonObject parameters = def("parameters").value(QStringLiteral("properties")).toObject();
    const QStringList keys = parameters.keys();
    QVERIFY(std::set<QString>(keys.begin(), keys.end()) == strings(liveParameterIds()));
    for (const conduction::LiveParameter& info : conduction::liveParameters()) {
        const QJsonObject schemaOf = parameters.value(*strings({info.id}).begin()).toObject();
        if (info.isChoice()) {
            const std::vector<std::string_view> choices(info.choices.begin(), info.choices.end());
            QVERIFY(strings(schemaOf.value(QStringLiteral("enum")).toArray()) == strings(choices));
        } else {
            QCOMPARE(schemaOf.value(QStringLiteral("minimum")).toDouble(), info.lo);
            QCOMPARE(schemaOf.value(QStringLiteral("maximum")).toDouble(), info.hi);
        }
    }
    QCOMPARE(def("steps").value(QStringLiteral("maxItems")).toInt(), maxSteps);
    QCOMPARE(def("title").value(QStringLiteral("maxLength")).toInt(), maxTitleLength);
    QCOMPARE(def("text").value(QStringLiteral("maxLength")).toInt(), maxTextLength);
}

QTEST_APPLESS_MAIN(TestScenarioFile)
#include "tst_scenariofile.moc"
