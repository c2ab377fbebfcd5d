#include "WriteAll.h"

#include "CommandLine.h"

#include <QSaveFile>

#include <memory>

namespace pulsavo::strip {

void writeAllOrNothing(const std::vector<PendingFile>& files) {
    std::vector<std::unique_ptr<QSaveFile>> saves;
    const auto fail = [](const PendingFile& file, const QSaveFile& save) {
        throw UsageError("cannot write " + file.path + ": " + save.errorString().toStdString());
    };
    for (const PendingFile& file : files) {
        auto save = std::make_unique<QSaveFile>(QString::fromStdString(file.path));
        if (!save->open(QIODevice::WriteOnly) || save->write(file.data) != file.data.size()) {
            fail(file, *save);
        }
        saves.push_back(std::move(save));
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!saves[i]->commit()) {
            fail(files[i], *saves[i]);
        }
    }
}

} // namespace pulsavo::strip
