// The committed artwork is what the generator draws, and each file keeps the terms of its format: a head
// is a 14-frame bitmap with its voice byte and an outline cut exactly along white, an icon strip shows
// its two frames on their rows' backgrounds.

#include "tools/artwork/ArtError.h"
#include "tools/artwork/ArtMarkup.h"
#include "tools/artwork/HeadStrip.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <map>

namespace qz::artwork {
namespace {

const QString kSource = QStringLiteral(QZ_SOURCE_DIR);
constexpr QRgb kWhite = 0xffffffff;

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 littleEndian(const QByteArray& bytes, int at, int size) {
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | quint8(bytes[at + i]);
    return value;
}

// Reads the headers the way a plain bitmap decoder does and fails the test on anything but an
// uncompressed 24-bit bitmap of the expected size; returns the decoded picture.
QImage readBitmap(QByteArray bytes, const QString& name, int width, int height) {
    SCOPED_TRACE(name.toStdString());
    EXPECT_GE(bytes.size(), 54);
    if (bytes.size() < 54) return {};
    bytes[0] = 'B'; // a character file keeps its voice here
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(littleEndian(bytes, 2, 4), quint32(bytes.size())) << "file size in the header";
    EXPECT_EQ(littleEndian(bytes, 14, 4), 40u) << "information header";
    EXPECT_EQ(littleEndian(bytes, 18, 4), quint32(width));
    EXPECT_EQ(littleEndian(bytes, 22, 4), quint32(height));
    EXPECT_EQ(littleEndian(bytes, 28, 2), 24u) << "bits per pixel";
    EXPECT_EQ(littleEndian(bytes, 30, 4), 0u) << "compression";
    EXPECT_EQ(littleEndian(bytes, 10, 4) + quint32((width * 3 + 3) / 4 * 4 * height), quint32(bytes.size()));
    QImage picture = QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(picture.size(), QSize(width, height));
    return picture;
}

QStringList filesIn(const QString& folder, const QString& pattern) {
    return QDir(kSource + "/" + folder).entryList({pattern}, QDir::Files, QDir::Name);
}

TEST(Artwork, TheGeneratorRedrawsEveryCommittedFileByteForByte) {
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess generator;
    generator.start(QStringLiteral(QZ_ARTWORK_TOOL), {"--out", out.path()});
    ASSERT_TRUE(generator.waitForFinished(120000));
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();

    QStringList drawn;
    for (QDirIterator it(out.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        drawn << QDir(out.path()).relativeFilePath(it.next());
    drawn.sort();
    for (const QString& path : drawn) {
        EXPECT_TRUE(readFile(out.path() + "/" + path) == readFile(kSource + "/" + path))
            << path.toStdString()
            << " is not what the generator draws; run: cmake --build build --target artwork";
    }
    // And no committed picture in those places is left over from somewhere else.
    const std::pair<const char*, const char*> places[] = {{"content/character", "*.qzc"},
                                                          {"content/data", "*.bmp"},
                                                          {"listview/resources", "*.bmp"},
                                                          {"shell/resources", "*.png"}};
    for (const auto& [folder, pattern] : places) {
        for (const QString& name : filesIn(folder, pattern)) {
            const QString path = QString(folder) + "/" + name;
            EXPECT_TRUE(drawn.contains(path)) << path.toStdString() << " has no source in tools/artwork/art";
        }
    }
}

// Every pixel of frame 0 that is not white but touches white is where the window's outline runs.
bool touchesWhite(const QImage& strip, int x, int y, int frameWidth) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx;
            const int ny = y + dy;
            if (nx >= 0 && nx < frameWidth && ny >= 0 && ny < strip.height() && strip.pixel(nx, ny) == kWhite)
                return true;
        }
    }
    return false;
}

// White pixels of frame 0 that cannot be reached from the frame's border through white: pinholes.
int enclosedWhite(const QImage& strip, int frameWidth) {
    const int height = strip.height();
    std::vector<bool> reached(size_t(frameWidth * height));
    std::deque<QPoint> queue;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= frameWidth || y >= height) return;
        if (reached[size_t(y * frameWidth + x)] || strip.pixel(x, y) != kWhite) return;
        reached[size_t(y * frameWidth + x)] = true;
        queue.push_back({x, y});
    };
    for (int x = 0; x < frameWidth; ++x)
        visit(x, 0), visit(x, height - 1);
    for (int y = 0; y < height; ++y)
        visit(0, y), visit(frameWidth - 1, y);
    while (!queue.empty()) {
        const QPoint p = queue.front();
        queue.pop_front();
        visit(p.x() + 1, p.y()), visit(p.x() - 1, p.y()), visit(p.x(), p.y() + 1), visit(p.x(), p.y() - 1);
    }
    int enclosed = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < frameWidth; ++x)
            enclosed += strip.pixel(x, y) == kWhite && !reached[size_t(y * frameWidth + x)];
    return enclosed;
}

