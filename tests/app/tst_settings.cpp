#include "PracticeWindow.h"
#include "Settings.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using pulsavo::Settings;

namespace {
struct QuietTone : pulsavo::ToneSink {
    void sound() override {}
};
} // namespace

// Every key under the name and in the format earlier releases stored, so that an update keeps a
// learner's choices; and opening the practice window writes nothing back.
class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void storedAsBefore_data();
    void storedAsBefore();
    void readsWhatEarlierReleasesWrote();
    void openingPracticeWritesNothing();

private:
    static QSettings raw() {
        return QSettings(QStringLiteral("Pulsavo"), QStringLiteral("Pulsavo"));
    }
    QTemporaryDir home;
};

void TestSettings::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(home.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
}

void TestSettings::init() {
    raw().clear();
}

void TestSettings::storedAsBefore_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("language") << "language" << QVariant(QStringLiteral("en"));
    QTest::newRow("highlight") << "highlight" << QVariant(QStringLiteral("colourBlindSafe"));
    QTest::newRow("grid") << "monitor/grid" << QVariant(true);
    QTest::newRow("tone") << "monitor/tone" << QVariant(QStringLiteral("qrs"));
    QTest::newRow("classic ladder") << "monitor/ladder" << QVariant(true);
    QTest::newRow("library") << "list/library" << QVariant(true);
    QTest::newRow("progress geometry") << "progressWindow/geometry" << QVariant(QByteArray("g1"));
    QTest::newRow("practice geometry") << "practice/geometry" << QVariant(QByteArray("g2"));
    QTest::newRow("practice ladder") << "practice/ladder" << QVariant(true);
    QTest::newRow("length") << "practice/length" << QVariant(36);
    QTest::newRow("rhythm list") << "practice/rhythmList" << QVariant(QStringLiteral("0,4"));
    QTest::newRow("rhythm mask") << "practice/rhythms" << QVariant(17u);
    QTest::newRow("adaptive") << "practice/adaptive" << QVariant(false);
    QTest::newRow("beat tone") << "practice/beatTone" << QVariant(false);
    QTest::newRow("measure") << "practice/measure" << QVariant(true);
}

// Written through the accessors, read back under the old key; written under the old key, read
// back through the accessors.
void TestSettings::storedAsBefore() {
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    {
        Settings settings;
        const QByteArray name = key.toLatin1();
        const auto is = [&](const char* each) { return name == each; };
        if (is(Settings::languageKey)) {
            settings.setLanguage(value.toString());
        } else if (is(Settings::highlightKey)) {
            settings.setHighlight(value.toString());
        } else if (is(Settings::gridKey)) {
            settings.setGrid(value.toBool());
        } else if (is(Settings::toneKey)) {
            settings.setToneMode(value.toString());
        } else if (is(Settings::ladderKey)) {
            settings.setClassicLadder(value.toBool());
        } else if (is(Settings::libraryKey)) {
            settings.setLibraryListed(value.toBool());
        } else if (is(Settings::progressGeometryKey)) {
            settings.setProgressGeometry(value.toByteArray());
        } else if (is(Settings::practiceGeometryKey)) {
            settings.setPracticeGeometry(value.toByteArray());
        } else if (is(Settings::practiceLadderKey)) {
            settings.setPracticeLadder(value.toBool());
        } else if (is(Settings::practiceLengthKey)) {
            settings.setPracticeLength(value.toInt());
        } else if (is(Settings::practiceRhythmListKey)) {
            settings.setPracticeRhythms(value.toString(), 0);
        } else if (is(Settings::practiceRhythmMaskKey)) {
            settings.setPracticeRhythms({}, value.toUInt());
        } else if (is(Settings::practiceAdaptiveKey)) {
            settings.setPracticeAdaptive(value.toBool());
        } else if (is(Settings::practiceBeatToneKey)) {
            settings.setPracticeBeatTone(value.toBool());
        } else if (is(Settings::practiceMeasureKey)) {
            settings.setPracticeMeasure(value.toBool());
        } else {
            QFAIL("a key the Settings class does not name");
        }
    }
    QCOMPARE(raw().value(key).toString(), value.toString());
}

void TestSettings::readsWhatEarlierReleasesWrote() {
    {
        QSettings old = raw();
        old.setValue(QStringLiteral("language"), QStringLiteral("ja"));
        old.setValue(QStringLiteral("monitor/tone"), QStringLiteral("qrs"));
        old.setValue(QStringLiteral("monitor/grid"), QStringLiteral("true"));
        old.setValue(QStringLiteral("practice/length"), QStringLiteral("20"));
        old.setValue(QStringLiteral("practice/rhythms"), QStringLiteral("17"));
        old.setValue(QStringLiteral("practice/beatTone"), QStringLiteral("false"));
    }
    const Settings settings;
    QCOMPARE(settings.language(), QStringLiteral("ja"));
    QCOMPARE(settings.toneMode(), QStringLiteral("qrs"));
    QVERIFY(settings.grid());
    QVERIFY(!settings.libraryListed());
    QCOMPARE(settings.practiceLength(10), 20);
    QCOMPARE(settings.practiceRhythmMask(), std::optional<std::uint32_t>(17));
    QVERIFY(!settings.practiceRhythmList().has_value());
    QVERIFY(!settings.practiceBeatTone(true));
    QVERIFY(settings.practiceAdaptive(true));
    QVERIFY(!settings.practiceMeasure(false));
}

// A release before the library saved only the classic mask; opening the window shows that
// choice and leaves the file as it was until the learner changes something.
void TestSettings::openingPracticeWritesNothing() {
    raw().setValue(QStringLiteral("practice/rhythms"), 17u);
    {
        pulsavo::PracticeWindow window(QStringLiteral(":memory:"), std::make_unique<QuietTone>());
        QVERIFY(window.options().rhythms ==
                pulsavo::RhythmSet::of(
                    {pulsavo::Rhythm::sinusRhythm, pulsavo::Rhythm::atrialFibrillation}));
        QVERIFY(!raw().contains(QStringLiteral("practice/rhythmList")));
        QVERIFY(!raw().contains(QStringLiteral("practice/length")));
    }
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
