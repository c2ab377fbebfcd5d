#pragma once

#include "Catalogue.h"
#include "Rhythm.h"

#include <QStringList>

#include <cstdint>
#include <vector>

namespace pulsavo::classroom {

// "What is this rhythm?" asked of a class: the rhythm playing among those it is most often
// taken for, in an order drawn from `seed` so that the right answer has no fixed place.
struct RhythmPoll {
    static constexpr int maxOptions = 4;

    std::vector<Rhythm> rhythms; // by option
    int correct = -1;            // the option that names the rhythm asked about

    static RhythmPoll ask(Rhythm playing, std::uint32_t seed);
    QStringList options(catalogue::Language language) const;
    bool isCorrect(int option) const { return option == correct; }
};

} // namespace pulsavo::classroom
