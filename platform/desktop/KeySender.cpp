#include "platform/desktop/KeySender.h"

#include "platform/desktop/DesktopError.h"

#include <QLocale>

namespace qz {
namespace {

QString number(qint64 n) {
    return QLocale(QLocale::English).toString(n);
}

void checkLength(const QString& text) {
    if (text.size() > KeySender::kMaxCharacters)
        throw KeySequenceError(QStringLiteral("The text to type has %1 characters; Quorzel types at most %2 "
                                              "in one call")
                                   .arg(number(text.size()), number(KeySender::kMaxCharacters))
                                   .toStdString());
}

void checkStrokes(const KeyStrokes& strokes) {
    if (strokes.size() > KeySender::kMaxStrokes)
        throw KeySequenceError(
            QStringLiteral("The key sequence makes %1 key presses; Quorzel presses at most "
                           "%2 in one call")
                .arg(number(qint64(strokes.size())), number(qint64(KeySender::kMaxStrokes)))
                .toStdString());
}

} // namespace

void KeySender::pressKeys(const QString& sequence, const StopCheck& stop) {
    checkLength(sequence);
    const KeyStrokes strokes = parseKeySequence(sequence);
    checkStrokes(strokes);
    send(strokes, stop);
}

void KeySender::typeText(const QString& text, const StopCheck& stop) {
    checkLength(text);
    send(literalKeyStrokes(text), stop);
}

} // namespace qz
