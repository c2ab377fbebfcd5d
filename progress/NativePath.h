#pragma once

#include <QByteArray>
#include <QString>

namespace pulsavo {

// File names are bytes on Linux and need not be UTF-8. A name read from the command line is
// carried in a QString with each byte that is not part of valid UTF-8 kept as the lone
// surrogate U+DC80 + (byte - 0x80), and turned back into the same bytes where the file is
// opened, so a name like "x\xffy.sqlite" reaches the file system unchanged.
inline QString pathFromNative(const QByteArray& bytes) {
    QString text;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const unsigned char lead = data[i];
        const int length = lead < 0x80             ? 1
                           : (lead & 0xe0) == 0xc0 ? 2
                           : (lead & 0xf0) == 0xe0 ? 3
                           : (lead & 0xf8) == 0xf0 ? 4
                                                   : 0;
        bool valid = length > 0 && i + length <= size;
        for (int k = 1; valid && k < length; ++k) {
            valid = (data[i + k] & 0xc0) == 0x80;
        }
        const QString piece = valid ? QString::fromUtf8(bytes.constData() + i, length) : QString();
        // The decoder refuses overlong forms and surrogates with U+FFFD: those bytes are kept too.
        if (valid && length > 1 && piece.contains(QChar::ReplacementCharacter)) {
            valid = false;
        }
        if (!valid) {
            text += QChar(static_cast<char16_t>(0xdc00 + lead));
            ++i;
            continue;
        }
        text += piece;
        i += length;
    }
    return text;
}

inline QByteArray nativeFromPath(const QString& path) {
    QByteArray bytes;
    QString run;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path[i];
        const char16_t code = c.unicode();
        // A low surrogate after a high one is half of a character beyond U+FFFF, not a byte.
        if (code >= 0xdc80 && code <= 0xdcff && (i == 0 || !path[i - 1].isHighSurrogate())) {
            bytes += run.toUtf8();
            run.clear();
            bytes += static_cast<char>(code - 0xdc00);
        } else {
            run += c;
        }
    }
    return bytes + run.toUtf8();
}

} // namespace pulsavo
