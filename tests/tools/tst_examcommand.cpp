#include "ExamCode.h"
#include "ExamStrip.h"
#include "Monitor.h"
#include "ProgressStore.h"
#include "TraceCommand.h"

#include "ToolRun.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace pulsavo;
using namespace pulsavo::strip;

namespace {

using Run = pulsavo::testing::ToolRun;

Run runTool(const QStringList& args, const QString& directory = {}) {
    pulsavo::testing::ToolSetup setup;
    setup.directory = directory;
    return pulsavo::testing::runTool(QStringLiteral(PULSAVO_STRIP), args, setup);
}

// Every entry of a folder, hidden ones and links too, with the bytes of each file.
QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        QFile file(dir.filePath(name));
        files.insert(name, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    return files;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// y, where the segment starts, beep and marking: everything a sample holds.
bool sameSamples(const std::vector<TickSample>& a, const std::vector<TickSample>& b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](const TickSample& x, const TickSample& y) {
            return x.y == y.y && x.fromY == y.fromY && x.beep == y.beep && x.red == y.red;
        });
}

// A database with three answers in exam `code` and one outside it.
void writeAnswers(const QString& path, const QString& code) {
    ProgressStore store(path);
    QVERIFY(store.isSaving());
    const auto answer = [&](Rhythm shown, Rhythm given, int ms, const QString& exam) {
        AnswerRecord record;
        record.shown = shown;
        record.answer = given;
        record.answerMs = ms;
        record.examCode = exam;
        QVERIFY(store.recordAnswer(record) > 0);
    };
    answer(Rhythm::sinusRhythm, Rhythm::sinusRhythm, 1000, code);
    answer(Rhythm::sinusRhythm, Rhythm::sinusArrest, 3000, code);
    answer(Rhythm::atrialFibrillation, Rhythm::atrialFibrillation, 2000, code);
    answer(Rhythm::atrialFibrillation, Rhythm::atrialFlutter, 500, QString());
}

} // namespace

class TestExamCommand : public QObject {
    Q_OBJECT

private slots:
    void sameArgumentsGiveTheSameFiles();
    void questionTraceIsThePrintedStrip();
    void badInputLeavesNoFile_data();
    void badInputLeavesNoFile();
    void progressSummarisesAndExports();
    void reportLeavesHealthyFileAlone();
    void readOnlyFileReports();
    void libraryByIds_data();
    void libraryByIds();
};

void TestExamCommand::sameArgumentsGiveTheSameFiles() {
    QTemporaryDir dir;
    const QStringList common{"exam",      "--count", "7",      "--seed", "1234",
                             "--rhythms", "0,9-11",  "--lang", "en"};
    const Run first = runTool(
        common + QStringList{"--pdf", dir.filePath("a.pdf"), "--key", dir.filePath("ak.pdf")});
    const Run second = runTool(
        common + QStringList{"--key", dir.filePath("bk.pdf"), "--pdf", dir.filePath("b.pdf")});
    QCOMPARE(first.exitCode, 0);
    QCOMPARE(first.err, QByteArray());
    const ExamResult expected = makeExam(7, 1234, parseRhythmList("0,9-11").rhythms);
    QCOMPARE(first.out, QByteArray::fromStdString(expected.exam.code + "\n"));
    QCOMPARE(second.out, first.out);
    const QByteArray pdf = readAll(dir.filePath("a.pdf"));
    QVERIFY(pdf.startsWith("%PDF"));
    QCOMPARE(readAll(dir.filePath("b.pdf")), pdf);
    QCOMPARE(readAll(dir.filePath("bk.pdf")), readAll(dir.filePath("ak.pdf")));
    // Two pages of five strips for seven questions.
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"), 2);

    // Without --seed a seed is drawn, and the printed code rebuilds that very exam.
    const Run random = runTool({"exam", "--count", "3", "--pdf", dir.filePath("r.pdf")});
    QCOMPARE(random.exitCode, 0);
    const ExamResult parsed = parseExamCode(random.out.trimmed().toStdString());
    QVERIFY2(parsed.ok(), parsed.message.c_str());
    QCOMPARE(parsed.exam.count, 3);
    QCOMPARE(parsed.exam.rhythms, RhythmSet::classic());
}

