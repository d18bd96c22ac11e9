#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <vector>

namespace qz::artwork {

// Our SVG sources mark the parts that only some frames show with the attribute qz:frames, a list of
// frame numbers and ranges such as "0,2-4" (namespace "urn:quorzel:artwork", prefix qz). The root
// element carries the file's own settings as qz: attributes (qz:voice, qz:outline).
inline constexpr char kArtNamespace[] = "urn:quorzel:artwork";

// A scene may hold placeholders for heads: elements with qz:head naming a head and x, y, width and
// height giving the box the head is drawn into, over the scene.
struct HeadPlacement {
    QString head;
    QRectF box;
};

// The source as frame `frame` shows it: every element whose qz:frames leaves the frame out is dropped
// with its contents, and so is every head placeholder; all qz: attributes and the namespace declaration
// are removed, so that the result is plain SVG. Throws ArtError for malformed XML or a malformed frame
// list.
QByteArray svgForFrame(const QByteArray& source, int frame);

// The root element's qz:`name` attribute; empty when absent.
QString rootArtAttribute(const QByteArray& source, const QString& name);

// The head placeholders of a scene, in document order. Throws ArtError for malformed XML or a
// placeholder without its box.
std::vector<HeadPlacement> headPlacements(const QByteArray& source);

// Whether a qz:frames list such as "0,2-4,11" names `frame`. Throws ArtError for anything else.
bool frameListNames(const QString& list, int frame);

} // namespace qz::artwork
