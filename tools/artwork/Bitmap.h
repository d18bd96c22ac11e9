#pragma once

#include <QByteArray>
#include <QImage>

namespace qz::artwork {

// An uncompressed 24-bit Windows bitmap file of `picture` (rows bottom-up, each padded to 4 bytes,
// 96 DPI), the format the program's decoders and every image viewer read.
QByteArray bitmapFile(const QImage& picture);

// A character file: the bitmap file of the frame strip with its first byte replaced by the voice byte.
QByteArray characterFile(const QImage& strip, quint8 voice);

// A PNG file of `picture`.
QByteArray pngFile(const QImage& picture);

} // namespace qz::artwork
