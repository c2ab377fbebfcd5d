#include "CatalogueCommands.h"

#include "Catalogue.h"

#include <QProcess>
#include <QTest>

using namespace pulsavo;

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Outcome runStrip(const QStringList& args) {
    QProcess strip;
    strip.start(QStringLiteral(PULSAVO_STRIP), args);
    Outcome outcome;
    if (strip.waitForFinished(60000) && strip.exitStatus() == QProcess::NormalExit) {
        outcome.exitCode = strip.exitCode();
    }
    outcome.out = strip.readAllStandardOutput();
    outcome.err = strip.readAllStandardError();
    return outcome;
}

QByteArray bytes(std::string_view text) {
    return QByteArray(text.data(), qsizetype(text.size()));
}

} // namespace

class TestCatalogueCommands : public QObject {
    Q_OBJECT

private slots:
    void listPrintsIndexTabNamePerLine();
    void explainPrintsTheStoredText_data();
    void explainPrintsTheStoredText();
    void badArgumentsExitWithStatus2_data();
    void badArgumentsExitWithStatus2();
};

void TestCatalogueCommands::listPrintsIndexTabNamePerLine() {
    const Outcome result = runStrip({"list"});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    const QByteArrayList lines = result.out.split('\n');
    QCOMPARE(lines.size(), catalogue::entryCount + 1);
    QCOMPARE(lines.last(), QByteArray());
    for (int i = 0; i < catalogue::entryCount; ++i) {
        QCOMPARE(lines[i], QByteArray::number(i) + '\t' + bytes(catalogue::rhythmNames[i]));
    }
}

void TestCatalogueCommands::explainPrintsTheStoredText_data() {
    QTest::addColumn<QString>("rhythm");
    QTest::addColumn<int>("index");
    QTest::newRow("first index") << "0" << 0;
    QTest::newRow("last index") << "17" << 17;
    QTest::newRow("leading zero") << "07" << 7;
    QTest::newRow("name") << QString::fromUtf8("洞調律") << 0;
    QTest::newRow("name with ideographic spaces")
        << QString::fromUtf8("心室性期外収縮（Ｒ　ｏｎ　Ｔ）") << 8;
    QTest::newRow("name with a Roman numeral")
        << QString::fromUtf8("房室ブロック　Ⅱ度　ウェッケンバッハ型") << 16;
}

void TestCatalogueCommands::explainPrintsTheStoredText() {
    QFETCH(QString, rhythm);
    QFETCH(int, index);
    const Outcome result = runStrip({"explain", rhythm});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.out, bytes(catalogue::rhythmTexts[index]) + '\n');
    QVERIFY(result.out.contains("\r\n"));
}

void TestCatalogueCommands::badArgumentsExitWithStatus2_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("explain without a rhythm") << QStringList{"explain"};
    QTest::newRow("explain with two rhythms") << QStringList{"explain", "1", "2"};
    QTest::newRow("index past the end") << QStringList{"explain", "18"};
    QTest::newRow("negative index") << QStringList{"explain", "-1"};
    QTest::newRow("empty rhythm") << QStringList{"explain", ""};
    QTest::newRow("shared beginning of names")
        << QStringList{"explain", QString::fromUtf8("心室性期外収縮")};
    QTest::newRow("ASCII space for an ideographic one")
        << QStringList{"explain", QString::fromUtf8("房室ブロック Ⅰ度")};
    QTest::newRow("list with an argument") << QStringList{"list", "0"};
}

void TestCatalogueCommands::badArgumentsExitWithStatus2() {
    QFETCH(QStringList, args);
    const Outcome result = runStrip(args);
    QCOMPARE(result.exitCode, strip::usageExitCode);
    QCOMPARE(result.out, QByteArray());
    QVERIFY2(result.err.startsWith("pulsavo-strip: "), result.err);
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY(result.err.endsWith('\n'));
}

QTEST_APPLESS_MAIN(TestCatalogueCommands)

#include "tst_cataloguecommands.moc"
