// MakeTransparent's arithmetic and the placing of frames, for whole and fractional frame widths.

#include "head/HeadMetrics.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

struct MetricsCase {
    const char* name;
    int stripWidth;
    int stripHeight;
    double twipsPerPixel;
    float frameWidthTwips;
    int windowWidth;
    int scanWidth;
};

TEST(HeadMetrics, FrameWidthScanWidthAndWindowSize) {
    const MetricsCase cases[] = {
        {"1400 px at 15 twips: five columns scanned beyond the window", 1400, 200, 15, 1500, 100, 105},
        {"the shipped heads", 1680, 140, 15, 1800, 120, 126},
        {"a strip that is not a multiple of 14", 1401, 10, 15, 21015.f / 14, 100, 105},
        // The designed 3/43 gives 84 here and would cut off the head's right-hand 16 columns.
        {"12 twips per pixel still scans the whole frame", 1400, 200, 12, 1200, 100, 100},
        {"a double-density screen without scaling", 1400, 200, 7.5, 750, 100, 100},
        {"a strip narrower than 14 pixels keeps a window", 7, 3, 15, 7.5, 1, 1},
    };
    for (const MetricsCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HeadMetrics m = headMetrics(c.stripWidth, c.stripHeight, c.twipsPerPixel);
        EXPECT_FLOAT_EQ(m.frameWidthTwips, c.frameWidthTwips);
        EXPECT_EQ(m.windowWidth, c.windowWidth);
        EXPECT_EQ(m.windowHeight, c.stripHeight);
        EXPECT_EQ(m.scanWidth, c.scanWidth);
        EXPECT_EQ(m.scanHeight, c.stripHeight);
    }
}

TEST(HeadMetrics, NoPictureGivesFrameWidthZeroAndEveryFrameAtZero) {
    const HeadMetrics none = headMetrics(0, 0, 15);
    EXPECT_EQ(none.frameWidthTwips, 0);
    for (int k = 0; k < 14; ++k)
        EXPECT_EQ(frameLeft(k, none, 15, 0), 0);
}

TEST(HeadMetrics, FrameKSitsAtMinusKFrameWidths) {
    const HeadMetrics m = headMetrics(1680, 140, 15);
    for (int k = 0; k < 14; ++k)
        EXPECT_EQ(frameLeft(k, m, 15, 1680), -120 * k);
}

// Fractional frame widths start frames between pixels; whatever the rounding, the window shows only
// columns of the strip.
TEST(HeadMetrics, NoFrameReachesBeyondTheStrip) {
    for (int width : {14, 15, 20, 27, 97, 1400, 1401, 1406, 1407, 1413}) {
        const HeadMetrics m = headMetrics(width, 10, 15);
        for (int k = 0; k < 14; ++k) {
            const int left = frameLeft(k, m, 15, width);
            SCOPED_TRACE(testing::Message() << "width " << width << ", frame " << k);
            EXPECT_LE(left, 0);
            EXPECT_LE(-left + m.windowWidth, width);
            EXPECT_NEAR(-left, k * width / 14.0, 1.0);
        }
    }
}

} // namespace
} // namespace qz
