#include "Monitor.h"

#include <QImage>

#include <algorithm>
#include <limits>

namespace pulsavo {

Monitor::Monitor(int width, int height, int historyTicks)
    : scope(width, height), ring(static_cast<std::size_t>(std::max(1, historyTicks))),
      columnTicks(static_cast<std::size_t>(std::max(0, width)) + 1, 0) {
    model.setWaveListener(&listener);
}

void Monitor::setPanelSize(int width, int height) {
    QImage kept = scope.paper;
    const Sweep::Highlight style = scope.highlight();
    scope = Sweep(width, height);
    scope.paper = std::move(kept);
    scope.setHighlight(style);
    columnTicks.assign(static_cast<std::size_t>(std::max(0, width)) + 1, 0);
}

void Monitor::setHighlight(Sweep::Highlight style) {
    scope.setHighlight(style);
}

void Monitor::setSurface(QImage* image) {
    surface = image;
    scope.forgetDrawn();
}

void Monitor::setPaper(const QImage& image) {
    scope.paper = image;
    scope.forgetDrawn();
}

void Monitor::surfaceChanged() {
    scope.forgetDrawn();
}

std::vector<WaveEvent> Monitor::events() const {
    return events(std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max());
}

void Monitor::Listener::onWave(const WaveEvent& event) {
    owner.qrsTone.onWave(event);
    if (owner.ward) {
        owner.meter.onWave(event);
    }
    if (owner.recorder) {
        owner.recorder->onWave(event);
    }
}

std::optional<long long> Monitor::tickAt(int column) const {
    if (column < 0 || static_cast<std::size_t>(column) >= columnTicks.size() ||
        columnTicks[static_cast<std::size_t>(column)] == 0) {
        return std::nullopt;
    }
    return columnTicks[static_cast<std::size_t>(column)];
}

std::optional<int> Monitor::columnOf(long long tick) const {
    if (tick <= 0) {
        return std::nullopt;
    }
    const auto at = std::find(columnTicks.begin(), columnTicks.end(), tick);
    if (at == columnTicks.end()) {
        return std::nullopt;
    }
    return static_cast<int>(at - columnTicks.begin());
}

// A column keeps the tick of the segment ending there until the wipe passes over it; the
// wipe's first column is where the new segment starts, so it keeps the tick drawn before.
void Monitor::noteColumns(const Sweep::Step& drawn, long long tick) {
    const long long start = tickAt(drawn.from.x()).value_or(0);
    for (const QRect& rect : drawn.wipe) {
        if (rect.isEmpty()) {
            continue;
        }
        const auto first = static_cast<std::size_t>(std::max(0, rect.left()));
        const auto last =
            std::min(static_cast<std::size_t>(std::max(0, rect.right())) + 1, columnTicks.size());
        std::fill(columnTicks.begin() + static_cast<std::ptrdiff_t>(std::min(first, last)),
                  columnTicks.begin() + static_cast<std::ptrdiff_t>(last), 0);
    }
    const auto put = [this](int column, long long tick) {
        if (column >= 0 && static_cast<std::size_t>(column) < columnTicks.size()) {
            columnTicks[static_cast<std::size_t>(column)] = tick;
        }
    };
    put(drawn.from.x(), start);
    put(drawn.to.x(), tick);
}

void Monitor::select(std::optional<Rhythm> rhythm, std::uint32_t seed) {
    model.selectRhythm(rhythm, seed);
    decisions.push_back({ticks + 1, model.rhythm(), seed});
}

void Monitor::setPaused(bool on) {
    const bool changed = paused != on;
    paused = on;
    if (on && onSilence) {
        onSilence();
    }
    if (changed && onPausedChanged) {
        onPausedChanged(on);
    }
}

bool Monitor::setScenarioVitals(const ScenarioVitals& vitals) {
    if (vitalsProblem(vitals)) {
        return false;
    }
    entered = vitals;
    if (entered.bloodPressure && !entered.bloodPressure->takenAtTick) {
        entered.bloodPressure->takenAtTick = ticks;
    }
    if (entered.saturation) {
        model.setSaturation(*entered.saturation);
    }
    return true;
}

void Monitor::freshModel(long long tick) {
    const Artifact laid = model.artifactLayer();
    const bool pleth = model.plethEnabled();
    const int saturation = model.plethChannel().saturationSetting();
    auto told = std::move(model.onLive);
    model = Simulation();
    model.tickCount = tick;
    model.onLive = std::move(told);
    model.setWaveListener(&listener);
    for (const ArtifactKind kind : allArtifactKinds) {
        model.setArtifact(kind, laid.strength(kind));
    }
    model.enablePleth(pleth);
    model.setSaturation(saturation);
    qrsTone.clear();
}

void Monitor::renewModel() {
    if (onSilence) {
        onSilence();
    }
    freshModel(model.tickCount);
}

void Monitor::restart() {
    if (onSilence) {
        onSilence();
    }
    freshModel(0);
    meter.reset();
    alarmSystem.reset();
    if (recorder) {
        recorder->clear();
    }
    if (entered.bloodPressure && entered.bloodPressure->takenAtTick) {
        // Counted back from the new tick 0, so the reading keeps its age.
        *entered.bloodPressure->takenAtTick -= ticks;
    }
    ticks = 0;
    latestSample = TickSample();
    ringNext = 0;
    ringSize = 0;
    decisions.clear();
}

void Monitor::setWard(bool on) {
    ward = on;
    model.enablePleth(on);
    meter.reset();
    alarmSystem.reset();
}

void Monitor::setPlethSurface(QImage* image, int width, int height) {
    plethSurface = image;
    plethScope = image != nullptr ? Sweep(width, height) : Sweep(0, 0);
    plethScope.normalPen.setColor(plethColour);
    plethAligned = false;
    plethY = height - 1;
}

// What the monitor reads from the tick just drawn, in the order a bedside monitor reads it.
void Monitor::readWard() {
    const Artifact& laid = model.artifactLayer();
    meter.step(model.tickCount, laid.leadOff());
    VitalSigns vitals;
    vitals.heartRate = meter.rate();
    vitals.asystole = meter.asystole();
    vitals.fibrillation = meter.fibrillation();
    vitals.ventricularTachycardia = meter.ventricularTachycardia();
    vitals.leadOff = laid.leadOff();
    for (const ArtifactKind kind :
         {ArtifactKind::tremor, ArtifactKind::mains, ArtifactKind::motion, ArtifactKind::cpr}) {
        vitals.noise = vitals.noise || laid.strength(kind) >= noiseStrength;
    }
    vitals.saturation = model.plethChannel().saturation();
    alarmSystem.step(vitals);
}

void Monitor::showPleth(Sweep::Changes& changed) {
    const int height = plethScope.height;
    const int top = plethHeadroom;
    TickSample sample;
    sample.fromY = plethY;
    sample.y = height - 1 - model.pleth() * (height - 1 - top) / 100;
    plethY = sample.y;
    // Under the ECG's cursor, so that a pulse stands below the beat it follows; set on the
    // first tick, when a layout has sized both panels.
    if (!plethAligned && plethScope.width == scope.width) {
        plethScope.sweepX = latestStep.from.x();
        plethAligned = true;
    }
    plethScope.paintInto(*plethSurface, plethScope.advance(sample), changed);
}

// Waves come at most about one per four ticks (fibrillating atria), so half a slot per tick of
// the sample history keeps all of them with room to spare, including those laid ahead.
void Monitor::setEventHistory(bool on) {
    if (on && !recorder) {
        recorder = std::make_unique<WaveRecorder>(ring.size() / 2 + 256);
    } else if (!on && recorder) {
        recorder.reset();
    }
}

std::vector<WaveEvent> Monitor::events(long long firstTick, long long lastTick) const {
    return recorder ? recorder->events(firstTick, lastTick) : std::vector<WaveEvent>();
}

int Monitor::run(int count) {
    if (paused || count <= 0) {
        return 0;
    }
    Sweep::Changes changed;
    Sweep::Changes plethChanged;
    QImage* painted = surface != nullptr && !surface->isNull() ? surface : nullptr;
    const bool pleth = plethSurface != nullptr && !plethSurface->isNull();
    for (int i = 0; i < count; ++i) {
        step(painted, changed);
        if (pleth) {
            showPleth(plethChanged);
        }
    }
    if (onRepaint && !changed.isEmpty()) {
        onRepaint(changed.region());
    }
    if (onPlethRepaint && !plethChanged.isEmpty()) {
        onPlethRepaint(plethChanged.region());
    }
    if (onUpcoming) {
        onUpcoming(ticksUntilTone());
    }
    return count;
}

int Monitor::ticksUntilTone() const {
    if (tone == ToneMode::qrs) {
        const std::optional<std::int64_t> peak = qrsTone.nextPeak();
        if (!peak || *peak <= model.tickCount) {
            return nothingDue;
        }
        return static_cast<int>(
            std::min<std::int64_t>(*peak - model.tickCount, std::numeric_limits<int>::max()));
    }
    const int ahead = model.ticksUntilBeep();
    return ahead == nothingDue ? nothingDue : ahead + 1;
}

void Monitor::show(const TickSample& sample, long long tick, QImage* painted,
                   Sweep::Changes& changed) {
    latestStep = scope.advance(sample);
    noteColumns(latestStep, tick);
    if (painted != nullptr) {
        Sweep::Step shown = latestStep;
        shown.red = shown.red && marking;
        scope.paintInto(*painted, shown, changed);
    }
}

// The sweep only ever draws a sample from its own fromY to its y, so replaying the samples of
// a pass through a sweep of the new size puts the same segments in the same places.
void Monitor::redrawAt(int width, int height) {
    const int column = scope.sweepX;
    setPanelSize(width, height);
    const int pass = width - 2;
    const std::vector<TickSample> shown = history(pass);
    if (pass < 1 || shown.empty()) {
        return;
    }
    const auto count = static_cast<int>(shown.size());
    // The last sample ends at `end`, so the first starts count - 1 columns before it, wrapped.
    const int end = std::clamp(column, 2, width - 1);
    scope.sweepX = ((end - 1 - count) % pass + pass) % pass + 1;
    QImage* painted = surface != nullptr && !surface->isNull() ? surface : nullptr;
    Sweep::Changes changed;
    long long tick = ticks - count;
    for (const TickSample& sample : shown) {
        show(sample, ++tick, painted, changed);
    }
}

void Monitor::preRoll(int count) {
    for (int i = 0; i < count; ++i) {
        model.step();
        ++ticks;
        // Peaks passed unseen must not sound late on the first tick shown.
        qrsTone.sounds(model.tickCount);
    }
}

// The order of one tick, the same for every monitor in every program.
void Monitor::step(QImage* painted, Sweep::Changes& changed) {
    if (beforeStep) {
        beforeStep();
    }
    latestSample = model.step();
    ++ticks;
    show(latestSample, ticks, painted, changed);
    ring[ringNext] = latestSample;
    ringNext = (ringNext + 1) % ring.size();
    ringSize = std::min(ringSize + 1, ring.size());
    // The QRS tone is asked every tick in either mode, so that switching modes finds no
    // stale peaks waiting.
    // With a lead off the monitor hears no beat, though the heart's waves go on underneath.
    const bool qrsBeat = qrsTone.sounds(model.tickCount) && !model.artifactLayer().leadOff();
    const bool sounds = tone == ToneMode::qrs ? qrsBeat : latestSample.beep;
    if (sounds && onTone) {
        onTone();
    }
    if (ward) {
        readWard();
    }
}

std::vector<TickSample> Monitor::history(int count) const {
    const std::size_t n = std::min(ringSize, static_cast<std::size_t>(std::max(0, count)));
    std::vector<TickSample> samples;
    samples.reserve(n);
    std::size_t at = (ringNext + ring.size() - n) % ring.size();
    for (std::size_t i = 0; i < n; ++i) {
        samples.push_back(ring[at]);
        at = (at + 1) % ring.size();
    }
    return samples;
}

} // namespace pulsavo
