#pragma once

#include <QString>

#include "StripPainter.h"

class QWidget;

namespace pulsavo {

class Monitor;

// What a saved strip may show. A question not yet answered keeps its answer: the trace alone,
// without the rhythm's name, the marking or the ladder.
enum class StripShows { everything, traceOnly };

inline constexpr int minimumStripSeconds = 6;
inline constexpr int maximumStripSeconds = 60;

// Writes the last `seconds` a monitor showed as a strip on ECG paper (PNG, SVG or PDF by the
// file's suffix), with the ladder when asked and the monitor keeps its waves: the picture
// pulsavo-strip draws for the same rhythms, seeds and ticks. Whole or not at all; false with the
// reason in `error` when it cannot.
bool saveMonitorStrip(const Monitor& monitor, const QString& path, int seconds, bool ladder,
                      QString* error = nullptr, StripShows shows = StripShows::everything);

// The strip saveMonitorStrip draws.
StripDescription monitorStrip(const Monitor& monitor, int seconds, bool ladder, StripShows shows);

// Asks how many seconds and where, then saves; a failure is shown in a message box.
void askAndSaveMonitorStrip(QWidget* parent, const Monitor& monitor, bool ladder,
                            StripShows shows = StripShows::everything);

} // namespace pulsavo
