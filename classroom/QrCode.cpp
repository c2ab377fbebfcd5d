#include "QrCode.h"

#include <qrencode.h>

#include <memory>

namespace pulsavo::classroom {

std::optional<QrCode> QrCode::encode(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    // Medium error correction: a code on a projector, photographed at an angle, still reads.
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> qr(
        QRcode_encodeString8bit(utf8.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!qr || qr->width <= 0) {
        return std::nullopt;
    }
    QrCode code;
    code.size = qr->width;
    code.modules.resize(static_cast<std::size_t>(qr->width) * static_cast<std::size_t>(qr->width));
    for (std::size_t i = 0; i < code.modules.size(); ++i) {
        code.modules[i] = (qr->data[i] & 1U) != 0;
    }
    return code;
}

} // namespace pulsavo::classroom