void TestExamCommand::questionTraceIsThePrintedStrip() {
    for (const int artifact : {0, 1}) {
        const ExamResult result = makeExam(10, 777, RhythmSet::classic(), {.artifact = artifact});
        QVERIFY(result.ok());
        // One monitor playing question after question, as the practice window does, each after
        // some ticks of the one before it, the question's artifact laid first.
        Monitor played(640, 200);
        for (std::size_t k = 0; k < result.exam.questions.size(); ++k) {
            const Question& question = result.exam.questions[k];
            played.run(static_cast<int>(37 * k));
            for (const ArtifactKind kind : allArtifactKinds) {
                played.simulation().setArtifact(
                    kind, kind == question.artifact ? question.artifactStrength : 0);
            }
            startExamQuestion(played, question.rhythm, question.seed);
            played.run(examStripTicks);
            const StripDescription strip =
                examQuestionStrip(question.rhythm, question.seed, {QString::number(k + 1)},
                                  question.artifact, question.artifactStrength);
            QCOMPARE(strip.samples.size(), std::size_t(examStripTicks));
            QVERIFY2(sameSamples(played.history(examStripTicks), strip.samples),
                     qPrintable(QStringLiteral("question %1").arg(k + 1)));
            QCOMPARE(sameSamples(strip.samples,
                                 examQuestionStrip(question.rhythm, question.seed, {}).samples),
                     artifact == 0);
            QVERIFY(!strip.marking);
            QCOMPARE(strip.caption, QStringList{QString::number(k + 1)});
        }
        // And the same as `pulsavo-strip trace --select 1:R@S [--artifact tremor]` gives.
        const Question& last = result.exam.questions.back();
        std::vector<std::string> args{"--ticks", "600", "--select",
                                      "1:" + std::to_string(indexOf(last.rhythm)) + "@" +
                                          std::to_string(last.seed)};
        if (artifact > 0) {
            args.insert(args.end(), {"--artifact", "tremor:5"});
        }
        std::vector<TickSample> traced;
        runTrace(parseTraceOptions(std::vector<std::string_view>(args.begin(), args.end())),
                 [&traced](const TraceTick& tick) { traced.push_back(tick.sample); });
        QVERIFY(sameSamples(traced, examQuestionStrip(last.rhythm, last.seed, {}, last.artifact,
                                                      last.artifactStrength)
                                        .samples));
    }
}

