#pragma once

#include <QString>

#include <optional>

namespace pulsavo::classroom {

// The code learners type to join a class: six characters from an alphabet without the ones a
// projector or a hurried hand confuses (0/O, 1/I/L).
class SessionCode {
public:
    static constexpr int length = 6;
    static constexpr char alphabet[] = "ABCDEFGHJKMNPQRSTUVWXYZ23456789";
    static constexpr int alphabetSize = sizeof(alphabet) - 1;

    // A fresh code from the system's random source.
    static QString generate();
    // The code as typed (any case, spaces and dashes between groups) in its canonical form, or
    // none when it cannot be a code.
    static std::optional<QString> normalise(const QString& typed);
};

} // namespace pulsavo::classroom
