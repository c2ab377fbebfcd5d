#include "CommandLine.h"
#include "OutputFile.h"
#include "TraceCommand.h"

#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

using namespace pulsavo::strip;

namespace {

constexpr uid_t nobody = 65534;

// The tool under test; PULSAVO_STRIP in the environment runs the tests against another build.
QString stripPath() {
    return qEnvironmentVariable("PULSAVO_STRIP", QStringLiteral(PULSAVO_STRIP));
}

using Run = pulsavo::testing::ToolRun;

// Runs pulsavo-strip; `setup` runs in the child just before it starts (limits, another user).
Run runStrip(const QStringList& args, const QString& directory = QString(),
             const std::function<void()>& setup = {},
             const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
             const QString& outputFile = QString()) {
    return pulsavo::testing::runTool(stripPath(), args,
                                     {directory, environment, setup, outputFile});
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

QByteArray csvOf(const QStringList& traceArgs) {
    return runStrip(QStringList{"trace"} + traceArgs).out;
}

// A device like /dev/full or /dev/null. As root, a private node in `dir`: a tool that wrongly
// renames a file over its target then spoils only the test's copy, never the system's.
QString device(const QTemporaryDir& dir, const char* name, unsigned int minor) {
    QString node = dir.filePath(QString::fromLatin1(name));
    if (::geteuid() == 0 &&
        ::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, minor)) == 0) {
        return node;
    }
    return QStringLiteral("/dev/") + QString::fromLatin1(name);
}

std::vector<std::string_view> views(const std::vector<std::string>& text) {
    return {text.begin(), text.end()};
}

void checkOneLineError(const Run& run) {
    QVERIFY2(run.err.startsWith("pulsavo-strip: ") && run.err.count('\n') == 1 &&
                 run.err.endsWith('\n'),
             run.err.constData());
}

const QStringList shortTrace{"trace", "--ticks", "600", "--select", "1:0@1"};
const QStringList longTrace{"trace", "--ticks", "3000", "--select", "1:0@1"};

} // namespace

class TestOutputFile : public QObject {
    Q_OBJECT

private slots:
    void failedWriteKeepsEveryOldFile_data();
    void failedWriteKeepsEveryOldFile();
    void nonRegularTargetsAreWrittenDirectly();
    void symlinksAreFollowedUnlessPlanted_data();
    void symlinksAreFollowedUnlessPlanted();
    void unusableOutputsAreRejectedWhileParsing_data();
    void unusableOutputsAreRejectedWhileParsing();
    void oneFileNamedTwoWaysIsRejected();
    void rejectedOutputsWriteNothing_data();
    void rejectedOutputsWriteNothing();
    void messagesAreOneEscapedLine_data();
    void messagesAreOneEscapedLine();
    void fileNamesKeepTheirBytes();
    void writableFileInLockedDirectoryIsWrittenInPlace();
    void helpAndVersionReportAFailedStandardOutput_data();
    void helpAndVersionReportAFailedStandardOutput();
    void imagesNeedNoDisplay();
    void outputsAreCommittedTogether();
    void signalsLeaveNoTemporaryFile_data();
    void signalsLeaveNoTemporaryFile();
};

// A write that fails at any point, including the flush before the rename, is exit status 1
// with the system's reason, and every file that was there stays as it was.
void TestOutputFile::failedWriteKeepsEveryOldFile_data() {
    QTest::addColumn<QStringList>("outputs");
    QTest::addColumn<bool>("limitFileSize");
    QTest::addColumn<QString>("reason");
    QTest::newRow("file size limit hit in the final flush")
        << QStringList{"--csv", "out.csv"} << true << "File too large";
    QTest::newRow("file size limit, two outputs")
        << QStringList{"--csv", "out.csv", "--png", "old.png"} << true << "File too large";
    QTest::newRow("full device after a good file")
        << QStringList{"--csv", "out.csv", "--svg", "FULL"} << false << "No space left on device";
    QTest::newRow("full standard output after a good file")
        << QStringList{"--csv", "out.csv", "--png", "-"} << false << "No space left on device";
}

