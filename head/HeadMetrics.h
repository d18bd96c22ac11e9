#pragma once

// The arithmetic of `MakeTransparent` and of showing a frame: how wide a frame is, how much of the strip is
// scanned for the outline, how large the window is and where the strip sits to show frame k. Window sizes
// and positions are kept in twips, the head window's unit; the outline is scanned in the strip's pixels.

namespace qz {

struct HeadMetrics {
    float frameWidthTwips = 0; // the strip's width in twips / 14, kept for the animation
    int scanWidth = 0;         // `pw`: columns of frame 0 scanned for the outline
    int scanHeight = 0;        // `ph`: rows scanned, the strip's height
    int windowWidth = 0;       // pixels: one frame
    int windowHeight = 0;      // pixels
};

// For a strip of `stripWidth` x `stripHeight` pixels on a screen of the given twips per pixel. The scan
// width is the frame width in twips x 3/43 rounded half to even (about 1.05 frames at 15 twips per pixel),
// but never less than the frame's own width, so a screen of fewer twips per pixel does not cut off the head's
// right-hand side.
HeadMetrics headMetrics(int stripWidth, int stripHeight, double twipsPerPixelX);

// The strip's left edge in pixels (0 or less) that shows `frame`: minus frame x frame width, rounded, and
// never so far left that the window would show columns beyond the strip's right edge.
int frameLeft(int frame, const HeadMetrics& metrics, double twipsPerPixelX, int stripWidth);

} // namespace qz
