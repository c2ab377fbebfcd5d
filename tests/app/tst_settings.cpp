#include "PracticeWindow.h"
#include "Settings.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace pulsavo;

// Keys under the names and in the text earlier releases stored: an update keeps every choice.
class TestSettings : public QObject {
    Q_OBJECT
    QTemporaryDir home;
    static QStringList pair(const char* row) { return QString::fromLatin1(row).split(u'='); }
    static QSettings raw() {
        return QSettings(QStringLiteral("Pulsavo"), QStringLiteral("Pulsavo"));
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(home.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    }
    void init() { raw().clear(); }

    // Written through the accessors into an empty file, read under the old key as text.
    void storedAsBefore() {
        {
            Settings s;
            s.setLanguage(QStringLiteral("en"));
            s.setHighlight(QStringLiteral("colourBlindSafe"));
            s.setGrid(true);
            s.setToneMode(QStringLiteral("qrs"));
            s.setClassicLadder(true);
            s.setLibraryListed(true);
            s.setProgressGeometry("g1");
            s.setPracticeGeometry("g2");
            s.setPracticeLadder(true);
            s.setPracticeLength(36);
            s.setPracticeRhythms(QStringLiteral("0,4"), 17);
            s.setPracticeAdaptive(false);
            s.setPracticeBeatTone(false);
            s.setPracticeMeasure(true);
        }
        for (const char* row :
             {"language=en", "highlight=colourBlindSafe", "monitor/grid=true", "monitor/tone=qrs",
              "monitor/ladder=true", "list/library=true", "progressWindow/geometry=g1",
              "practice/geometry=g2", "practice/ladder=true", "practice/length=36",
              "practice/rhythmList=0,4", "practice/rhythms=17", "practice/adaptive=false",
              "practice/beatTone=false", "practice/measure=true"}) {
            QVERIFY2(raw().value(pair(row)[0]).toString() == pair(row)[1], row);
        }
    }

    // An earlier release's text with the classic mask only: read through the accessors, absent
    // keys as defaults; opening the practice window shows the mask and writes nothing back.
    void earlierFileReadAndKept() {
        for (const char* row :
             {"language=ja", "monitor/tone=qrs", "monitor/grid=true", "practice/length=20",
              "practice/rhythms=17", "practice/beatTone=false"}) {
            raw().setValue(pair(row)[0], pair(row)[1]);
        }
        const Settings s;
        QCOMPARE(s.language() + u' ' + s.toneMode(), QStringLiteral("ja qrs"));
        QVERIFY(s.practiceLength(10) == 20 && s.practiceRhythmMask() == 17u);
        QVERIFY(s.grid() && !s.libraryListed() && !s.practiceRhythmList());
        QVERIFY(!s.practiceBeatTone(true) && s.practiceAdaptive(true) && !s.practiceMeasure(false));
        raw().remove(QStringLiteral("practice/length"));
        const QStringList keys = raw().allKeys();
        const PracticeWindow window(QStringLiteral(":memory:"));
        QVERIFY(window.options().rhythms ==
                RhythmSet::of({Rhythm::sinusRhythm, Rhythm::atrialFibrillation}));
        QCOMPARE(raw().allKeys(), keys);
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
