#include "CatalogueCommands.h"

#include "Catalogue.h"
#include "RhythmLibrary.h"

#include "ToolRun.h"

#include <QProcess>
#include <QTest>

using namespace pulsavo;

namespace {

using Outcome = pulsavo::testing::ToolRun;

const QStringList localeVariables{"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};

// Runs the tool with only the given locale variables set; by default in a Japanese session.
Outcome runStrip(const QStringList& args,
                 const QStringList& locale = {QStringLiteral("LANG=ja_JP.UTF-8")}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& variable : localeVariables) {
        environment.remove(variable);
    }
    for (const QString& setting : locale) {
        environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
    }
    pulsavo::testing::ToolSetup setup;
    setup.environment = environment;
    return pulsavo::testing::runTool(QStringLiteral(PULSAVO_STRIP), args, setup);
}

QByteArray bytes(std::string_view text) {
    return QByteArray(text.data(), qsizetype(text.size()));
}

} // namespace

class TestCatalogueCommands : public QObject {
    Q_OBJECT

private slots:
    void listPrintsIndexTabNamePerLine();
    void listLibraryPrintsIdTabNamePerLine();
    void everyCommandHasItsOwnHelp_data();
    void everyCommandHasItsOwnHelp();
    void explainPrintsTheStoredText_data();
    void explainPrintsTheStoredText();
    void badArgumentsExitWithStatus2_data();
    void badArgumentsExitWithStatus2();
    void listPrintsTheNamesOfTheLanguage_data();
    void listPrintsTheNamesOfTheLanguage();
    void explainPrintsTheTextOfTheLanguage_data();
    void explainPrintsTheTextOfTheLanguage();
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

void TestCatalogueCommands::listLibraryPrintsIdTabNamePerLine() {
    const Outcome result = runStrip({"list", "--lang", "en", "--library"});
    const QByteArrayList lines = result.out.split('\n');
    QVERIFY(result.exitCode == 0 && lines.size() == libraryRhythmCount + 1);
    for (const LibraryRhythm rhythm : allLibraryRhythms) {
        QCOMPARE(lines[static_cast<int>(rhythm)],
                 bytes(infoOf(rhythm).id) + '\t' +
                     bytes(catalogue::nameOf(rhythmOf(rhythm), catalogue::Language::english)));
    }
}

void TestCatalogueCommands::everyCommandHasItsOwnHelp_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("usage");
    for (const char* command : {"list", "explain", "trace", "events", "exam", "progress"}) {
        QTest::newRow(command) << QStringList{command, "--help"}
                               << "pulsavo-strip " + QByteArray(command) + ' ';
    }
    QTest::newRow("-h after other options")
        << QStringList{"trace", "--ticks", "5", "-h"} << QByteArray("pulsavo-strip trace ");
}

void TestCatalogueCommands::everyCommandHasItsOwnHelp() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, usage);
    const Outcome result = runStrip(args);
    QVERIFY2(result.exitCode == 0 && result.err.isEmpty() && result.out.startsWith(usage) &&
                 result.out.count("pulsavo-strip ") == 1,
             result.out.constData()); // its own usage alone
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
    QTest::newRow("library name") << QString::fromUtf8("正常洞調律") << 18;
    QTest::newRow("library id") << "mobitz_1" << indexOf(rhythmOf(LibraryRhythm::mobitz1));
    QTest::newRow("classic id") << "classic_5" << 5;
    QTest::newRow("library name with a ratio") << QString::fromUtf8("心房粗動（2:1伝導）")
                                               << indexOf(rhythmOf(LibraryRhythm::flutter2to1));
}

void TestCatalogueCommands::explainPrintsTheStoredText() {
    QFETCH(QString, rhythm);
    QFETCH(int, index);
    const Outcome result = runStrip({"explain", rhythm});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.out, bytes(catalogue::textOf(static_cast<Rhythm>(index))) + '\n');
    QVERIFY(result.out.contains("\r\n"));
}

void TestCatalogueCommands::badArgumentsExitWithStatus2_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("explain without a rhythm") << QStringList{"explain"};
    QTest::newRow("explain with two rhythms") << QStringList{"explain", "1", "2"};
    QTest::newRow("index past the end") << QStringList{"explain", "18"};
    QTest::newRow("unknown id") << QStringList{"explain", "mobitz_3"};
    QTest::newRow("id in capitals") << QStringList{"explain", "MOBITZ_1"};
    QTest::newRow("classic id past the end") << QStringList{"explain", "classic_18"};
    QTest::newRow("negative index") << QStringList{"explain", "-1"};
    QTest::newRow("empty rhythm") << QStringList{"explain", ""};
    QTest::newRow("shared beginning of names")
        << QStringList{"explain", QString::fromUtf8("心室性期外収縮")};
    QTest::newRow("ASCII space for an ideographic one")
        << QStringList{"explain", QString::fromUtf8("房室ブロック Ⅰ度")};
    QTest::newRow("list with an argument") << QStringList{"list", "0"};
    QTest::newRow("unknown language") << QStringList{"list", "--lang", "fr"};
    QTest::newRow("language in capitals") << QStringList{"explain", "1", "--lang", "JA"};
    QTest::newRow("locale for a language") << QStringList{"explain", "1", "--lang", "ja_JP"};
    QTest::newRow("empty language") << QStringList{"explain", "1", "--lang", ""};
    QTest::newRow("language without a value") << QStringList{"explain", "1", "--lang"};
    QTest::newRow("English name in lower case")
        << QStringList{"explain", "atrial flutter (AFL)", "--lang", "en"};
    QTest::newRow("list with an argument after the language")
        << QStringList{"list", "--lang", "en", "0"};
}

