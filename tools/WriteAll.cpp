#include "WriteAll.h"

#include "OutputFile.h"

#include <memory>

namespace pulsavo::strip {

void writeAllOrNothing(const std::vector<PendingFile>& files) {
    std::vector<std::unique_ptr<OutputFile>> outputs;
    for (const PendingFile& file : files) {
        outputs.push_back(std::make_unique<OutputFile>(file.path));
        outputs.back()->open();
    }
    std::vector<OutputFile*> all;
    for (std::size_t i = 0; i < files.size(); ++i) {
        outputs[i]->write(std::string_view(files[i].data.constData(),
                                           static_cast<std::size_t>(files[i].data.size())));
        all.push_back(outputs[i].get());
    }
    commitTogether(all);
}

} // namespace pulsavo::strip
