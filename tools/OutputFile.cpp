#include "OutputFile.h"

#include "CommandLine.h"

#include <QCoreApplication>
#include <QString>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pulsavo::strip {

namespace {

constexpr std::size_t bufferSize = std::size_t{64} * 1024;
constexpr int maxLinkHops = 40; // the kernel's own limit

// Length of the valid UTF-8 sequence of a printable character at text[i], or 0.
std::size_t printableSequence(std::string_view text, std::size_t i) {
    const auto byte = [&text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead >= 0x20 && lead < 0x7f) {
        return 1;
    }
    std::size_t length = 0;
    unsigned int code = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        code = lead & 0x1fU;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        code = lead & 0x0fU;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        code = lead & 0x07U;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xc0U) != 0x80) {
            return 0;
        }
        code = (code << 6U) | (byte(i + k) & 0x3fU);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xd800 && code <= 0xdfff;
    const bool c1Control = code < 0xa0;
    return overlong || surrogate || c1Control || code > 0x10ffff ? 0 : length;
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(std::string_view path) {
    const auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

struct Resolved {
    std::string path;
    bool magic = false; // reached through /proc, where a link names an open file, not a path
};

// Follows symbolic links as opening the path would. A link in a sticky world-writable
// directory is followed only when it belongs to us or to the directory's owner: otherwise any
// user could point our output at a file of ours (the kernel's protected-symlinks rule).
Resolved resolveLinks(const std::string& path, bool enforceProtection) {
    Resolved resolved{path};
    for (int hops = 0;; ++hops) {
        if (resolved.path.starts_with("/proc/")) {
            resolved.magic = true;
            return resolved;
        }
        struct stat link {};
        if (::lstat(resolved.path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
            return resolved;
        }
        if (hops == maxLinkHops) {
            throw IoError(message("cannot write %1: %2", {quoted(path), std::strerror(ELOOP)}));
        }
        const std::string directory = directoryOf(resolved.path);
        struct stat dir {};
        if (enforceProtection && ::stat(directory.c_str(), &dir) == 0 &&
            (dir.st_mode & S_ISVTX) != 0 && (dir.st_mode & S_IWOTH) != 0 &&
            link.st_uid != ::geteuid() && link.st_uid != dir.st_uid) {
            throw IoError(message("refusing to follow the symbolic link %1: it belongs to another "
                                  "user in the shared directory %2",
                                  {quoted(resolved.path), quoted(directory)}));
        }
        std::string content(PATH_MAX, '\0');
        const ssize_t length = ::readlink(resolved.path.c_str(), content.data(), content.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= content.size()) {
            return resolved;
        }
        content.resize(static_cast<std::size_t>(length));
        if (content.front() != '/') {
            content.insert(0, directory + "/");
        }
        resolved.path = std::move(content);
    }
}

mode_t creationMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Temporary names a signal handler may remove: fixed slots, filled and read without locks.
struct TemporarySlot {
    std::atomic<int> state{0}; // 0 free, 1 being filled or emptied, 2 holds a name
    std::array<char, PATH_MAX> name{};
};
std::array<TemporarySlot, 32> temporarySlots;

void rememberTemporary(const std::string& name) {
    if (name.size() >= PATH_MAX) {
        return;
    }
    for (TemporarySlot& slot : temporarySlots) {
        int expected = 0;
        if (slot.state.compare_exchange_strong(expected, 1)) {
            std::memcpy(slot.name.data(), name.c_str(), name.size() + 1);
            slot.state.store(2);
            return;
        }
    }
}

void forgetTemporary(const std::string& name) {
    for (TemporarySlot& slot : temporarySlots) {
        int expected = 2;
        if (std::strcmp(slot.name.data(), name.c_str()) == 0 &&
            slot.state.compare_exchange_strong(expected, 1)) {
            slot.name[0] = '\0';
            slot.state.store(0);
            return;
        }
    }
}

extern "C" void removeTemporariesAndDie(int signal) {
    for (TemporarySlot& slot : temporarySlots) {
        if (slot.state.load() == 2) {
            ::unlink(slot.name.data());
        }
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::string escaped(std::string_view text, bool backslashes) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = printableSequence(text, i);
        if (text[i] == '\\' && backslashes) {
            out += "\\\\";
        } else if (length > 0) {
            out += text.substr(i, length);
            i += length;
            continue;
        } else if (text[i] == '\n') {
            out += "\\n";
        } else if (text[i] == '\t') {
            out += "\\t";
        } else if (text[i] == '\r') {
            out += "\\r";
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(text[i]));
            out += escape;
        }
        ++i;
    }
    return out;
}

} // namespace

