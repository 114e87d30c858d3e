#include "QrCode.h"

#include <qrencode.h>

#include <algorithm>
#include <memory>

namespace {
// Scanners need this much white around the symbol.
constexpr int QuietZone = 4;
// Well beyond any address, and small enough that the image cannot overflow.
constexpr int MaxSide = 8192;
} // namespace

QImage qrCodeImage(const QString &text, int scale)
{
    const QByteArray utf8 = text.toUtf8();
    // The encoder reads a C string: a NUL would cut the text short without a word.
    if (utf8.isEmpty() || utf8.contains('\0') || scale < 1)
        return {};
    // Level M survives a scuffed print-out; 8-bit mode keeps the case of the address.
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (!code)
        return {};
    const int modules = code->width + 2 * QuietZone;
    if (modules > MaxSide / scale)
        return {};
    QImage image(modules * scale, modules * scale, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            // Bit 0 is the module's colour; the other bits say what the module belongs to.
            if (!(code->data[y * code->width + x] & 1))
                continue;
            const int left = (x + QuietZone) * scale, top = (y + QuietZone) * scale;
            for (int row = top; row < top + scale; ++row)
                std::fill_n(image.scanLine(row) + left, scale, uchar(0));
        }
    }
    return image;
}
