#pragma once

#include <QFont>
#include <QRect>

namespace pulsavo {

// The dialog font of the layouts: "MS UI Gothic" mapped onto the Japanese gothic fonts a
// Linux desktop has.
QFont dialogFont(int pointSize);

// Dialog units, in which the classic layout is given so that it scales with its font: a quarter
// of the average Latin letter width across, an eighth of the font height down. Each coordinate
// is rounded on its own, so a control's edge is a whole pixel wherever it lies.
struct DialogUnits {
    int baseX = 0;
    int baseY = 0;

    // The average width of A-Z a-z from the width of that 52-letter string, in whole pixels,
    // halves rounded up: one width for every string of letters the controls show.
    static int baseXForTextWidth(int width) { return (width / 26 + 1) / 2; }
    static DialogUnits forFont(const QFont& font);

    int x(int units) const { return muldiv(units, baseX, 4); }
    int y(int units) const { return muldiv(units, baseY, 8); }
    QRect rect(int left, int top, int width, int height) const {
        return QRect(x(left), y(top), x(width), y(height));
    }

private:
    static int muldiv(int value, int numerator, int denominator) {
        const long long product = static_cast<long long>(value) * numerator * 2;
        const long long half = product >= 0 ? denominator : -denominator;
        return static_cast<int>((product + half) / (2LL * denominator));
    }
};

} // namespace pulsavo