std::string message(std::string_view text, std::initializer_list<std::string_view> args) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '%' && next >= '1' && next <= '9' &&
            static_cast<std::size_t>(next - '1') < args.size()) {
            out += *(args.begin() + (next - '1'));
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string escapedLine(std::string_view text) {
    return escaped(text, false);
}

std::string quoted(std::string_view text) {
    return "'" + escaped(text, true) + "'";
}

void checkOutputPath(std::string_view option, std::string_view path) {
    if (path.empty()) {
        throw UsageError(message("%1 needs a file name, not an empty one", {option}));
    }
    if (path == "-") {
        return;
    }
    if (path.front() == '-') {
        throw UsageError(message("%1 takes a file name, not the option-like %2 (write ./%3 for a "
                                 "file named so)",
                                 {option, quoted(path), escapedLine(path)}));
    }
    if (path.size() >= PATH_MAX) {
        throw UsageError(message("%1 %2: %3", {option, quoted(path), std::strerror(ENAMETOOLONG)}));
    }
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (end - start > NAME_MAX) {
            throw UsageError(
                message("%1 %2: %3", {option, quoted(path), std::strerror(ENAMETOOLONG)}));
        }
        start = end + 1;
    }
    const std::string base = baseNameOf(path);
    struct stat info {};
    if (base.empty() || base == "." || base == ".." ||
        (::stat(std::string(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode))) {
        throw UsageError(message("%1 %2 is a directory, not a file", {option, quoted(path)}));
    }
}

void checkOutputsApart(const std::vector<NamedFile>& outputs,
                       const std::vector<NamedFile>& databases) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (std::size_t k = 0; k < i; ++k) {
            if (sameOutput(outputs[k].path, outputs[i].path)) {
                throw UsageError(outputs[k].path == "-" && outputs[i].path == "-"
                                     ? message("only one output can go to standard output")
                                     : message("%1 %2 and %3 %4 are one file, given for two "
                                               "outputs",
                                               {outputs[k].option, quoted(outputs[k].path),
                                                outputs[i].option, quoted(outputs[i].path)}));
            }
        }
        for (const NamedFile& input : databases) {
            std::vector<std::string> parts{input.path};
            if (char* real = ::realpath(input.path.c_str(), nullptr)) {
                parts.emplace_back(real);
                std::free(real);
            }
            for (std::size_t p = 0, n = parts.size(); p < n; ++p) {
                for (const char* suffix : {"-journal", "-wal", "-shm"}) {
                    parts.push_back(parts[p] + suffix);
                }
            }
            // The database may have other names (a hard link): an output named after any of
            // them plus a log suffix is that database's log too.
            const std::string& out = outputs[i].path;
            for (const std::string_view suffix : {"-journal", "-wal", "-shm"}) {
                if (out.size() > suffix.size() && out.ends_with(suffix) &&
                    sameOutput(out.substr(0, out.size() - suffix.size()), input.path)) {
                    parts.push_back(out);
                }
            }
            for (const std::string& part : parts) {
                if (outputs[i].path != "-" && sameOutput(part, outputs[i].path)) {
                    throw UsageError(message("%1 %2 would replace the answers database %3 %4 "
                                             "(or its log); give another file",
                                             {outputs[i].option, quoted(outputs[i].path),
                                              input.option, quoted(input.path)}));
                }
            }
        }
    }
}

bool sameOutput(const std::string& a, const std::string& b) {
    const auto identify = [](const std::string& path, struct stat& info) {
        if (path == "-") {
            return std::pair{std::string("-"), ::fstat(STDOUT_FILENO, &info) == 0};
        }
        const Resolved resolved = resolveLinks(path, false);
        std::string canonical = resolved.path;
        if (char* directory = ::realpath(directoryOf(resolved.path).c_str(), nullptr)) {
            canonical = std::string(directory) + "/" + baseNameOf(resolved.path);
            std::free(directory);
        }
        return std::pair{canonical, ::stat(path.c_str(), &info) == 0};
    };
    struct stat infoA {};
    struct stat infoB {};
    const auto [pathA, existsA] = identify(a, infoA);
    const auto [pathB, existsB] = identify(b, infoB);
    return pathA == pathB ||
           (existsA && existsB && infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino);
}

OutputFile::OutputFile(std::string path) : name(std::move(path)) {}

OutputFile::~OutputFile() {
    if (fd > STDERR_FILENO) {
        ::close(fd);
    }
    if (!temporary.empty()) {
        ::unlink(temporary.c_str());
        forgetTemporary(temporary);
    }
    dropPrevious();
}

void OutputFile::fail(int error) const {
    throw IoError(
        message("cannot write %1: %2",
                {name == "-" ? message("standard output") : quoted(name), std::strerror(error)}));
}

