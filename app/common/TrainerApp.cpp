#include "TrainerApp.h"

#include "ExamCode.h"
#include "GradebookWindow.h"
#include "InstructorConsole.h"
#include "LanguageManager.h"
#include "LearnerWindow.h"
#include "PracticeWindow.h"
#include "Protocol.h"
#include "PulsavoVersion.h"
#include "SessionCode.h"
#include "TrainerDialog.h"
#include "WardWindow.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace pulsavo {

namespace {

QString withoutControls(const QString& text) {
    QString escaped;
    for (const QChar c : text) {
        escaped += c.category() == QChar::Other_Control
                       ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                       : QString(c);
    }
    return escaped;
}

} // namespace

QString noDisplayLine(const QStringList& platformMessages, const QString& fatal) {
    QString reason;
    for (const QString& message : platformMessages) {
        reason = message.trimmed();
        if (!reason.isEmpty()) {
            break;
        }
    }
    if (reason.isEmpty()) {
        reason = fatal.trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
    }
    return QCoreApplication::translate("main",
                                       "pulsavo: cannot open a window: %1; pulsavo-strip works "
                                       "without a display\n")
        .arg(withoutControls(reason));
}

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
    const QCommandLineOption practice(
        QStringLiteral("practice"),
        QCoreApplication::translate("main", "Open the practice window instead of the trainer."));
    const QCommandLineOption database(
        QStringLiteral("db"),
        QCoreApplication::translate("main", "Keep practice answers in the database at PATH."),
        QCoreApplication::translate("main", "PATH"));
    const QCommandLineOption lang(
        QStringLiteral("lang"),
        QCoreApplication::translate(
            "main", "Language of the windows: ja or en (default: the last chosen, else the "
                    "system's)."),
        QStringLiteral("ja|en"));
    const QCommandLineOption exam(
        QStringLiteral("exam"),
        QCoreApplication::translate("main", "Play the exam with this code in the practice window."),
        QCoreApplication::translate("main", "CODE"));
    const QCommandLineOption gradebook(
        QStringLiteral("gradebook"),
        QCoreApplication::translate("main", "Open the gradebook window on the answers databases "
                                            "and hand-in files given (with --exam, of that "
                                            "exam)."));
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QCoreApplication::translate("main", "With --gradebook: a file to grade."),
        QStringLiteral("[FILE...]"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(practice);
    parser.addOption(database);
    parser.addOption(lang);
    const QCommandLineOption wardOption(
        QStringLiteral("ward"),
        QCoreApplication::translate("main", "Open the ward monitor instead of the trainer."));
    parser.addOption(exam);
    parser.addOption(gradebook);
    parser.addOption(wardOption);
    const QCommandLineOption instructorOption(
        QStringLiteral("instructor"),
        QCoreApplication::translate("main",
                                    "Open the instructor's console instead of the trainer."));
    parser.addOption(instructorOption);
    const QCommandLineOption joinOption(
        QStringLiteral("join"),
        QCoreApplication::translate("main", "Join the class with this code as a learner."),
        QStringLiteral("CODE"));
    const QCommandLineOption hostOption(
        QStringLiteral("host"),
        QCoreApplication::translate(
            "main", "With --join: the class's address (found on the room's network if left out)."),
        QStringLiteral("ADDR:PORT"));
    const QCommandLineOption nameOption(
        QStringLiteral("name"),
        QCoreApplication::translate("main", "With --join: the name the instructor sees."),
        QStringLiteral("NAME"));
    parser.addOption(joinOption);
    parser.addOption(hostOption);
    parser.addOption(nameOption);

    StartOptions options;
    const auto givenTwice = [&parser](const QCommandLineOption& option) {
        return parser.values(option).size() > 1;
    };
    if (!parser.parse(arguments)) {
        options.action = StartOptions::Action::error;
        options.message = parser.errorText();
        if (options.message.endsWith(QLatin1Char('.'))) {
            options.message.chop(1);
        }
    } else if (!parser.positionalArguments().isEmpty() && !parser.isSet(gradebook)) {
        options.action = StartOptions::Action::error;
        options.message = QCoreApplication::translate("main", "unexpected argument '%1'")
                              .arg(parser.positionalArguments().constFirst());
    } else if (givenTwice(database) || givenTwice(lang) || givenTwice(exam)) {
        // The last would win without a word, and answers go where no one looks.
        options.action = StartOptions::Action::error;
        options.message = QCoreApplication::translate("main", "%1 is given twice; give it once")
                              .arg(givenTwice(database) ? QStringLiteral("--db")
                                   : givenTwice(lang)   ? QStringLiteral("--lang")
                                                        : QStringLiteral("--exam"));
    } else if (parser.isSet(database) && parser.value(database).startsWith(QLatin1Char('-'))) {
        options.action = StartOptions::Action::error;
        options.message = QCoreApplication::translate(
                              "main", "--db takes a file name, not the option-like '%1' (write "
                                      "./%1 for a file named so)")
                              .arg(parser.value(database));
    } else if (parser.isSet(lang) &&
               !catalogue::parseLanguageCode(parser.value(lang).toStdString())) {
        options.action = StartOptions::Action::error;
        options.message =
            QCoreApplication::translate("main", "unknown language '%1' for --lang (ja or en)")
                .arg(parser.value(lang));
    } else if (parser.isSet(wardOption) &&
               (parser.isSet(practice) || parser.isSet(exam) || parser.isSet(gradebook))) {
        // Either window may be the main one, not both.
        options.action = StartOptions::Action::error;
        options.message = QCoreApplication::translate(
            "main", "--ward cannot be combined with --practice, --exam or --gradebook");
    } else if (parser.isSet(instructorOption) &&
               (parser.isSet(practice) || parser.isSet(exam) || parser.isSet(gradebook) ||
                parser.isSet(wardOption))) {
        options.action = StartOptions::Action::error;
        options.message = QCoreApplication::translate(
            "main",
            "--instructor cannot be combined with --practice, --exam, --gradebook or --ward");
    } else if (parser.isSet(joinOption) &&
               (parser.isSet(practice) || parser.isSet(exam) || parser.isSet(gradebook) ||
                parser.isSet(wardOption) || parser.isSet(instructorOption))) {
        options.action = StartOptions::Action::error;
        options.message = QCoreApplication::translate(
            "main", "--join cannot be combined with --practice, --exam, --gradebook, --ward or "
                    "--instructor");
    } else if (!parser.isSet(joinOption) &&
               (parser.isSet(hostOption) || parser.isSet(nameOption))) {
        options.action = StartOptions::Action::error;
        options.message = QCoreApplication::translate("main", "--host and --name go with --join");
    } else if (parser.isSet(joinOption) &&
               !classroom::SessionCode::normalise(parser.value(joinOption))) {
        options.action = StartOptions::Action::error;
        options.message =
            QCoreApplication::translate("main", "'%1' is not a class code (6 letters and digits)")
                .arg(parser.value(joinOption).left(40));
    } else if (parser.isSet(nameOption) &&
               !classroom::protocol::validName(parser.value(nameOption))) {
        options.action = StartOptions::Action::error;
        options.message = QCoreApplication::translate(
            "main", "--name takes 1 to 40 characters without control characters");
    } else if (parser.isSet(help)) {
        options.action = StartOptions::Action::help;
        options.message = parser.helpText();
        // Without an application object yet, Qt cannot know the program's name.
        options.message.replace(QStringLiteral("<executable_name>"), QStringLiteral("pulsavo"));
    } else if (parser.isSet(version)) {
        options.action = StartOptions::Action::version;
        options.message = QStringLiteral("pulsavo " PULSAVO_VERSION "\n");
    } else if (parser.isSet(database) && parser.value(database).trimmed().isEmpty()) {
        options.action = StartOptions::Action::error;
        options.message = QCoreApplication::translate("main", "--db needs a file name");
    } else if (const ExamResult parsed = parser.isSet(exam)
                                             ? parseExamCode(parser.value(exam).toStdString())
                                             : ExamResult{};
               !parsed.ok()) {
        options.action = StartOptions::Action::error;
        options.message = QString::fromStdString(parsed.message);
    } else {
        options.gradebook = parser.isSet(gradebook);
        options.files = parser.positionalArguments();
        options.practice = !options.gradebook && (parser.isSet(practice) || parser.isSet(exam));
        options.ward = parser.isSet(wardOption);
        options.instructor = parser.isSet(instructorOption);
        if (parser.isSet(joinOption)) {
            options.joinCode = *classroom::SessionCode::normalise(parser.value(joinOption));
            options.joinHost = parser.value(hostOption);
            options.joinName = parser.value(nameOption).trimmed();
        }
        options.exam = QString::fromStdString(parsed.exam.code);
        options.database = parser.value(database);
        if (parser.isSet(lang)) {
            options.language = catalogue::parseLanguageCode(parser.value(lang).toStdString());
        }
    }
    if (options.action == StartOptions::Action::error) {
        // The message echoes what was typed: no control character reaches the terminal.
        options.message = withoutControls(options.message);
    }
    return options;
}

