#include "head/HeadMetrics.h"

#include "head/HeadAnimation.h"

#include <algorithm>
#include <cmath>

namespace qz {

HeadMetrics headMetrics(int stripWidth, int stripHeight, double twipsPerPixelX) {
    HeadMetrics m;
    if (stripWidth <= 0 || stripHeight <= 0 || twipsPerPixelX <= 0) return m;
    const float stripTwips = float(stripWidth * twipsPerPixelX);
    m.frameWidthTwips = stripTwips / float(HeadFrame::Count);
    const double framePixels = m.frameWidthTwips / twipsPerPixelX;
    // nearbyint rounds half to even in the default rounding mode, as the conversion always has.
    const int designed = int(std::nearbyint(double(m.frameWidthTwips) * 0.0697674418604651));
    m.scanWidth = std::max(designed, int(std::ceil(framePixels - 1e-6)));
    m.scanHeight = stripHeight;
    m.windowWidth = std::max(1, int(std::lround(framePixels)));
    // The window is ph x twips per pixel twips high: ph pixels.
    m.windowHeight = m.scanHeight;
    return m;
}

int frameLeft(int frame, const HeadMetrics& metrics, double twipsPerPixelX, int stripWidth) {
    if (metrics.frameWidthTwips <= 0 || twipsPerPixelX <= 0) return 0;
    const double leftTwips = -double(frame) * double(metrics.frameWidthTwips);
    const int left = int(std::lround(leftTwips / twipsPerPixelX));
    // A strip whose width is not a multiple of 14 gives fractional frame edges; rounding both the edge and
    // the window's width could reach one column past the strip.
    return std::clamp(left, std::min(0, metrics.windowWidth - stripWidth), 0);
}

} // namespace qz
