#include "tools/artwork/ArtMarkup.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "tools/artwork/ArtError.h"

namespace qz::artwork {

bool frameListNames(const QString& list, int frame) {
    bool names = false;
    const auto items = list.split(',');
    for (const QString& rawItem : items) {
        const QString item = rawItem.trimmed();
        const qsizetype dash = item.indexOf('-');
        bool okFirst = false;
        bool okLast = false;
        const int first = item.left(dash < 0 ? item.size() : dash).toInt(&okFirst);
        const int last = dash < 0 ? first : item.mid(dash + 1).toInt(&okLast);
        if (!okFirst || (dash >= 0 && !okLast) || first < 0 || last < first)
            throw ArtError("bad qz:frames list \"" + list.toStdString() + "\"");
        names = names || (first <= frame && frame <= last);
    }
    return names;
}

namespace {

[[noreturn]] void throwXmlError(const QXmlStreamReader& reader) {
    throw ArtError("SVG line " + std::to_string(reader.lineNumber()) + ": " +
                   reader.errorString().toStdString());
}

QStringView artAttribute(const QXmlStreamReader& reader, QLatin1String name) {
    return reader.attributes().value(QLatin1String(kArtNamespace), name);
}

bool shownIn(const QXmlStreamReader& reader, int frame) {
    const QXmlStreamAttributes attributes = reader.attributes();
    const QLatin1String ns(kArtNamespace);
    if (attributes.hasAttribute(ns, QLatin1String("head"))) return false;
    if (!attributes.hasAttribute(ns, QLatin1String("frames"))) return true;
    return frameListNames(attributes.value(ns, QLatin1String("frames")).toString(), frame);
}

void skipElement(QXmlStreamReader& reader) {
    reader.skipCurrentElement();
    if (reader.hasError()) throwXmlError(reader);
}

void copyStartElement(const QXmlStreamReader& reader, QXmlStreamWriter& writer) {
    writer.writeStartElement(reader.qualifiedName().toString());
    const QXmlStreamNamespaceDeclarations declarations = reader.namespaceDeclarations();
    for (const QXmlStreamNamespaceDeclaration& declaration : declarations) {
        if (declaration.namespaceUri() == QLatin1String(kArtNamespace)) continue;
        const QString prefix = declaration.prefix().toString();
        writer.writeAttribute(prefix.isEmpty() ? QStringLiteral("xmlns") : "xmlns:" + prefix,
                              declaration.namespaceUri().toString());
    }
    const QXmlStreamAttributes attributes = reader.attributes();
    for (const QXmlStreamAttribute& attribute : attributes) {
        if (attribute.namespaceUri() == QLatin1String(kArtNamespace)) continue;
        writer.writeAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
    }
}

} // namespace

QByteArray svgForFrame(const QByteArray& source, int frame) {
    QXmlStreamReader reader(source);
    QByteArray result;
    QXmlStreamWriter writer(&result);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (shownIn(reader, frame)) {
                copyStartElement(reader, writer);
            } else {
                skipElement(reader);
            }
            break;
        case QXmlStreamReader::EndElement:
            writer.writeEndElement();
            break;
        case QXmlStreamReader::Characters:
            if (!reader.isWhitespace()) writer.writeCharacters(reader.text().toString());
            break;
        default: // declarations, comments and processing instructions mean nothing to the renderer
            break;
        }
    }
    if (reader.hasError()) throwXmlError(reader);
    writer.writeEndDocument();
    return result;
}

QString rootArtAttribute(const QByteArray& source, const QString& name) {
    QXmlStreamReader reader(source);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            return reader.attributes().value(QLatin1String(kArtNamespace), name).toString();
    }
    if (reader.hasError()) throwXmlError(reader);
    return {};
}

std::vector<HeadPlacement> headPlacements(const QByteArray& source) {
    QXmlStreamReader reader(source);
    std::vector<HeadPlacement> placements;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) continue;
        const QString head = artAttribute(reader, QLatin1String("head")).toString();
        if (head.isEmpty()) continue;
        double box[4] = {};
        const char* names[4] = {"x", "y", "width", "height"};
        for (int i = 0; i < 4; ++i) {
            bool ok = false;
            box[i] = reader.attributes().value(QLatin1String(names[i])).toDouble(&ok);
            if (!ok) throw ArtError("the placeholder of head " + head.toStdString() + " has no " + names[i]);
        }
        placements.push_back({head, QRectF(box[0], box[1], box[2], box[3])});
    }
    if (reader.hasError()) throwXmlError(reader);
    return placements;
}

} // namespace qz::artwork
