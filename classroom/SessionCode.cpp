#include "SessionCode.h"

#include <QRandomGenerator>

namespace pulsavo::classroom {

QString SessionCode::generate() {
    QString code;
    code.reserve(length);
    for (int i = 0; i < length; ++i) {
        code += QLatin1Char(alphabet[QRandomGenerator::system()->bounded(alphabetSize)]);
    }
    return code;
}

std::optional<QString> SessionCode::normalise(const QString& typed) {
    if (typed.size() > 4 * length) {
        return std::nullopt;
    }
    QString code;
    for (const QChar c : typed) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('-')) {
            continue;
        }
        const char upper = c.toUpper().toLatin1();
        if (upper == 0 || std::string_view(alphabet).find(upper) == std::string_view::npos) {
            return std::nullopt;
        }
        code += QLatin1Char(upper);
    }
    if (code.size() != length) {
        return std::nullopt;
    }
    return code;
}

} // namespace pulsavo::classroom
