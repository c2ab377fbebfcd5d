#pragma once

class QWidget;

namespace pulsavo {

// Shrinks a window that would not fit its screen's available area (a small laptop screen, or
// scaled to 200 %) and moves it inside, so that no button lies beyond the screen's edge.
void fitToScreen(QWidget* window);

} // namespace pulsavo
