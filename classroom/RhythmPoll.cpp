#include "RhythmPoll.h"

#include "DecidingCriteria.h"

#include <QRandomGenerator>

#include <algorithm>

namespace pulsavo::classroom {

RhythmPoll RhythmPoll::ask(Rhythm playing, std::uint32_t seed) {
    RhythmPoll poll;
    poll.rhythms.push_back(playing);
    // A classic rhythm and the library one it is taught as read alike: only one is offered.
    const LibraryRhythm taught = catalogue::taughtAs(playing);
    for (const LibraryRhythm other : catalogue::commonConfusions(taught)) {
        const Rhythm option = rhythmOf(other);
        if (static_cast<int>(poll.rhythms.size()) < maxOptions && option != rhythmOf(taught) &&
            std::find(poll.rhythms.begin(), poll.rhythms.end(), option) == poll.rhythms.end()) {
            poll.rhythms.push_back(option);
        }
    }
    // A generator of full width: the right answer lands anywhere whatever the seed.
    QRandomGenerator random(seed);
    for (std::size_t i = poll.rhythms.size(); i > 1; --i) {
        const auto j = static_cast<std::size_t>(random.bounded(static_cast<quint32>(i)));
        std::swap(poll.rhythms[i - 1], poll.rhythms[j]);
    }
    poll.correct = static_cast<int>(std::find(poll.rhythms.begin(), poll.rhythms.end(), playing) -
                                    poll.rhythms.begin());
    return poll;
}

QStringList RhythmPoll::options(catalogue::Language language) const {
    QStringList texts;
    for (const Rhythm rhythm : rhythms) {
        texts << QString::fromUtf8(
            catalogue::nameOf(rhythm, language).data(),
            static_cast<qsizetype>(catalogue::nameOf(rhythm, language).size()));
    }
    return texts;
}

} // namespace pulsavo::classroom
