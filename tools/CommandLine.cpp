#include "CommandLine.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QString>

#include <charconv>
#include <cstdio>

namespace pulsavo::strip {

long long parseInteger(std::string_view text, long long lo, long long hi, std::string_view what) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < lo || value > hi) {
        throw UsageError(std::string(what) + " must be a whole number from " + std::to_string(lo) +
                         " to " + std::to_string(hi) + ", not '" + std::string(text) + "'");
    }
    return value;
}

std::string_view optionValue(Arguments args, std::size_t& i) {
    if (i + 1 >= args.size()) {
        throw UsageError("option " + std::string(args[i]) + " needs a value");
    }
    return args[++i];
}

catalogue::Language parseLanguage(std::string_view text) {
    if (const auto language = catalogue::parseLanguageCode(text)) {
        return *language;
    }
    throw UsageError(
        QCoreApplication::translate("pulsavo-strip", "unknown language '%1' for --lang (ja or en)")
            .arg(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())))
            .toStdString());
}

void writeOutput(const std::string& path, std::string_view data) {
    if (path == "-") {
        if (std::fwrite(data.data(), 1, data.size(), stdout) != data.size() ||
            std::fflush(stdout) != 0) {
            throw UsageError("cannot write to standard output");
        }
        return;
    }
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        throw UsageError("cannot write " + path + ": " + file.errorString().toStdString());
    }
    if (file.write(data.data(), static_cast<qint64>(data.size())) !=
            static_cast<qint64>(data.size()) ||
        !file.commit()) {
        throw UsageError("cannot write " + path + ": " + file.errorString().toStdString());
    }
}

} // namespace pulsavo::strip