void TestExamCommand::badInputLeavesNoFile_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("status"); // 2 for a usage error, 1 for a file that cannot be written
    const QStringList exam{"exam", "--count", "5", "--pdf", "@/e.pdf"};
    QTest::newRow("bad rhythm list") << exam + QStringList{"--rhythms", "0,18"} << "--rhythms" << 2;
    QTest::newRow("rhythm list not numbers")
        << exam + QStringList{"--rhythms", "af"} << "--rhythms" << 2;
    QTest::newRow("count 0") << QStringList{"exam", "--count", "0", "--pdf", "@/e.pdf"} << "--count"
                             << 2;
    QTest::newRow("seed too large") << exam + QStringList{"--seed", "67108864"} << "--seed" << 2;
    QTest::newRow("artifact no exam carries")
        << exam + QStringList{"--artifact", "cpr"} << "an exam carries tremor, motion" << 2;
    QTest::newRow("artifact strength")
        << exam + QStringList{"--artifact", "tremor:7"} << "not 'tremor:7'" << 2;
    QTest::newRow("no pdf") << QStringList{"exam", "--count", "5"} << "--pdf" << 2;
    QTest::newRow("pdf to stdout")
        << QStringList{"exam", "--count", "5", "--pdf", "-"} << "'-'" << 2;
    QTest::newRow("key into a missing folder")
        << exam + QStringList{"--key", "@/missing/k.pdf"} << "cannot write" << 1;
    QTest::newRow("pdf into a missing folder")
        << QStringList{"exam", "--count", "5", "--pdf", "@/missing/e.pdf", "--key", "@/k.pdf"}
        << "cannot write" << 1;
    QTest::newRow("same file twice") << exam + QStringList{"--key", "@/e.pdf"} << "one file" << 2;
    // Usage errors after the exam rows: one file under two names, options taken as values,
    // an output over the answers database by any of its names, a database not made or damaged.
    const auto row = [](const char* tag, const QStringList& args, const char* message) {
        QTest::newRow(tag) << args << QString::fromUtf8(message) << 2;
    };
    const QStringList progress{"progress", "--db", "p.sqlite"};
    const QStringList events{"events", "--ticks", "10", "--csv"};
    const char* const replace = "would replace the answers database";
    row("pdf and key by other names",
        {"exam", "--count", "5", "--pdf", "e.pdf", "--key", "./e.pdf"}, "one file");
    row("key through a link to the pdf",
        {"exam", "--count", "5", "--pdf", "p.sqlite", "--key", "link.sqlite"}, "one file");
    row("key takes an option", exam + QStringList{"--key", "--lang"}, "option-like '--lang'");
    row("pdf given twice", exam + QStringList{"--pdf", "@/f.pdf"}, "--pdf is given twice");
    row("events csv takes an option", events + QStringList{"--lang"}, "option-like '--lang'");
    row("events csv given twice", events + QStringList{"a.csv", "--csv", "b.csv"},
        "--csv is given twice");
    row("csv over its database", {"progress", "--db", "@/p.sqlite", "--csv", "@/p.sqlite"},
        replace);
    row("csv over a link to its database", progress + QStringList{"--csv", "link.sqlite"}, replace);
    row("database through a link", {"progress", "--db", "link.sqlite", "--csv", "./p.sqlite"},
        replace);
    row("csv over a hard link to its database", progress + QStringList{"--csv", "hard.sqlite"},
        replace);
    row("csv over the database's log", progress + QStringList{"--csv", "p.sqlite-wal"}, replace);
    row("csv over the log of the database's other name",
        {"progress", "--db", "hard.sqlite", "--csv", "p.sqlite-wal"}, replace);
    row("progress csv takes an option", progress + QStringList{"--csv", "--lang"},
        "option-like '--lang'");
    row("database given twice", progress + QStringList{"--db", "empty.sqlite"},
        "--db is given twice");
    row("empty file is not made a database", {"progress", "--db", "empty.sqlite", "--lang", "en"},
        "'empty.sqlite' is not an answers database");
    row("damaged file stays where it is", {"progress", "--db", "bad.sqlite", "--lang", "en"},
        "'bad.sqlite' is damaged; it is left as it is");
    row("message in the chosen language", {"progress", "--db", "bad.sqlite", "--lang", "ja"},
        "成績ファイル 'bad.sqlite' が壊れています");
    QTest::newRow("bad exam code")
        << QStringList{"progress", "--db", "@/p.sqlite", "--exam", "PX-8J00-44JG"} << "--exam" << 2;
    QTest::newRow("missing database")
        << QStringList{"progress", "--db", "@/none.sqlite"} << "no answers database" << 2;
    QTest::newRow("csv into a missing folder")
        << QStringList{"progress", "--db", "@/p.sqlite", "--csv", "@/missing/a.csv"}
        << "cannot write" << 1;
    QTest::newRow("unknown option")
        << QStringList{"progress", "--dbx", "x"} << "unknown option" << 2;
    row("unknown rhythm id", exam + QStringList{"--rhythms", "sinus_brady"}, "sinus_brady");
    row("rhythms and library", exam + QStringList{"--rhythms", "0", "--library"},
        "--rhythms or --library once");
    row("feedback neither each nor end", exam + QStringList{"--feedback", "later"}, "--feedback");
    row("no time at all", exam + QStringList{"--time-limit", "0"}, "--time-limit");
    row("pass mark over 100", exam + QStringList{"--pass", "101"}, "--pass");
    row("progress rows not rhythms", {"progress", "--db", "@/p.sqlite", "--rhythms", "0,paced_x"},
        "paced_x");
}

