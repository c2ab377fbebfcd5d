#include "NativePath.h"
#include "PulsavoVersion.h"
#include "TrainerApp.h"

#include <QApplication>
#include <QList>

#include <cstdio>
#include <cstdlib>

namespace {

bool starting = true;
QtMessageHandler qtHandler = nullptr;
struct HeldMessage {
    QtMsgType type;
    QString category;
    QString text;
};
QList<HeldMessage> held;

// Qt ends the process with several lines of advice when no display can be opened; the
// trainer says it in one line, with Qt's own reason, and points to the tool that needs none.
void startupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (starting && type == QtFatalMsg) {
        QStringList platformMessages;
        for (const HeldMessage& earlier : std::as_const(held)) {
            if (earlier.category.startsWith(QLatin1String("qt.qpa"))) {
                platformMessages << earlier.text;
            }
        }
        std::fputs(qPrintable(pulsavo::noDisplayLine(platformMessages, message)), stderr);
        std::_Exit(1);
    }
    if (starting) {
        held.append({type, QString::fromUtf8(context.category), message});
        return;
    }
    qtHandler(type, context, message);
}

// Warnings from a start-up that went well are still worth seeing.
void releaseHeldMessages() {
    starting = false;
    for (const HeldMessage& message : std::as_const(held)) {
        const QByteArray category = message.category.toUtf8();
        const QMessageLogContext context(nullptr, 0, nullptr, category.constData());
        qtHandler(message.type, context, message.text);
    }
    held.clear();
}

bool writeAll(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream) ==
               static_cast<std::size_t>(bytes.size()) &&
           std::fflush(stream) == 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    // Bytes that are not UTF-8 are carried along, so that a --db name reaches the file as given.
    for (int i = 0; i < argc; ++i) {
        arguments << pulsavo::pathFromNative(QByteArray(argv[i]));
    }
    QCoreApplication::setApplicationName(QStringLiteral("Pulsavo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PULSAVO_VERSION));
    const pulsavo::StartOptions options = pulsavo::parseStartOptions(arguments);
    switch (options.action) {
    case pulsavo::StartOptions::Action::help:
    case pulsavo::StartOptions::Action::version:
        if (!writeAll(stdout, options.message)) {
            std::perror("pulsavo: standard output");
            return 1;
        }
        return 0;
    case pulsavo::StartOptions::Action::error:
        std::fprintf(stderr, "pulsavo: %s; try 'pulsavo --help'\n", qPrintable(options.message));
        return 2;
    case pulsavo::StartOptions::Action::run:
        break;
    }

    // Qt sees no arguments of the user's: the options above are all the program takes.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    qtHandler = qInstallMessageHandler(startupMessages);
    pulsavo::prepareWindowSystem();
    QApplication application(qtArgc, qtArgv);
    releaseHeldMessages();
    QApplication::setDesktopFileName(QStringLiteral("io.github.pulsavo.Pulsavo"));
    pulsavo::TrainerApp trainer;
    if (!trainer.initApplication(options)) {
        return 1;
    }
    return QApplication::exec();
}
