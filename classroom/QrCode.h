#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace pulsavo::classroom {

// A QR code of the page's address for phones to scan, as modules for a window to paint; the
// classroom itself draws nothing.
struct QrCode {
    int size = 0;              // modules per side, without the quiet zone
    std::vector<bool> modules; // row by row, true = dark

    bool dark(int x, int y) const {
        return modules[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) +
                       static_cast<std::size_t>(x)];
    }

    // None when the text is too long for a QR code (or memory runs out).
    static std::optional<QrCode> encode(const QString& text);
};

} // namespace pulsavo::classroom
