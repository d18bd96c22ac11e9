#include "store/TextEncoding.h"

#include <QStringDecoder>

#include <array>

namespace qz {
namespace {

// Windows-1252 bytes 0x80-0x9F. The five bytes the code page leaves undefined map to the C1 control of the
// same value, so that any byte survives a decode and encode unchanged.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

TextEncoding detectEncoding(const QByteArray& bytes) {
    return isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

QString decodeText(const QByteArray& bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
        // A byte order mark is kept as a character so that it is written back.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(bytes);
    }
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (unsigned char byte : bytes) {
        *out++ = (byte >= 0x80 && byte < 0xA0) ? QChar(kHighControls[byte - 0x80]) : QChar(byte);
    }
    return text;
}

bool encodeText(const QString& text, TextEncoding encoding, QByteArray& out) {
    if (encoding == TextEncoding::Utf8) {
        out = text.toUtf8();
        return true;
    }
    out.resize(text.size());
    char* bytes = out.data();
    for (QChar ch : text) {
        char16_t unit = ch.unicode();
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
            *bytes++ = char(unit);
            continue;
        }
        bool found = false;
        for (std::size_t i = 0; i < kHighControls.size(); ++i) {
            if (kHighControls[i] == unit) {
                *bytes++ = char(0x80 + i);
                found = true;
                break;
            }
        }
        if (!found) return false;
    }
    return true;
}

} // namespace qz
