#include "TranslationSetup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

struct Message {
    QString context;
    QString source;
    QString translation;
    QString type; // empty when finished
};

QList<Message> readMessages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QList<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            continue;
        }
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            message = Message{context, {}, {}, {}};
        } else if (xml.name() == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText();
            messages.append(message);
        }
    }
    return xml.hasError() ? QList<Message>() : messages;
}

// The placeholders (%1, %2 ...) a text uses, sorted.
QStringList placeholders(const QString& text) {
    static const QRegularExpression marker(QStringLiteral("%\\d+"));
    QStringList found;
    for (const QRegularExpressionMatch& match : marker.globalMatch(text)) {
        found << match.captured();
    }
    found.sort();
    return found;
}

// A menu text's accelerator: "&&" is a literal ampersand.
bool hasAccelerator(QString text) {
    return text.remove(QLatin1String("&&")).contains(QLatin1Char('&'));
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void everyStringIsTranslated_data();
    void everyStringIsTranslated();
};

void TestTranslations::everyStringIsTranslated_data() {
    QTest::addColumn<QString>("tsFile");
    for (const char* path : PULSAVO_TS_FILES) {
        QTest::newRow(qPrintable(QFileInfo(QString::fromUtf8(path)).fileName()))
            << QString::fromUtf8(path);
    }
}

// The checked-in file brought up to date with today's sources, as `make translations` does:
// a string added without its translation shows as unfinished, a translation that lost a
// placeholder or an accelerator is wrong.
void TestTranslations::everyStringIsTranslated() {
    QFETCH(QString, tsFile);
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString copy = work.filePath(QFileInfo(tsFile).fileName());
    QVERIFY(QFile::copy(tsFile, copy));

    QStringList arguments;
    for (const char* option : PULSAVO_LUPDATE_OPTIONS) {
        arguments << QString::fromUtf8(option);
    }
    for (const char* dir : PULSAVO_TRANSLATED_DIRS) {
        arguments << QString::fromUtf8(dir);
    }
    arguments << QStringLiteral("-ts") << copy;
    QProcess lupdate;
    lupdate.setWorkingDirectory(qEnvironmentVariable("PULSAVO_SOURCE_DIR"));
    lupdate.start(QStringLiteral(PULSAVO_LUPDATE), arguments);
    QVERIFY(lupdate.waitForFinished(120000));
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
             lupdate.readAllStandardError().constData());

    const QList<Message> messages = readMessages(copy);
    QVERIFY2(messages.size() > 20, "the translation file could not be read");
    QStringList faults;
    for (const Message& message : messages) {
        const QString where =
            message.context + QLatin1String(": \"") + message.source + QLatin1Char('"');
        if (!message.type.isEmpty() || message.translation.isEmpty()) {
            faults << QLatin1String("no finished translation for ") + where;
        } else if (placeholders(message.source) != placeholders(message.translation)) {
            faults << QLatin1String("placeholders differ in ") + where;
        } else if (hasAccelerator(message.source) != hasAccelerator(message.translation)) {
            faults << QLatin1String("accelerator lost or added in ") + where;
        }
    }
    QVERIFY2(faults.isEmpty(),
             qPrintable(QLatin1String("run `make translations`, then translate in ") + tsFile +
                        QLatin1String(":\n  ") + faults.join(QLatin1String("\n  "))));
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