void OutputFile::open() {
    if (name == "-") {
        kind = Mode::direct;
        fd = STDOUT_FILENO;
        return;
    }
    const Resolved resolved = resolveLinks(name, true);
    target = resolved.path;
    struct stat info {};
    const bool exists = ::stat(name.c_str(), &info) == 0;
    if (resolved.magic || (exists && !S_ISREG(info.st_mode))) {
        kind = Mode::direct;
        fd = ::open(name.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            fail(errno);
        }
        return;
    }
    std::string pattern = directoryOf(target) + "/.pulsavo-strip-XXXXXX";
    fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (!exists || (error != EACCES && error != EPERM)) {
            fail(error);
        }
        kind = Mode::inPlace;
        fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            fail(errno);
        }
        return;
    }
    temporary = pattern;
    rememberTemporary(temporary);
    kind = Mode::replace;
    if (exists) {
        // Owner first: changing it clears set-id bits that the mode then restores.
        // Refused unless we may give files away; the file then becomes ours, as on any copy.
        static_cast<void>(::fchown(fd, info.st_uid, info.st_gid));
        if (::fchmod(fd, info.st_mode & 07777) != 0) {
            fail(errno);
        }
    } else if (::fchmod(fd, creationMode()) != 0) {
        fail(errno);
    }
}

void OutputFile::write(std::string_view data) {
    buffer += data;
    if (buffer.size() >= bufferSize) {
        flushBuffer();
    }
}

void OutputFile::flushBuffer() {
    if (kind == Mode::inPlace && !truncated) {
        // Only now: a failure of another output before any data leaves this file as it was.
        if (::ftruncate(fd, 0) != 0) {
            fail(errno);
        }
        truncated = true;
    }
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t written = ::write(fd, buffer.data() + done, buffer.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(errno);
        }
        done += static_cast<std::size_t>(written);
    }
    buffer.clear();
}

void OutputFile::finish() {
    flushBuffer();
    if (kind != Mode::direct) {
        // Some file systems report a full disk only here or at close.
        if (::fsync(fd) != 0) {
            fail(errno);
        }
        const int closing = fd;
        fd = -1;
        if (::close(closing) != 0) {
            fail(errno);
        }
    }
    finished = true;
}

void OutputFile::commit() {
    if (!finished) {
        finish();
    }
    if (kind == Mode::replace) {
        if (::rename(temporary.c_str(), target.c_str()) != 0) {
            fail(errno);
        }
        forgetTemporary(temporary);
        temporary.clear();
    }
}

void OutputFile::keepPrevious() {
    struct stat info {};
    if (kind != Mode::replace || ::lstat(target.c_str(), &info) != 0) {
        return;
    }
    replacesFile = true;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string pattern = directoryOf(target) + "/.pulsavo-strip-XXXXXX";
        const int probe = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (probe < 0) {
            return;
        }
        ::close(probe);
        ::unlink(pattern.c_str());
        if (::link(target.c_str(), pattern.c_str()) == 0) {
            previous = pattern;
            rememberTemporary(previous);
            return;
        }
        if (errno != EEXIST) {
            return; // no hard links here: this file cannot be taken back
        }
    }
}

void OutputFile::undo() {
    if (kind != Mode::replace) {
        return;
    }
    if (previous.empty()) {
        // A new file goes; a replaced one that could not be linked stays new and whole.
        if (!replacesFile) {
            ::unlink(target.c_str());
        }
    } else if (::rename(previous.c_str(), target.c_str()) == 0) {
        forgetTemporary(previous);
        previous.clear();
    }
}

void OutputFile::dropPrevious() {
    if (!previous.empty()) {
        ::unlink(previous.c_str());
        forgetTemporary(previous);
        previous.clear();
    }
}

void commitTogether(const std::vector<OutputFile*>& files) {
    for (OutputFile* file : files) {
        if (!file->finished) {
            file->finish();
        }
    }
    for (OutputFile* file : files) {
        file->keepPrevious();
    }
    // A signal between two renames would leave some outputs new and some old.
    sigset_t blocked;
    sigset_t old;
    sigemptyset(&blocked);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&blocked, signal);
    }
    ::pthread_sigmask(SIG_BLOCK, &blocked, &old);
    try {
        for (std::size_t i = 0; i < files.size(); ++i) {
            try {
                files[i]->commit();
            } catch (const IoError&) {
                for (std::size_t k = 0; k < i; ++k) {
                    files[k]->undo();
                }
                throw;
            }
        }
    } catch (...) {
        ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
        throw;
    }
    for (OutputFile* file : files) {
        file->dropPrevious();
    }
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

void removeTemporariesOnSignals() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        struct sigaction current {};
        // A signal the caller ignores (nohup, a background job) stays ignored.
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = removeTemporariesAndDie;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

} // namespace pulsavo::strip
