#include "DialogUnits.h"
#include "ScopePanel.h"
#include "TrainerDialog.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>

#include <algorithm>

using pulsavo::DialogUnits;
using pulsavo::TrainerDialog;

class TestDialogUnits : public QObject {
    Q_OBJECT
private slots:
    void conversion_data();
    void conversion();
    void baseXRounding_data();
    void baseXRounding();
    void layoutKeepsTemplateWhenPanelIsHighEnough();
    void layoutGrowsPanelAndPushesLowerControlsDown_data();
    void layoutGrowsPanelAndPushesLowerControlsDown();
    void dialogFontIsJapaneseGothic();
};

void TestDialogUnits::conversion_data() {
    QTest::addColumn<int>("baseX");
    QTest::addColumn<int>("baseY");
    QTest::addColumn<int>("units");
    QTest::addColumn<int>("pixelsX");
    QTest::addColumn<int>("pixelsY");
    QTest::newRow("panel width and height, 7 x 15") << 7 << 15 << 342 << 599 << 641;
    QTest::newRow("half a pixel rounds up") << 7 << 15 << 2 << 4 << 4;
    QTest::newRow("below half rounds down") << 7 << 13 << 1 << 2 << 2;
    QTest::newRow("panel height, 7 x 15") << 7 << 15 << 78 << 137 << 146;
    QTest::newRow("dialog, 9 x 16") << 9 << 16 << 354 << 797 << 708;
    QTest::newRow("zero") << 9 << 16 << 0 << 0 << 0;
    QTest::newRow("negative rounds away from zero") << 7 << 15 << -2 << -4 << -4;
}

void TestDialogUnits::conversion() {
    QFETCH(int, baseX);
    QFETCH(int, baseY);
    QFETCH(int, units);
    QFETCH(int, pixelsX);
    QFETCH(int, pixelsY);
    const DialogUnits dialogUnits{baseX, baseY};
    QCOMPARE(dialogUnits.x(units), pixelsX);
    QCOMPARE(dialogUnits.y(units), pixelsY);
}

void TestDialogUnits::baseXRounding_data() {
    QTest::addColumn<int>("textWidth");
    QTest::addColumn<int>("baseX");
    QTest::newRow("exactly 6.5 per letter rounds up") << 338 << 7;
    QTest::newRow("7 per letter") << 364 << 7;
    QTest::newRow("just under 7.5 per letter") << 389 << 7;
    QTest::newRow("7.5 per letter rounds up") << 390 << 8;
    QTest::newRow("IPAPGothic 11 pt") << 461 << 9;
}

void TestDialogUnits::baseXRounding() {
    QFETCH(int, textWidth);
    QFETCH(int, baseX);
    QCOMPARE(DialogUnits::baseXForTextWidth(textWidth), baseX);
}

void TestDialogUnits::layoutKeepsTemplateWhenPanelIsHighEnough() {
    const DialogUnits units{7, 15};
    const TrainerDialog::Layout layout = TrainerDialog::layoutFor(units);
    QCOMPARE(layout.dialog, QSize(620, 491));
    QCOMPARE(layout.scopePanel, QRect(11, 45, 599, 146));
    QCOMPARE(layout.closeButton, QRect(177, 444, 53, 34));
    QCOMPARE(layout.rhythmList, QRect(11, 225, 221, 206));
    QCOMPARE(layout.nameEdit, QRect(200, 11, 231, 23));
}

void TestDialogUnits::layoutGrowsPanelAndPushesLowerControlsDown_data() {
    QTest::addColumn<int>("baseY");
    QTest::addColumn<int>("shortfall");
    QTest::newRow("a little short") << 13 << 9;
    QTest::newRow("small font") << 8 << 58;
}

void TestDialogUnits::layoutGrowsPanelAndPushesLowerControlsDown() {
    QFETCH(int, baseY);
    QFETCH(int, shortfall);
    const DialogUnits units{7, baseY};
    const TrainerDialog::Layout layout = TrainerDialog::layoutFor(units);
    QCOMPARE(layout.scopePanel.height(), TrainerDialog::minimumScopeHeight);
    QCOMPARE(layout.scopePanel.top(), units.y(24));
    QCOMPARE(layout.dialog.height(), units.y(262) + shortfall);
    QCOMPARE(layout.nameEdit, units.rect(114, 6, 132, 12));
    QCOMPARE(layout.closeButton, units.rect(101, 237, 30, 18).translated(0, shortfall));
    QCOMPARE(layout.decideButton, units.rect(7, 237, 90, 18).translated(0, shortfall));
    QCOMPARE(layout.rhythmList, units.rect(6, 120, 126, 110).translated(0, shortfall));
    QCOMPARE(layout.explanationEdit, units.rect(138, 120, 210, 110).translated(0, shortfall));
    QCOMPARE(layout.selectionLabel, units.rect(48, 108, 31, 8).translated(0, shortfall));
    QCOMPARE(layout.explanationLabel, units.rect(228, 108, 16, 8).translated(0, shortfall));
}

void TestDialogUnits::dialogFontIsJapaneseGothic() {
    const QStringList gothics{QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic"),
                              QStringLiteral("Noto Sans CJK JP")};
    const QStringList installed = QFontDatabase::families();
    if (std::none_of(gothics.begin(), gothics.end(),
                     [&](const QString& family) { return installed.contains(family); })) {
        QSKIP("no Japanese gothic font installed");
    }
    const QFontInfo info(pulsavo::dialogFont(11));
    QVERIFY2(gothics.contains(info.family()), qPrintable(info.family()));
    QCOMPARE(info.pointSize(), 11);
}

QTEST_MAIN(TestDialogUnits)
#include "tst_dialogunits.moc"