void TestOutputFile::failedWriteKeepsEveryOldFile() {
    QFETCH(QStringList, outputs);
    QFETCH(bool, limitFileSize);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    outputs.replaceInStrings(QStringLiteral("FULL"), device(dir, "full", 7));
    writeFile(dir.filePath("out.csv"), "complete old csv\n");
    writeFile(dir.filePath("old.png"), "complete old png");
    // The 3000-tick CSV (about 60 KiB) stops at 16 KiB, in the write at the end that an
    // unchecked final flush would swallow.
    const auto limit = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        constexpr rlim_t limit = 16 * 1024;
        const rlimit size{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &size);
    };
    const Run run = runStrip(longTrace + outputs, dir.path(),
                             limitFileSize ? std::function<void()>(limit) : nullptr,
                             QProcessEnvironment::systemEnvironment(),
                             outputs.contains("-") ? QStringLiteral("/dev/full") : QString());
    QCOMPARE(run.exitCode, ioErrorExitCode);
    checkOneLineError(run);
    QVERIFY2(run.err.contains(reason.toUtf8()), run.err.constData());
    QCOMPARE(readFile(dir.filePath("out.csv")), QByteArray("complete old csv\n"));
    QCOMPARE(readFile(dir.filePath("old.png")), QByteArray("complete old png"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"old.png", "out.csv"}));
}

void TestOutputFile::nonRegularTargetsAreWrittenDirectly() {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Opened first and without blocking, so the tool's open finds a reader waiting.
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    const Run toFifo = runStrip(shortTrace + QStringList{"--csv", fifo});
    QByteArray received(qsizetype{64} * 1024, '\0');
    const ssize_t got = ::read(reader, received.data(), received.size());
    ::close(reader);
    QCOMPARE(toFifo.exitCode, 0);
    QCOMPARE(received.left(got), csvOf(shortTrace.mid(1)));
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(fifo).constData(), &info), 0);
    QVERIFY(S_ISFIFO(info.st_mode));

    const QString null = device(dir, "null", 3);
    const Run toNull = runStrip(shortTrace + QStringList{"--csv", null});
    QCOMPARE(toNull.exitCode, 0);
    QCOMPARE(::stat(QFile::encodeName(null).constData(), &info), 0);
    QVERIFY(S_ISCHR(info.st_mode));

    const QString full = device(dir, "full", 7);
    const Run toFull = runStrip(shortTrace + QStringList{"--csv", full});
    QCOMPARE(toFull.exitCode, ioErrorExitCode);
    checkOneLineError(toFull);
    QVERIFY(toFull.err.contains(QFile::encodeName(full) + "': No space left on device"));
}

void TestOutputFile::symlinksAreFollowedUnlessPlanted_data() {
    QTest::addColumn<bool>("dangling");
    QTest::addColumn<uid_t>("linkOwner");
    QTest::addColumn<bool>("followed");
    QTest::newRow("our link in a shared directory") << false << ::geteuid() << true;
    QTest::newRow("dangling link: the target is created") << true << ::geteuid() << true;
    QTest::newRow("another user's link in a shared directory") << false << nobody << false;
}

