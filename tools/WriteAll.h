#pragma once

#include <QByteArray>

#include <string>
#include <vector>

namespace pulsavo::strip {

struct PendingFile {
    std::string path;
    QByteArray data;
};

// Writes every file whole or none of them through OutputFile: the targets are replaced only
// once all were written and are on disk. An IoError names the first path that failed.
void writeAllOrNothing(const std::vector<PendingFile>& files);

} // namespace pulsavo::strip
