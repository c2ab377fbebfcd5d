#pragma once

#include <QByteArray>

#include <string>
#include <vector>

namespace pulsavo::strip {

struct PendingFile {
    std::string path;
    QByteArray data;
};

// Writes every file whole or none of them: each goes to a temporary file beside its target,
// and the targets are replaced only once all were written. A UsageError names the first path
// that failed.
void writeAllOrNothing(const std::vector<PendingFile>& files);

} // namespace pulsavo::strip