void TestExamCommand::badInputLeavesNoFile() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QFETCH(int, status);
    QTemporaryDir dir;
    writeAnswers(dir.filePath("p.sqlite"), QString());
    QVERIFY(QFile::link(QStringLiteral("p.sqlite"), dir.filePath("link.sqlite")));
    QVERIFY(::link(QFile::encodeName(dir.filePath("p.sqlite")).constData(),
                   QFile::encodeName(dir.filePath("hard.sqlite")).constData()) == 0);
    for (const auto& [name, bytes] : {std::pair{"empty.sqlite", 0}, {"bad.sqlite", 4096}}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(bytes, 'x')) == bytes);
    }
    const QMap<QString, QByteArray> before = snapshot(dir.path());
    args.replaceInStrings(QStringLiteral("@"), dir.path());
    const Run run = runTool(args, dir.path());
    QCOMPARE(run.exitCode, status);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
    QCOMPARE(snapshot(dir.path()).keys(), before.keys());
    QVERIFY(snapshot(dir.path()) == before); // no file made, none changed
}

void TestExamCommand::reportLeavesHealthyFileAlone() {
    QTemporaryDir dir;
    writeAnswers(dir.filePath("p.sqlite"), QString());
    const QMap<QString, QByteArray> before = snapshot(dir.path());
    const QDateTime modified = QFileInfo(dir.filePath("p.sqlite")).lastModified();
    for (const QStringList& more : {QStringList{}, QStringList{"--csv", "-"}}) {
        const Run run = runTool(QStringList{"progress", "--db", "p.sqlite"} + more, dir.path());
        QVERIFY(run.exitCode == 0 && run.err.isEmpty());
    }
    QVERIFY(snapshot(dir.path()) == before);
    QCOMPARE(QFileInfo(dir.filePath("p.sqlite")).lastModified(), modified);
}

// A report of a file that may not be written: 0444 in a folder that may not be written, and,
// when the suite runs as root, another user's. That user runs a copy of pulsavo-strip from a
// folder it can reach, so the test passes from a checkout in a private folder.
void TestExamCommand::readOnlyFileReports() {
    QTemporaryDir dir;
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const QFile::Permissions reachable =
        readOnly | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    const QString folder = dir.filePath("answers");
    const QString strip = dir.filePath("pulsavo-strip");
    QVERIFY(QFile::setPermissions(dir.path(), reachable | QFile::WriteOwner) &&
            QDir().mkpath(folder));
    writeAnswers(folder + "/p.sqlite", QString());
    QVERIFY(QFile::copy(QStringLiteral(PULSAVO_STRIP), strip));
    QVERIFY(QFile::setPermissions(folder + "/p.sqlite", readOnly) &&
            QFile::setPermissions(folder, reachable));
    const QMap<QString, QByteArray> before = snapshot(folder);
    pulsavo::testing::ToolSetup setup;
    setup.directory = dir.path();
    if (::geteuid() == 0) {
        setup.inChild = [] {
            constexpr uid_t nobody = 65534;
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0) {
                ::_exit(99);
            }
        };
    }
    const Run run = pulsavo::testing::runTool(
        strip, {"progress", "--db", folder + "/p.sqlite", "--lang", "en", "--ids"}, setup);
    QVERIFY(QFile::setPermissions(folder, readOnly | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY2(run.exitCode == 0, run.err.constData());
    QVERIFY2(run.out.contains("\nAll ") && run.out.contains(" 4 "), run.out.constData());
    QVERIFY(snapshot(folder) == before);
}

void TestExamCommand::progressSummarisesAndExports() {
    QTemporaryDir dir;
    const QString db = dir.filePath("p.sqlite");
    const std::string code = makeExam(10, 4242).exam.code;
    writeAnswers(db, QString::fromStdString(code));

    const Run all = runTool({"progress", "--db", db, "--lang", "en"});
    QCOMPARE(all.exitCode, 0);
    const QStringList lines = QString::fromUtf8(all.out).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1 + rhythmCount + 1);
    QCOMPARE(lines[1].simplified(), QStringLiteral("Sinus rhythm 2 50 % 2000"));
    QVERIFY2(lines.last().simplified() == QStringLiteral("All 4 50 %"), qPrintable(lines.last()));

    // The exam's answers only, typed as a person would; the CSV to standard output alone.
    QString typed = QString::fromStdString(code).toLower();
    typed.remove('-');
    const Run exam = runTool({"progress", "--db", db, "--exam", typed, "--csv", "-"});
    QCOMPARE(exam.exitCode, 0);
    const QList<QByteArray> rows = exam.out.split('\n');
    QCOMPARE(exam.out.count("\r\n"), 4); // header and three answers
    QVERIFY(rows[0].contains("shown"));
    QVERIFY(exam.out.contains(QByteArray::fromStdString(code)));

    const QString csv = dir.filePath("out.csv");
    const Run toFile = runTool({"progress", "--db", db, "--csv", csv, "--lang", "ja"});
    QCOMPARE(toFile.exitCode, 0);
    QVERIFY(toFile.out.contains("洞調律"));
    QVERIFY(toFile.out.contains("回答 4 件、計測 0 件"));
    QCOMPARE(readAll(csv).count("\r\n"), 5);
}

