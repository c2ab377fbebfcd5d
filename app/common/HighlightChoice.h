#pragma once

#include "Sweep.h"

#include <QObject>

namespace pulsavo {

// How monitors mark what to notice, one choice for every window: the learner who needs the
// colour-blind style needs it in practice as much as in the classic dialog. Remembered in the
// settings; open windows follow `changed`.
class HighlightChoice : public QObject {
    Q_OBJECT
public:
    // The application's one, made on first use.
    static HighlightChoice& instance();

    // The remembered style; red when none or an unknown one is stored.
    static Sweep::Highlight stored();
    // Remembers `style` and tells every window.
    void choose(Sweep::Highlight style);

signals:
    void changed(Sweep::Highlight style);

private:
    explicit HighlightChoice(QObject* parent);
};

} // namespace pulsavo