void TestOutputFile::symlinksAreFollowedUnlessPlanted() {
    QFETCH(bool, dangling);
    QFETCH(uid_t, linkOwner);
    QFETCH(bool, followed);
    ::umask(022); // inherited by the tool, which gives a new file 0666 less the mask
    if (linkOwner != ::geteuid() && ::geteuid() != 0) {
        QSKIP("planting another user's link needs root");
    }
    QTemporaryDir shared;
    QTemporaryDir private_;
    QCOMPARE(::chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
    const QString target = private_.filePath("precious.csv");
    if (!dangling) {
        writeFile(target, "precious\n");
        QCOMPARE(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    }
    const QByteArray link = QFile::encodeName(shared.filePath("out.csv"));
    QCOMPARE(::symlink(QFile::encodeName(target).constData(), link.constData()), 0);
    QCOMPARE(::lchown(link.constData(), linkOwner, static_cast<gid_t>(-1)), 0);

    const Run run = runStrip(shortTrace + QStringList{"--csv", shared.filePath("out.csv")});
    struct stat info {};
    QCOMPARE(::lstat(link.constData(), &info), 0);
    QVERIFY(S_ISLNK(info.st_mode));
    if (followed) {
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readFile(target), csvOf(shortTrace.mid(1)));
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, dangling ? 0644U : 0640U);
    } else {
        QCOMPARE(run.exitCode, ioErrorExitCode);
        checkOneLineError(run);
        QVERIFY(run.err.contains("refusing to follow the symbolic link"));
        QCOMPARE(readFile(target), QByteArray("precious\n"));
    }
    QCOMPARE(QDir(private_.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"precious.csv"});
}

void TestOutputFile::unusableOutputsAreRejectedWhileParsing_data() {
    QTest::addColumn<QStringList>("outputs");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty image path") << QStringList{"--csv", "out.csv", "--png", ""} << false;
    QTest::newRow("empty csv path") << QStringList{"--csv", ""} << false;
    QTest::newRow("300-character name")
        << QStringList{"--csv", "out.csv", "--png", QString(300, 'x')} << false;
    QTest::newRow("path past PATH_MAX")
        << QStringList{"--csv", QString("a/").repeated(2100) + "x"} << false;
    QTest::newRow("option taken as a value") << QStringList{"--png", "--grid"} << false;
    QTest::newRow("dash value") << QStringList{"--csv", "-x"} << false;
    QTest::newRow("a directory") << QStringList{"--csv", "/tmp"} << false;
    QTest::newRow("ends in a slash") << QStringList{"--csv", "new/"} << false;
    QTest::newRow("dot dot") << QStringList{"--csv", "sub/.."} << false;
    QTest::newRow("dash written as a path") << QStringList{"--csv", "./-x"} << true;
    QTest::newRow("standard output") << QStringList{"--csv", "-"} << true;
    QTest::newRow("255-character name") << QStringList{"--csv", QString(255, 'x')} << true;
}

void TestOutputFile::unusableOutputsAreRejectedWhileParsing() {
    QFETCH(QStringList, outputs);
    QFETCH(bool, accepted);
    std::vector<std::string> text{"--ticks", "5"};
    for (const QString& output : outputs) {
        text.push_back(output.toStdString());
    }
    if (accepted) {
        QCOMPARE(parseTraceOptions(views(text)).csvPath.value(), text.back());
    } else {
        QVERIFY_THROWS_EXCEPTION(UsageError, parseTraceOptions(views(text)));
    }
}

void TestOutputFile::oneFileNamedTwoWaysIsRejected() {
    QTemporaryDir dir;
    writeFile(dir.filePath("same.png"), "x");
    QCOMPARE(::link(QFile::encodeName(dir.filePath("same.png")).constData(),
                    QFile::encodeName(dir.filePath("hard.png")).constData()),
             0);
    QVERIFY(QFile::link(dir.filePath("same.png"), dir.filePath("soft.png")));
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    const std::string same = dir.filePath("same.png").toStdString();
    const std::string newFile = dir.filePath("new.csv").toStdString();
    const std::vector<std::pair<std::string, std::string>> twice{
        {same, dir.path().toStdString() + "/./same.png"},
        {same, dir.path().toStdString() + "/sub/../same.png"},
        {same, dir.filePath("soft.png").toStdString()},
        {same, dir.filePath("hard.png").toStdString()},
        {newFile, dir.path().toStdString() + "//new.csv"}};
    for (const auto& [first, second] : twice) {
        QVERIFY2(sameOutput(first, second), second.c_str());
        QVERIFY_THROWS_EXCEPTION(UsageError, parseTraceOptions(views({"--ticks", "5", "--csv",
                                                                      first, "--svg", second})));
    }
    QVERIFY(!sameOutput(same, newFile));
    QVERIFY(!sameOutput("-", newFile));
}

