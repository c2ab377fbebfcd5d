#pragma once

#include <QFont>
#include <QRect>

namespace pulsavo {

// The dialog font of the layouts: "MS UI Gothic" mapped onto the Japanese gothic fonts a
// Linux desktop has.
QFont dialogFont(int pointSize);

// Dialog units as the original platform converts them: a quarter of the average Latin letter
// width across, an eighth of the font height down, each coordinate rounded on its own.
struct DialogUnits {
    int baseX = 0;
    int baseY = 0;

    // The average width of A-Z a-z from the width of that 52-letter string, rounded the way the
    // original platform rounds it.
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