bool sameFrame(const QImage& strip, int a, int b, int frameWidth) {
    return strip.copy(a * frameWidth, 0, frameWidth, strip.height()) ==
           strip.copy(b * frameWidth, 0, frameWidth, strip.height());
}

TEST(Artwork, HeadsAreCharacterFilesCutCleanlyAlongWhite) {
    const std::map<QString, int> voices = {{"Cat.qzc", 1}, {"Robot.qzc", 0}, {"Sam.qzc", 2}};
    ASSERT_EQ(filesIn("content/character", "*.qzc"), QStringList({"Cat.qzc", "Robot.qzc", "Sam.qzc"}));
    for (const auto& [name, voice] : voices) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = readFile(kSource + "/content/character/" + name);
        ASSERT_GT(bytes.size(), 26);
        EXPECT_EQ(quint8(bytes[0]), voice) << "voice byte";
        const int width = int(littleEndian(bytes, 18, 4));
        const int height = int(littleEndian(bytes, 22, 4));
        ASSERT_EQ(width % kHeadFrames, 0);
        const int frameWidth = width / kHeadFrames;
        EXPECT_GE(frameWidth, 100);
        EXPECT_LE(frameWidth, 140);
        const QImage strip = readBitmap(bytes, name, width, height);
        ASSERT_FALSE(strip.isNull());

        int edge = 0;
        int paleEdge = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < frameWidth; ++x) {
                const QRgb pixel = strip.pixel(x, y);
                if (pixel == kWhite || !touchesWhite(strip, x, y, frameWidth)) continue;
                ++edge;
                paleEdge += std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) > 128;
            }
        }
        EXPECT_GT(edge, 2 * (frameWidth + height) / 3) << "frame 0 has hardly any outline";
        EXPECT_EQ(paleEdge, 0) << "pale pixels along the outline would show as a halo on a dark desktop";
        EXPECT_EQ(enclosedWhite(strip, frameWidth), 0) << "white inside the figure would be a hole";

        for (int frame = 1; frame < kHeadFrames; ++frame) {
            int outside = 0;
            int bare = 0;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < frameWidth; ++x) {
                    const bool rest = strip.pixel(x, y) != kWhite;
                    const bool shown = strip.pixel(frame * frameWidth + x, y) != kWhite;
                    outside += shown && !rest;
                    bare += rest && !shown;
                }
            }
            EXPECT_EQ(outside, 0) << "frame " << frame << " draws outside frame 0's outline";
            EXPECT_EQ(bare, 0) << "frame " << frame << " shows white inside frame 0's outline";
        }
        for (int frame : {1, 2, 3, 4, 8, 9, 10, 11, 12, 13})
            EXPECT_FALSE(sameFrame(strip, frame, 0, frameWidth))
                << "frame " << frame << " shows the rest pose";
        EXPECT_FALSE(sameFrame(strip, 11, 12, frameWidth));
        EXPECT_FALSE(sameFrame(strip, 12, 13, frameWidth));
        EXPECT_FALSE(sameFrame(strip, 11, 13, frameWidth));
    }
}