void TestOutputFile::rejectedOutputsWriteNothing_data() {
    QTest::addColumn<QStringList>("outputs");
    QTest::newRow("empty image path") << QStringList{"--csv", "out.csv", "--png", ""};
    QTest::newRow("300-character name")
        << QStringList{"--csv", "out.csv", "--png", QString(300, 'x')};
    QTest::newRow("one file two ways") << QStringList{"--csv", "same.png", "--png", "./same.png"};
    QTest::newRow("option as value") << QStringList{"--csv", "out.csv", "--png", "--grid"};
}

void TestOutputFile::rejectedOutputsWriteNothing() {
    QFETCH(QStringList, outputs);
    QTemporaryDir dir;
    const Run run = runStrip(shortTrace + outputs, dir.path());
    QCOMPARE(run.exitCode, usageExitCode);
    checkOneLineError(run);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

void TestOutputFile::messagesAreOneEscapedLine_data() {
    QTest::addColumn<QByteArray>("argument");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("newline and escape sequence")
        << QByteArray("x\n\x1b[31my") << QByteArray("'x\\n\\x1b[31my'");
    QTest::newRow("tab, carriage return, backslash")
        << QByteArray("a\tb\rc\\d") << QByteArray("'a\\tb\\rc\\\\d'");
    QTest::newRow("bytes that are not UTF-8")
        << QByteArray("a\xff\xc3(") << QByteArray("'a\\xff\\xc3('");
    QTest::newRow("C1 control") << QByteArray("a\xc2\x9b"
                                              "1m")
                                << QByteArray("'a\\xc2\\x9b1m'");
    QTest::newRow("Japanese stays as it is") << QByteArray("心電図") << QByteArray("'心電図'");
}

void TestOutputFile::messagesAreOneEscapedLine() {
    QFETCH(QByteArray, argument);
    QFETCH(QByteArray, shown);
    QCOMPARE(QByteArray::fromStdString(pulsavo::strip::quoted(argument.toStdString())), shown);
    const Run run = runStrip({QString::fromLocal8Bit(argument)});
    QCOMPARE(run.exitCode, usageExitCode);
    checkOneLineError(run);
    QVERIFY(!run.err.contains('\x1b') && !run.err.contains('\r'));
}

void TestOutputFile::fileNamesKeepTheirBytes() {
    QTemporaryDir dir;
    const QByteArray name = QFile::encodeName(dir.path()) + "/r\xff\xfe.csv";
    // QProcess passes arguments as local 8-bit text; the raw bytes need the C library.
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDERR_FILENO);
        ::execl(QFile::encodeName(stripPath()).constData(), "pulsavo-strip", "trace", "--ticks",
                "600", "--csv", name.constData(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = -1;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    struct stat info {};
    QCOMPARE(::stat(name.constData(), &info), 0);
    QCOMPARE(static_cast<qint64>(info.st_size), csvOf({"--ticks", "600"}).size());
}

void TestOutputFile::writableFileInLockedDirectoryIsWrittenInPlace() {
    QTemporaryDir dir;
    const QString file = dir.filePath("shared.csv");
    writeFile(file, "old\n");
    QCOMPARE(::chmod(QFile::encodeName(file).constData(), 0666), 0);
    QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    // Root may create files anywhere: run as an ordinary user then.
    const auto asOrdinaryUser = [] {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
            ::_exit(126);
        }
    };
    // The ordinary user runs a copy of the tool where it can reach it: the build tree may sit
    // in a private folder such as root's home.
    QTemporaryDir reachable;
    QString program = stripPath();
    if (::geteuid() == 0) {
        program = reachable.filePath(QStringLiteral("pulsavo-strip"));
        QVERIFY(QFile::copy(stripPath(), program) &&
                ::chmod(QFile::encodeName(reachable.path()).constData(), 0755) == 0 &&
                ::chmod(QFile::encodeName(program).constData(), 0755) == 0);
        for (QString up = reachable.path(); up != QDir::rootPath();) {
            up = QFileInfo(up).path();
            if (!QFileInfo(up).permissions().testFlag(QFile::ExeOther)) {
                QSKIP("the temporary folder's parents are closed to other users");
            }
        }
    }
    struct stat before {};
    QCOMPARE(::stat(QFile::encodeName(file).constData(), &before), 0);
    const Run run = pulsavo::testing::runTool(
        program, shortTrace + QStringList{"--csv", file},
        {QDir::rootPath(), QProcessEnvironment::systemEnvironment(), asOrdinaryUser, QString()});
    QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0700), 0);
    QVERIFY2(run.exitCode == 0, run.err.constData());
    QCOMPARE(readFile(file), csvOf(shortTrace.mid(1)));
    struct stat after {};
    QCOMPARE(::stat(QFile::encodeName(file).constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"shared.csv"});
}

