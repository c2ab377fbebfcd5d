#include "TrainerApp.h"

#include "PulsavoVersion.h"
#include "TrainerDialog.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace pulsavo {

void prepareWindowSystem() {
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
}

StartOptions parseStartOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Pulsavo, a trainer for reading electrocardiograms."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QCoreApplication::translate("main", "Show this help and exit."));
    const QCommandLineOption version(
        QStringLiteral("version"),
        QCoreApplication::translate("main", "Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);

    StartOptions options;
    if (!parser.parse(arguments)) {
        options.action = StartOptions::Action::error;
        options.message = parser.errorText();
        if (options.message.endsWith(QLatin1Char('.'))) {
            options.message.chop(1);
        }
    } else if (!parser.positionalArguments().isEmpty()) {
        options.action = StartOptions::Action::error;
        options.message = QCoreApplication::translate("main", "unexpected argument '%1'")
                              .arg(parser.positionalArguments().constFirst());
    } else if (parser.isSet(help)) {
        options.action = StartOptions::Action::help;
        options.message = parser.helpText();
        // Without an application object yet, Qt cannot know the program's name.
        options.message.replace(QStringLiteral("<executable_name>"), QStringLiteral("pulsavo"));
    } else if (parser.isSet(version)) {
        options.action = StartOptions::Action::version;
        options.message = QStringLiteral("pulsavo " PULSAVO_VERSION "\n");
    }
    return options;
}

TrainerApp::TrainerApp() = default;
TrainerApp::~TrainerApp() = default;

bool TrainerApp::initApplication(const StartOptions& /*options*/) {
    dialog = std::make_unique<TrainerDialog>();
    // Closing the classic window ends the program, whatever else is open.
    QObject::connect(dialog.get(), &QDialog::finished, QCoreApplication::instance(),
                     &QCoreApplication::quit);
    dialog->show();
    return true;
}

} // namespace pulsavo
