#pragma once

class QString;
class QWidget;

namespace pulsavo {

// Shrinks a window that would not fit its screen's available area (a small laptop screen, or
// scaled to 200 %) and moves it inside, so that no button lies beyond the screen's edge.
void fitToScreen(QWidget* window);

// Asks where to save, as QFileDialog::getSaveFileName does, in a dialog fitted to the screen: at
// 200 % on a short screen Qt's own dialog reached past the bottom edge. Empty when cancelled.
QString askSaveFileName(QWidget* parent, const QString& title, const QString& suggested,
                        const QString& filter);

} // namespace pulsavo