TrainerApp::TrainerApp() = default;
TrainerApp::~TrainerApp() = default;

bool TrainerApp::initApplication(const StartOptions& options) {
    LanguageManager::instance().apply(LanguageManager::startLanguage(options.language));
    if (options.gradebook) {
        // The gradebook on its own; a remediation exam opens the practice window beside it.
        gradebook = std::make_unique<GradebookWindow>();
        QObject::connect(gradebook.get(), &GradebookWindow::practiceRequested,
                         [this, database = options.database](const QString& code) {
                             if (!practice) {
                                 practice = std::make_unique<PracticeWindow>(database);
                             }
                             practice->show();
                             practice->startExam(code);
                         });
        if (!options.exam.isEmpty()) {
            gradebook->setExamCode(options.exam);
        }
        gradebook->addFiles(options.files);
        gradebook->show();
        return true;
    }
    if (options.practice) {
        // The practice window on its own: closing it, the last window, ends the program.
        practice = std::make_unique<PracticeWindow>(options.database);
        practice->show();
        if (!options.exam.isEmpty()) {
            practice->startExam(options.exam);
        }
        return true;
    }
    if (options.ward) {
        ward = std::make_unique<WardWindow>();
        ward->show();
        return true;
    }
    if (options.instructor) {
        instructor = std::make_unique<InstructorConsole>();
        instructor->show();
        return true;
    }
    if (!options.joinCode.isEmpty()) {
        learner = std::make_unique<LearnerWindow>();
        learner->show();
        learner->join(options.joinHost, options.joinCode,
                      options.joinName.isEmpty() ? LearnerWindow::defaultName() : options.joinName);
        return true;
    }
    dialog = std::make_unique<TrainerDialog>();
    dialog->practiceDatabase = options.database;
    // Closing the classic window ends the program, whatever else is open.
    QObject::connect(dialog.get(), &QDialog::finished, QCoreApplication::instance(),
                     &QCoreApplication::quit);
    dialog->show();
    return true;
}

} // namespace pulsavo