TEST(Artwork, IconStripsShowEachFrameOnItsRowsBackground) {
    QStringList strips;
    for (const QString& name : filesIn("content/data", "*.bmp"))
        strips << "content/data/" + name;
    for (const QString& name : filesIn("listview/resources", "*.bmp"))
        strips << "listview/resources/" + name;
    for (const QString& plugin : filesIn("content/data", "*.qzp"))
        EXPECT_TRUE(strips.contains("content/data/" + QFileInfo(plugin).completeBaseName() + ".bmp"))
            << plugin.toStdString();
    for (const char* builtIn : {"ear", "deaf", "dissa", "scriptia", "default"})
        EXPECT_TRUE(strips.contains(QString("listview/resources/") + builtIn + ".bmp")) << builtIn;

    const QRgb backgrounds[2] = {kWhite, qRgb(178, 180, 191)};
    for (const QString& path : strips) {
        SCOPED_TRACE(path.toStdString());
        const QImage strip = readBitmap(readFile(kSource + "/" + path), path, 44, 22);
        ASSERT_FALSE(strip.isNull());
        for (int frame = 0; frame < 2; ++frame) {
            const int left = 22 * frame;
            for (const QPoint corner : {QPoint(0, 0), QPoint(21, 0), QPoint(0, 21), QPoint(21, 21)})
                EXPECT_EQ(strip.pixel(left + corner.x(), corner.y()), backgrounds[frame])
                    << "frame " << frame;
            int drawn = 0;
            for (int y = 0; y < 22; ++y)
                for (int x = 0; x < 22; ++x)
                    drawn += strip.pixel(left + x, y) != backgrounds[frame];
            EXPECT_GT(drawn, 40) << "frame " << frame << " is nearly empty";
        }
    }
}

TEST(Artwork, TrayIconIsSeeThroughAndTheAboutPictureIsOpaque) {
    const QImage tray(kSource + "/shell/resources/quorzel.png");
    ASSERT_FALSE(tray.isNull());
    EXPECT_EQ(tray.size(), QSize(64, 64));
    EXPECT_TRUE(tray.hasAlphaChannel());
    EXPECT_EQ(qAlpha(tray.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(tray.pixel(32, 32)), 255);

    const QImage about(kSource + "/shell/resources/about.png");
    EXPECT_EQ(about.size(), QSize(106, 70));
    EXPECT_FALSE(about.hasAlphaChannel());
}

// A tiny head whose frame 3 grows a knob beyond the rest pose: every frame is seen through frame 0's
// outline, so the generator must refuse it rather than cut the knob off unnoticed.
TEST(Artwork, AHeadWhoseFrameLeavesTheRestOutlineIsRefused) {
    const QByteArray head = R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:qz="urn:quorzel:artwork"
        qz:voice="0" qz:outline="#202020" width="20" height="20" viewBox="0 0 20 20">
      <circle cx="10" cy="10" r="6" fill="#c08040" stroke="#202020" stroke-width="2"/>
      <circle qz:frames="3" cx="10" cy="2" r="2" fill="#202020"/>
    </svg>)";
    try {
        drawHeadStrip(head);
        FAIL() << "the strip was drawn";
    } catch (const ArtError& error) {
        EXPECT_NE(std::string(error.what()).find("frame 3 draws"), std::string::npos) << error.what();
    }

    QByteArray steady = head;
    steady.replace("cy=\"2\" r=\"2\"", "cy=\"10\" r=\"2\"");
    const QImage strip = drawHeadStrip(steady);
    EXPECT_EQ(strip.size(), QSize(20 * kHeadFrames, 20));
    EXPECT_EQ(strip.pixel(0, 0), kWhite);
    EXPECT_EQ(strip.pixel(10, 3), qRgb(0x20, 0x20, 0x20))
        << "the outline's antialiasing is laid over its own colour";
    EXPECT_NE(strip.pixel(3 * 20 + 10, 10), strip.pixel(10, 10)) << "frame 3 shows its own part";
}

TEST(Artwork, FrameListsNameFramesAndRangesAndRejectTheRest) {
    EXPECT_TRUE(frameListNames("0,2-4", 3));
    EXPECT_TRUE(frameListNames(" 11 , 13", 13));
    EXPECT_FALSE(frameListNames("0,2-4", 5));
    EXPECT_FALSE(frameListNames("8-10", 7));
    for (const char* bad : {"", "2-", "4-2", "x", "1,,2", "-3"})
        EXPECT_THROW(frameListNames(bad, 0), ArtError) << bad;
}

} // namespace
} // namespace qz::artwork
