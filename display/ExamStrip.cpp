#include "ExamStrip.h"

namespace pulsavo {

void startExamQuestion(Monitor& monitor, Rhythm rhythm, std::uint32_t seed) {
    monitor.restart();
    monitor.select(rhythm, seed);
}

StripDescription examQuestionStrip(Rhythm rhythm, std::uint32_t seed, const QStringList& caption,
                                   ArtifactKind artifact, int artifactStrength) {
    // Samples do not depend on the panel's size, only the picture does; a headless monitor.
    Monitor monitor(examStripTicks, defaultPanelHeight, examStripTicks);
    monitor.simulation().setArtifact(artifact, artifactStrength);
    startExamQuestion(monitor, rhythm, seed);
    monitor.run(examStripTicks);

    StripDescription description;
    description.style = StripStyle::strip;
    description.grid = true;
    // Red segments point at what is abnormal: on an exam they would give the answer away.
    description.marking = false;
    description.height = defaultPanelHeight;
    description.rowSeconds = examStripTicks / ticksPerSecond;
    description.firstTick = 1;
    description.lastTick = examStripTicks;
    description.samples = monitor.history(examStripTicks);
    description.caption = caption;
    return description;
}

} // namespace pulsavo
