#pragma once

#include "DebriefLog.h"

#include <QWidget>

#include <optional>

class QPainter;
class QPushButton;
class QTreeWidget;

namespace pulsavo {

// The debrief log as it grows: one row per entry, time-stamped from the session's start, and
// "PDF に保存" with a timeline strip of the session above the rows.
class DebriefPanel : public QWidget {
    Q_OBJECT
public:
    explicit DebriefPanel(const scenario::DebriefLog& log, QWidget* parent = nullptr);

    // Shows the entries added since the last call.
    void refresh();
    int shownRows() const;
    // Writes the PDF atomically; the reason when it could not.
    std::optional<QString> savePdf(const QString& path) const;

    static QString kindName(scenario::EntryKind kind);
    static QString timeText(long long tick);
    // A logged subject or value as shown: a rhythm's id by the rhythm's name.
    static QString shownText(const QString& text);
    // The session from its first to `endTick` as a strip: scenario steps as bands, changes and
    // events as marks.
    static void paintTimeline(QPainter& painter, const QRectF& area,
                              const std::vector<scenario::DebriefEntry>& entries,
                              long long endTick);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    QStringList rowTexts(const scenario::DebriefEntry& entry) const;
    void chooseFile();

    const scenario::DebriefLog& log;
    QTreeWidget* rows = nullptr;
    QPushButton* pdfButton = nullptr;
};

} // namespace pulsavo