void TestOutputFile::helpAndVersionReportAFailedStandardOutput_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("help") << QStringList{"--help"};
    QTest::newRow("version") << QStringList{"--version"};
    QTest::newRow("list") << QStringList{"list"};
    QTest::newRow("trace") << QStringList{"trace", "--ticks", "5"};
}

void TestOutputFile::helpAndVersionReportAFailedStandardOutput() {
    QFETCH(QStringList, args);
    const Run run = runStrip(args, QString(), {}, QProcessEnvironment::systemEnvironment(),
                             QStringLiteral("/dev/full"));
    QCOMPARE(run.exitCode, ioErrorExitCode);
    checkOneLineError(run);
    QVERIFY2(run.err.contains("standard output: No space left on device"), run.err.constData());
}

void TestOutputFile::imagesNeedNoDisplay() {
    QTemporaryDir dir;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    const Run run =
        runStrip(shortTrace + QStringList{"--png", "a.png"}, dir.path(), {}, environment);
    QVERIFY2(run.exitCode == 0 && run.err.isEmpty(), run.err.constData());
    QVERIFY(readFile(dir.filePath("a.png")).startsWith("\x89PNG"));
}

// A rename that fails at commit time puts back the files already renamed: all or none.
void TestOutputFile::outputsAreCommittedTogether() {
    QTemporaryDir dir;
    const QString first = dir.filePath("a.csv");
    const QString second = dir.filePath("b.png");
    writeFile(first, "old a\n");
    {
        OutputFile a(QFile::encodeName(first).toStdString());
        OutputFile b(QFile::encodeName(second).toStdString());
        a.open();
        b.open();
        a.write("new a\n");
        b.write("new b\n");
        // A folder with something in it where b goes: its rename fails.
        QVERIFY(QDir().mkpath(second + "/inside"));
        QVERIFY_THROWS_EXCEPTION(IoError, commitTogether({&a, &b}));
    }
    QCOMPARE(readFile(first), QByteArray("old a\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{"a.csv", "b.png"}));
}

void TestOutputFile::signalsLeaveNoTemporaryFile_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
}

// The PNG's temporary file exists from before the first CSV row on standard output; the
// signal comes once that row is read, in the middle of the run.
void TestOutputFile::signalsLeaveNoTemporaryFile() {
    QFETCH(int, signal);
    QTemporaryDir dir;
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(stripPath(), {"trace", "--ticks", "8640000", "--select", "1:4@1", "--csv", "-",
                                "--png", "out.png"});
    QVERIFY(process.waitForStarted() && process.waitForReadyRead(60000));
    QVERIFY(
        !QDir(dir.path()).entryList({".pulsavo-strip-*"}, QDir::Files | QDir::Hidden).isEmpty());
    ::kill(static_cast<pid_t>(process.processId()), signal);
    process.closeReadChannel(QProcess::StandardOutput);
    QVERIFY(process.waitForFinished(60000) && process.exitStatus() == QProcess::CrashExit);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
}

QTEST_APPLESS_MAIN(TestOutputFile)
#include "tst_outputfile.moc"
