#pragma once

#include "Language.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace pulsavo {

class GradebookWindow;
class InstructorConsole;
class LearnerWindow;
class PracticeWindow;
class TrainerDialog;
class WardWindow;

// What the command line asked for. The trainer takes only its own options: Qt's generic ones
// (-reverse, -qwindowtitle ...) would change the window behind the learner's back.
struct StartOptions {
    enum class Action { run, help, version, error };
    Action action = Action::run;
    QString message;       // the help or version text, or the one-line error
    bool practice = false; // --practice: the practice window is the main window
    QString database;      // --db PATH: the answers database; empty for the default location
    // --lang ja|en: the windows' language for this run, over the remembered and the system's.
    std::optional<catalogue::Language> language;
    // --exam CODE: the practice window plays that exam (implies --practice), or with
    // --gradebook the exam graded; canonical form.
    QString exam;
    // --gradebook [FILE...]: the gradebook window on its own, with these files to grade.
    bool gradebook = false;
    QStringList files;
    bool ward = false;       // --ward: the ward monitor is the main window
    bool instructor = false; // --instructor: the instructor's console is the main window
    // --join CODE [--host ADDR:PORT] [--name NAME]: a learner's monitor in a class.
    QString joinCode;
    QString joinHost;
    QString joinName;
};

StartOptions parseStartOptions(const QStringList& arguments);

// The one line the trainer prints when Qt cannot open a window: Qt's own reason, taken from its
// first message about the window system (`platformMessages`), else the first line of its
// fatal message, with control characters escaped.
QString noDisplayLine(const QStringList& platformMessages, const QString& fatal);

// Window-system settings that must be made before the application object exists. Under X11 the
// monitor's small repaints go over the connection instead of through shared memory: a shared
// memory image costs a completion event, and so more wake-ups, for each repaint, which is more
// than the copy it saves for a strip a few pixels wide.
void prepareWindowSystem();

// What the trainer opens at start: the classic window, or with --practice (or --exam) the
// practice window, with --gradebook the gradebook window, with --ward the ward monitor, or with
// --instructor the instructor's console, with --join a learner's monitor in a class, on its own.
// Closing that window ends the program.
class TrainerApp {
public:
    TrainerApp();
    ~TrainerApp();
    TrainerApp(const TrainerApp&) = delete;
    TrainerApp& operator=(const TrainerApp&) = delete;

    // Applies the start language and opens the window the options ask for; true once it is open.
    bool initApplication(const StartOptions& options);

private:
    std::unique_ptr<TrainerDialog> dialog;
    std::unique_ptr<PracticeWindow> practice;
    std::unique_ptr<GradebookWindow> gradebook;
    std::unique_ptr<WardWindow> ward;
    std::unique_ptr<InstructorConsole> instructor;
    std::unique_ptr<LearnerWindow> learner;
};

} // namespace pulsavo
