#pragma once

#include <QImage>
#include <QString>

// A QR code of text (an address), black on white with a quiet zone, each module scale pixels
// square. A null image when the text cannot be encoded.
QImage qrCodeImage(const QString &text, int scale = 4);