void TestCatalogueCommands::listPrintsTheNamesOfTheLanguage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("locale");
    QTest::addColumn<bool>("english");
    QTest::newRow("--lang en") << QStringList{"list", "--lang", "en"} << QStringList() << true;
    QTest::newRow("--lang ja in an English session")
        << QStringList{"list", "--lang", "ja"} << QStringList{"LANG=en_US.UTF-8"} << false;
    QTest::newRow("--lang en in a Japanese session")
        << QStringList{"list", "--lang", "en"} << QStringList{"LANG=ja_JP.UTF-8"} << true;
    QTest::newRow("last --lang wins")
        << QStringList{"list", "--lang", "en", "--lang", "ja"} << QStringList() << false;
    QTest::newRow("no locale") << QStringList{"list"} << QStringList() << true;
    QTest::newRow("C locale") << QStringList{"list"} << QStringList{"LANG=C"} << true;
    QTest::newRow("POSIX locale") << QStringList{"list"} << QStringList{"LC_ALL=POSIX"} << true;
    QTest::newRow("English") << QStringList{"list"} << QStringList{"LANG=en_GB.UTF-8"} << true;
    QTest::newRow("German") << QStringList{"list"} << QStringList{"LANG=de_DE.UTF-8"} << true;
    QTest::newRow("Japanese LANG")
        << QStringList{"list"} << QStringList{"LANG=ja_JP.UTF-8"} << false;
    QTest::newRow("Japanese LC_MESSAGES")
        << QStringList{"list"} << QStringList{"LC_MESSAGES=ja_JP.UTF-8", "LANG=en_US.UTF-8"}
        << false;
    QTest::newRow("LC_ALL over LANG")
        << QStringList{"list"} << QStringList{"LC_ALL=C", "LANG=ja_JP.UTF-8"} << true;
    QTest::newRow("LANGUAGE first")
        << QStringList{"list"} << QStringList{"LANGUAGE=ja:en", "LANG=en_US.UTF-8"} << false;
}

void TestCatalogueCommands::listPrintsTheNamesOfTheLanguage() {
    QFETCH(QStringList, args);
    QFETCH(QStringList, locale);
    QFETCH(bool, english);
    const Outcome result = runStrip(args, locale);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    QByteArray expected;
    for (int i = 0; i < catalogue::entryCount; ++i) {
        expected += QByteArray::number(i) + '\t' +
                    bytes(english ? catalogue::englishNames[i] : catalogue::rhythmNames[i]) + '\n';
    }
    QCOMPARE(result.out, expected);
}

void TestCatalogueCommands::explainPrintsTheTextOfTheLanguage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("locale");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("english");
    const QStringList none;
    QTest::newRow("index, --lang en")
        << QStringList{"explain", "5", "--lang", "en"} << none << 5 << true;
    QTest::newRow("--lang before the rhythm")
        << QStringList{"explain", "--lang", "en", "17"} << none << 17 << true;
    QTest::newRow("English name, --lang en")
        << QStringList{"explain", "Atrial flutter (AFL)", "--lang", "en"} << none << 5 << true;
    QTest::newRow("English name, --lang ja")
        << QStringList{"explain", "Second-degree AV block, Mobitz type II", "--lang", "ja"} << none
        << 15 << false;
    QTest::newRow("Japanese name, --lang en")
        << QStringList{"explain", QString::fromUtf8("心房細動(Ａｆ)"), "--lang", "en"} << none << 4
        << true;
    QTest::newRow("English name in a Japanese session")
        << QStringList{"explain", "Sinus rhythm"} << QStringList{"LANG=ja_JP.UTF-8"} << 0 << false;
    QTest::newRow("index in an English session")
        << QStringList{"explain", "5"} << QStringList{"LANG=en_US.UTF-8"} << 5 << true;
    QTest::newRow("English library name, --lang ja")
        << QStringList{"explain", "Torsades de pointes", "--lang", "ja"} << none
        << indexOf(rhythmOf(LibraryRhythm::torsades)) << false;
}

void TestCatalogueCommands::explainPrintsTheTextOfTheLanguage() {
    QFETCH(QStringList, args);
    QFETCH(QStringList, locale);
    QFETCH(int, index);
    QFETCH(bool, english);
    const Outcome result = runStrip(args, locale);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    const auto language = english ? catalogue::Language::english : catalogue::Language::japanese;
    QCOMPARE(result.out, bytes(catalogue::textOf(static_cast<Rhythm>(index), language)) + '\n');
    QVERIFY(result.out.contains("\r\n"));
    QCOMPARE(result.out.count('\n'), result.out.count("\r\n") + 1);
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
