#include "HighlightChoice.h"

#include "Settings.h"

#include <QCoreApplication>
#include <QPointer>

#include <array>
#include <utility>

namespace pulsavo {

namespace {

// The styles as stored in the settings.
constexpr std::array<std::pair<Sweep::Highlight, const char*>, 3> storedNames{{
    {Sweep::Highlight::red, "red"},
    {Sweep::Highlight::thick, "thick"},
    {Sweep::Highlight::colourBlindSafe, "colourBlindSafe"},
}};

} // namespace

HighlightChoice::HighlightChoice(QObject* parent) : QObject(parent) {}

HighlightChoice& HighlightChoice::instance() {
    // Owned by the application object, so it goes before Qt does.
    static QPointer<HighlightChoice> choice;
    if (choice.isNull()) {
        choice = new HighlightChoice(QCoreApplication::instance());
    }
    return *choice;
}

Sweep::Highlight HighlightChoice::stored() {
    const QString name = Settings().highlight();
    for (const auto& [style, each] : storedNames) {
        if (name == QLatin1String(each)) {
            return style;
        }
    }
    return Sweep::Highlight::red;
}

void HighlightChoice::choose(Sweep::Highlight style) {
    for (const auto& [each, name] : storedNames) {
        if (each == style) {
            Settings().setHighlight(QLatin1String(name));
        }
    }
    emit changed(style);
}

} // namespace pulsavo
