// Golden traces: the CSV of pulsavo-strip trace for fixed rhythms and seeds, byte for byte.
// Run with PULSAVO_UPDATE_GOLDEN=1 to rewrite them after a change meant to alter the trace.
#include "ToolRun.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

QString goldenDir() {
    return qEnvironmentVariable("PULSAVO_SOURCE_DIR") + QStringLiteral("/tests/golden/");
}

bool updating() {
    return qEnvironmentVariableIsSet("PULSAVO_UPDATE_GOLDEN");
}

QByteArray trace(const QStringList& arguments) {
    const pulsavo::testing::ToolRun run = pulsavo::testing::runTool(
        QStringLiteral(PULSAVO_STRIP), QStringList{QStringLiteral("trace")} + arguments);
    return run.exitCode == 0 ? run.out : QByteArray();
}

QByteArray sha256(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

} // namespace

class TestGolden : public QObject {
    Q_OBJECT
private slots:
    void scenarios_data();
    void scenarios();
    void everyRhythmAndSeed();
};

void TestGolden::scenarios_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("sinus") << "sinus-42.csv" << QStringList{"--ticks", "600", "--select", "1:0@42"};
    QTest::newRow("vt then none") << "vt-then-none-7.csv"
                                  << QStringList{"--ticks", "3000",     "--select",
                                                 "1:10@7",  "--select", "1500:none@7"};
    QTest::newRow("three rhythms") << "mobitz-af-complete.csv"
                                   << QStringList{"--ticks",  "4000",     "--select", "300:15@4242",
                                                  "--select", "1700:4@9", "--select", "2900:17@11"};
    QTest::newRow("small panel") << "vf-small-panel.csv"
                                 << QStringList{"--ticks",  "2000", "--width",  "200",
                                                "--height", "60",   "--select", "1:11@3"};
}

void TestGolden::scenarios() {
    QFETCH(QString, file);
    QFETCH(QStringList, arguments);
    const QByteArray csv = trace(arguments);
    QVERIFY(!csv.isEmpty());
    QFile golden(goldenDir() + file);
    if (updating()) {
        QVERIFY(golden.open(QIODevice::WriteOnly));
        golden.write(csv);
        return;
    }
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QVERIFY(csv == golden.readAll());
}

// 3000 ticks of every rhythm with three seeds, kept as hashes.
void TestGolden::everyRhythmAndSeed() {
    QFile list(goldenDir() + QStringLiteral("traces.sha256"));
    QByteArray rewritten;
    QVERIFY(list.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = list.readAll().split('\n');
    int checked = 0;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() != 3) {
            continue;
        }
        const QString selection = QStringLiteral("1:%1@%2").arg(QString::fromLatin1(fields[0]),
                                                                QString::fromLatin1(fields[1]));
        const QByteArray hash = sha256(trace({QStringLiteral("--ticks"), QStringLiteral("3000"),
                                              QStringLiteral("--select"), selection}));
        rewritten += fields[0] + ' ' + fields[1] + ' ' + hash + '\n';
        QVERIFY2(updating() || hash == fields[2], qPrintable(selection));
        ++checked;
    }
    QCOMPARE(checked, 18 * 3);
    if (updating()) {
        list.close();
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(rewritten);
    }
}

QTEST_APPLESS_MAIN(TestGolden)
#include "tst_golden.moc"
