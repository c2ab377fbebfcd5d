#include "Resources.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>

#include <set>

namespace {

const QRgb black = qRgb(0, 0, 0);
const QRgb green = qRgb(0, 255, 0);
const QRgb red = qRgb(255, 0, 0);

// The icon stands for a classic 4-bit one: every opaque pixel must be a colour of the
// standard 16-colour palette, or it would look washed out next to the dialog.
bool inStandardPalette(QRgb c) {
    static const std::set<QRgb> palette = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    return palette.count(c | 0xff000000u) == 1;
}

QImage loadIcon(const QString& path) {
    QImage image(path);
    return image.convertToFormat(QImage::Format_ARGB32);
}

int countPixels(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

} // namespace

class TestResources : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { pulsavo::initResources(); }
    void iconsUseTheStandardPalette_data();
    void iconsUseTheStandardPalette();
    void monitorIconIsOpaqueWithGreenTraceAndRedMark();
    void sheetIconHasTransparentMargins();
    void scalableIconRendersTheMonitor();
    void desktopFilesCarryBothLanguages_data();
    void desktopFilesCarryBothLanguages();
};

void TestResources::iconsUseTheStandardPalette_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("size");
    QTest::newRow("16") << QStringLiteral(":/icons/pulsavo-16.png") << 16;
    QTest::newRow("32") << QStringLiteral(":/icons/pulsavo-32.png") << 32;
}

void TestResources::iconsUseTheStandardPalette() {
    QFETCH(QString, path);
    QFETCH(int, size);
    const QImage image = loadIcon(path);
    QCOMPARE(image.size(), QSize(size, size));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb c = image.pixel(x, y);
            QVERIFY2(qAlpha(c) == 0 || qAlpha(c) == 255,
                     qPrintable(QStringLiteral("partial alpha at %1,%2").arg(x).arg(y)));
            if (qAlpha(c) == 255)
                QVERIFY2(
                    inStandardPalette(c),
                    qPrintable(QStringLiteral("colour %1 at %2,%3").arg(c, 8, 16).arg(x).arg(y)));
        }
    }
}

void TestResources::monitorIconIsOpaqueWithGreenTraceAndRedMark() {
    const QImage image = loadIcon(QStringLiteral(":/icons/pulsavo-32.png"));
    QCOMPARE(countPixels(image, black) + countPixels(image, green) + countPixels(image, red),
             32 * 32);
    QVERIFY(countPixels(image, green) >= 32);
    QVERIFY(countPixels(image, red) > 0);

    // The trace runs edge to edge on its baseline, and the mark's dot rests on it: right
    // below the lowest red pixel the trace is green.
    int baseline = -1;
    for (int y = 0; y < 32; ++y)
        if (image.pixel(0, y) == green && image.pixel(31, y) == green)
            baseline = y;
    QVERIFY(baseline > 0);
    int dotBottom = -1;
    int dotX = -1;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (image.pixel(x, y) == red) {
                dotBottom = y;
                dotX = x;
            }
    QCOMPARE(dotBottom, baseline - 1);
    QCOMPARE(image.pixel(dotX, baseline), green);
}

void TestResources::sheetIconHasTransparentMargins() {
    const QImage image = loadIcon(QStringLiteral(":/icons/pulsavo-16.png"));
    QVERIFY(image.hasAlphaChannel());
    for (int i = 0; i < 16; ++i) {
        for (int edge : {0, 15}) {
            QCOMPARE(qAlpha(image.pixel(i, edge)), 0);
            QCOMPARE(qAlpha(image.pixel(edge, i)), 0);
        }
    }
    QCOMPARE(image.pixel(7, 7), qRgb(255, 255, 255));
    QVERIFY(countPixels(image, black) > 0);
    QVERIFY(countPixels(image, qRgb(128, 128, 128)) > 0);
}

void TestResources::scalableIconRendersTheMonitor() {
    QSvgRenderer renderer(QStringLiteral(":/icons/pulsavo.svg"));
    QVERIFY(renderer.isValid());
    QCOMPARE(renderer.defaultSize(), QSize(32, 32));

    QImage image(128, 128, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();

    for (QPoint corner : {QPoint(0, 0), QPoint(127, 0), QPoint(0, 127), QPoint(127, 127)})
        QCOMPARE(image.pixel(corner), black);
    QVERIFY(countPixels(image, green) > 128);
    QVERIFY(countPixels(image, red) > 0);
}

void TestResources::desktopFilesCarryBothLanguages_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("english");
    QTest::addColumn<QByteArray>("japanese");
    const QString desktop = QStringLiteral("io.github.pulsavo.Pulsavo.desktop");
    const QString metainfo = QStringLiteral("io.github.pulsavo.Pulsavo.metainfo.xml.in");
    for (const char* key : {"Name", "GenericName", "Comment", "Keywords"}) {
        QTest::addRow("desktop %s", key)
            << desktop << QByteArray("\n") + key + '=' << QByteArray("\n") + key + "[ja]=";
    }
    QTest::newRow("metainfo summary")
        << metainfo << QByteArray("<summary>") << QByteArray("<summary xml:lang=\"ja\">");
    QTest::newRow("metainfo description")
        << metainfo << QByteArray("<p>") << QByteArray("<p xml:lang=\"ja\">");
    QTest::newRow("metainfo keywords")
        << metainfo << QByteArray("<keyword>") << QByteArray("<keyword xml:lang=\"ja\">");
}

// English is the untranslated default; Japanese is the one translation.
void TestResources::desktopFilesCarryBothLanguages() {
    QFETCH(QString, file);
    QFETCH(QByteArray, english);
    QFETCH(QByteArray, japanese);
    QFile source(qEnvironmentVariable("PULSAVO_SOURCE_DIR") + QStringLiteral("/resources/") + file);
    QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(source.fileName()));
    const QByteArray text = source.readAll();
    QVERIFY(text.contains(english));
    QVERIFY(text.contains(japanese));
    QVERIFY(!text.contains("xml:lang=\"en"));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