void TestExamCommand::libraryByIds_data() {
    QTest::addColumn<QStringList>("choice");
    QTest::addColumn<QString>("list");
    QTest::newRow("ids") << QStringList{"--rhythms", "pac,mobitz_1"} << "pac,mobitz_1";
    QTest::newRow("library") << QStringList{"--library"} << "library";
    QTest::newRow("family and classic") << QStringList{"--rhythms", "av_block, 3"} << "3,av_block";
}

// Library rhythms chosen by id, family or --library: the printed code rebuilds that exam; the
// progress table adds answered library rows after the classic 18, or lists the rows asked for.
void TestExamCommand::libraryByIds() {
    QFETCH(QStringList, choice);
    QFETCH(QString, list);
    QTemporaryDir dir;
    const Run made = runTool(
        QStringList{"exam", "--count", "3", "--seed", "77", "--pdf", dir.filePath("e.pdf")} +
        choice);
    QCOMPARE(made.exitCode, 0);
    const RhythmSet rhythms = parseRhythmList(list.toStdString()).rhythms;
    QCOMPARE(made.out, QByteArray::fromStdString(makeExam(3, 77, rhythms).exam.code + "\n"));

    const QString db = dir.filePath("p.sqlite");
    writeAnswers(db, QString());
    const Rhythm last = rhythms.list().back();
    AnswerRecord record;
    record.answer = record.shown = last;
    record.answerMs = 1200;
    QVERIFY(ProgressStore(db).recordAnswer(record) > 0);
    const QString id = QString::fromStdString(rhythmId(last));
    const Run table = runTool({"progress", "--db", db, "--ids", "--lang", "en"});
    QCOMPARE(table.exitCode, 0);
    const QStringList lines = QString::fromUtf8(table.out).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1 + rhythmCount + 1 + 1);
    QCOMPARE(lines[1].simplified(), QStringLiteral("classic_0 2 50 % 2000"));
    QCOMPARE(lines[rhythmCount + 1].simplified(), id + QStringLiteral(" 1 100 % 1200"));
    QCOMPARE(lines.last().simplified(), QStringLiteral("All 5 60 %"));
    const Run rows = runTool({"progress", "--db", db, "--ids", "--rhythms", id + ",4"});
    QCOMPARE(rows.out.count('\n'), 4);
    QVERIFY(rows.out.contains("\nclassic_4 ") && rows.out.contains("\n" + id.toUtf8() + ' '));
}

QTEST_MAIN(TestExamCommand)
#include "tst_examcommand.moc"
