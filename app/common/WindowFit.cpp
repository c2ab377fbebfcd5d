#include "WindowFit.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace pulsavo {

void fitToScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) {
        return;
    }
    const QRect available = screen->availableGeometry();
    // Before the window is shown its frame is not known: leave room for a title bar and borders.
    const int titleBar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8;
    const QSize frame =
        window->isVisible() ? window->frameGeometry().size() - window->size() : QSize(8, titleBar);
    const QSize room = available.size() - frame;
    window->resize(window->size().boundedTo(room));
    const QRect placed = window->frameGeometry();
    const int x = std::clamp(placed.x(), available.left(),
                             std::max(available.left(), available.right() - placed.width() + 1));
    const int y = std::clamp(placed.y(), available.top(),
                             std::max(available.top(), available.bottom() - placed.height() + 1));
    window->move(x, y);
}

QString askSaveFileName(QWidget* parent, const QString& title, const QString& suggested,
                        const QString& filter) {
    // A bare name is offered in the working folder, as getSaveFileName offers it.
    const QFileInfo offered(suggested);
    QFileDialog dialog(parent, title,
                       offered.path() == QLatin1String(".") ? QString() : offered.path(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(offered.fileName());
    fitToScreen(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace pulsavo
