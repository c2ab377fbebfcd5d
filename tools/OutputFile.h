#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace pulsavo::strip {

// The system refused a read or a write: one line naming the file and the system's reason.
class IoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr int ioErrorExitCode = 1;

// `text` translated, with %1, %2, ... replaced by `args` byte for byte (file names keep bytes
// that are not UTF-8).
std::string message(std::string_view text, std::initializer_list<std::string_view> args = {});

// `text` in single quotes, fit for one line on a terminal: control characters, backslashes
// and bytes that are not UTF-8 are written as C escapes.
std::string quoted(std::string_view text);

// Control characters and bytes that are not UTF-8 escaped, for a whole message (backslashes
// stay: a message quotes what it echoes).
std::string escapedLine(std::string_view text);

// Rejects, as a UsageError, a value of a file option that cannot name an output: empty, too
// long, a directory, or starting with '-' (an option taken as the value) unless it is "-".
void checkOutputPath(std::string_view option, std::string_view path);

// Whether two output paths reach one file: "-" and whatever standard output is, the same
// resolved path, or the same inode where the file exists.
bool sameOutput(const std::string& a, const std::string& b);

// A file a command names on its command line: the option and the path as given.
struct NamedFile {
    std::string_view option;
    std::string path;
};

// Refuses, as a UsageError, two outputs that reach one file and an output that reaches an
// input, through links and hard links (device and inode); an SQLite input's journal, log and
// index (-journal, -wal, -shm) count as the input: replacing one would lose answers.
void checkOutputsApart(const std::vector<NamedFile>& outputs,
                       const std::vector<NamedFile>& databases = {});

// One output of a command. Regular files are written to a temporary file beside the target
// and renamed over it by commit(), keeping the old file's permissions, so the old file stays
// whole until the new one is complete and on disk. Devices, FIFOs and "-" (standard output)
// are written directly; a writable file in a directory we may not create files in is written
// in place, as a shell redirect would. Symbolic links are followed, except one that another
// user planted in a shared sticky directory. Every failure throws IoError; a file not committed
// leaves no trace.
class OutputFile {
public:
    enum class Mode { replace, direct, inPlace };

    explicit OutputFile(std::string path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void open();
    void write(std::string_view data);
    // Flushes everything written and, for files, waits until it is on disk.
    void finish();
    void commit();

    Mode mode() const { return kind; }
    const std::string& path() const { return name; }

private:
    friend void commitTogether(const std::vector<OutputFile*>& files);
    // Keeps a hard link to the file commit() will replace, so that undo() can restore it.
    void keepPrevious();
    void undo();
    void dropPrevious();
    void flushBuffer();
    [[noreturn]] void fail(int error) const;

    std::string name;
    std::string target;
    std::string temporary;
    std::string previous; // a hard link to the file commit() replaced, until it is kept
    bool replacesFile = false;
    std::string buffer;
    Mode kind = Mode::replace;
    int fd = -1;
    bool truncated = false;
    bool finished = false;
};

// Finishes every file and commits them all or none: when one cannot be put in place, those
// already committed get their old files back (files written in place or to a device cannot be
// taken back, and are written before anything is renamed).
void commitTogether(const std::vector<OutputFile*>& files);

// Removes the temporary files of outputs not yet committed when SIGINT, SIGTERM, SIGHUP or
// SIGPIPE ends the program, which then ends as the signal would have ended it.
void removeTemporariesOnSignals();

} // namespace pulsavo::strip
