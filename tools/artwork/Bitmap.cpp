#include "tools/artwork/Bitmap.h"

#include <QBuffer>

namespace qz::artwork {

namespace {

void putLittleEndian(QByteArray& bytes, quint32 value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.append(char((value >> (8 * i)) & 0xff));
}

} // namespace

QByteArray bitmapFile(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const int rowSize = (rgb.width() * 3 + 3) / 4 * 4;
    const quint32 pixelBytes = quint32(rowSize) * quint32(rgb.height());
    constexpr quint32 headersSize = 14 + 40;
    constexpr quint32 pixelsPerMetre = 3780; // 96 DPI

    QByteArray bytes;
    bytes.reserve(int(headersSize + pixelBytes));
    bytes.append("BM");
    putLittleEndian(bytes, headersSize + pixelBytes, 4);
    putLittleEndian(bytes, 0, 4); // reserved
    putLittleEndian(bytes, headersSize, 4);
    putLittleEndian(bytes, 40, 4); // information header size
    putLittleEndian(bytes, quint32(rgb.width()), 4);
    putLittleEndian(bytes, quint32(rgb.height()), 4); // positive: rows stored bottom-up
    putLittleEndian(bytes, 1, 2);                     // planes
    putLittleEndian(bytes, 24, 2);                    // bits per pixel
    putLittleEndian(bytes, 0, 4);                     // no compression
    putLittleEndian(bytes, pixelBytes, 4);
    putLittleEndian(bytes, pixelsPerMetre, 4);
    putLittleEndian(bytes, pixelsPerMetre, 4);
    putLittleEndian(bytes, 0, 4); // colours used
    putLittleEndian(bytes, 0, 4); // important colours
    for (int y = rgb.height() - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            bytes.append(char(qBlue(row[x])));
            bytes.append(char(qGreen(row[x])));
            bytes.append(char(qRed(row[x])));
        }
        bytes.append(rowSize - rgb.width() * 3, '\0');
    }
    return bytes;
}

QByteArray characterFile(const QImage& strip, quint8 voice) {
    QByteArray bytes = bitmapFile(strip);
    bytes[0] = char(voice);
    return bytes;
}

QByteArray pngFile(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

} // namespace qz::artwork
