#include "tools/artwork/HeadStrip.h"

#include <QPainter>

#include <vector>

#include "tools/artwork/ArtError.h"
#include "tools/artwork/ArtMarkup.h"
#include "tools/artwork/Rendering.h"

namespace qz::artwork {

namespace {

constexpr int kOutlineCoverage = 128; // a pixel half covered or more belongs to the figure
constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kWhiteInsideFigure = 0xfffefefe;

std::vector<bool> figureMask(const QImage& drawn) {
    std::vector<bool> mask(size_t(drawn.width()) * size_t(drawn.height()));
    for (int y = 0; y < drawn.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        for (int x = 0; x < drawn.width(); ++x)
            mask[size_t(y) * size_t(drawn.width()) + size_t(x)] = qAlpha(row[x]) >= kOutlineCoverage;
    }
    return mask;
}

QImage hardEdged(const QImage& drawn, const std::vector<bool>& restMask, QRgb outline) {
    QImage onOutline = overBackground(drawn, outline);
    for (int y = 0; y < drawn.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(onOutline.scanLine(y));
        for (int x = 0; x < drawn.width(); ++x) {
            if (!restMask[size_t(y) * size_t(drawn.width()) + size_t(x)])
                row[x] = kWhite;
            else if (row[x] == kWhite)
                row[x] = kWhiteInsideFigure;
        }
    }
    return onOutline;
}

std::string outlineProblem(int frame, const std::vector<bool>& mask, const std::vector<bool>& restMask) {
    int outside = 0;
    int uncovered = 0;
    for (size_t i = 0; i < mask.size(); ++i) {
        outside += mask[i] && !restMask[i];
        uncovered += !mask[i] && restMask[i];
    }
    if (outside == 0 && uncovered == 0) return {};
    return "frame " + std::to_string(frame) + " draws " + std::to_string(outside) +
           " pixels outside the rest pose's outline and leaves " + std::to_string(uncovered) +
           " pixels inside it bare; ";
}

} // namespace

quint8 headVoice(const QByteArray& source) {
    bool ok = false;
    const int voice = rootArtAttribute(source, QStringLiteral("voice")).toInt(&ok);
    if (!ok || voice < 0 || voice > 255) throw ArtError("a head needs qz:voice, a number from 0 to 255");
    return quint8(voice);
}

QImage drawHeadStrip(const QByteArray& source) {
    const QSize frameSize = svgSize(source);
    const QRgb outline = parseColour(rootArtAttribute(source, QStringLiteral("outline")), "qz:outline");
    const QImage rest = renderSvg(svgForFrame(source, 0), frameSize);
    const std::vector<bool> restMask = figureMask(rest);

    QImage strip(frameSize.width() * kHeadFrames, frameSize.height(), QImage::Format_RGB32);
    QPainter painter(&strip);
    std::string problems;
    for (int frame = 0; frame < kHeadFrames; ++frame) {
        const bool neverShown = frame >= 5 && frame <= 7;
        const QImage drawn = neverShown ? rest : renderSvg(svgForFrame(source, frame), frameSize);
        problems += outlineProblem(frame, figureMask(drawn), restMask);
        painter.drawImage(frame * frameSize.width(), 0, hardEdged(drawn, restMask, outline));
    }
    if (!problems.empty()) throw ArtError(problems.substr(0, problems.size() - 2));
    return strip;
}

} // namespace qz::artwork
