#include "platform/desktop/KeySequence.h"

#include "platform/desktop/DesktopError.h"

#include <QHash>

namespace qz {

namespace {

// A repeat count this large is a mistake, not a wish to press a key for minutes.
constexpr int kMaxRepeat = 1000;

const QHash<QString, Key>& namedKeys() {
    static const QHash<QString, Key> keys = [] {
        QHash<QString, Key> k{
            {"BACKSPACE", Key::Backspace},
            {"BS", Key::Backspace},
            {"BKSP", Key::Backspace},
            {"BREAK", Key::Break},
            {"CAPSLOCK", Key::CapsLock},
            {"DELETE", Key::Delete},
            {"DEL", Key::Delete},
            {"DOWN", Key::Down},
            {"END", Key::End},
            {"ENTER", Key::Enter},
            {"ESC", Key::Escape},
            {"HELP", Key::Help},
            {"HOME", Key::Home},
            {"INSERT", Key::Insert},
            {"INS", Key::Insert},
            {"LEFT", Key::Left},
            {"NUMLOCK", Key::NumLock},
            {"PGDN", Key::PageDown},
            {"PGUP", Key::PageUp},
            {"PRTSC", Key::PrintScreen},
            {"RIGHT", Key::Right},
            {"SCROLLLOCK", Key::ScrollLock},
            {"TAB", Key::Tab},
            {"UP", Key::Up},
            {"ADD", Key::Add},
            {"SUBTRACT", Key::Subtract},
            {"MULTIPLY", Key::Multiply},
            {"DIVIDE", Key::Divide},
        };
        for (int n = 1; n <= 16; ++n)
            k.insert(QStringLiteral("F%1").arg(n), static_cast<Key>(static_cast<int>(Key::F1) + n - 1));
        return k;
    }();
    return keys;
}

// Text as a list of code points, so that characters outside the BMP are one stroke each.
std::u32string codePoints(const QString& text) {
    const QList<uint> ucs4 = text.toUcs4();
    return std::u32string(ucs4.begin(), ucs4.end());
}

KeyStroke characterStroke(char32_t c, Modifiers modifiers) {
    if (c == U'\n' || c == U'\r') return {Key::Enter, 0, modifiers};
    if (c == U'\t') return {Key::Tab, 0, modifiers};
    return {Key::Character, c, modifiers};
}

QString quoted(const std::u32string& text) {
    return QStringLiteral("\"%1\"").arg(QString::fromUcs4(text.data(), qsizetype(text.size())));
}

class Parser {
public:
    explicit Parser(const QString& sequence) : text_(codePoints(sequence)) {}

    KeyStrokes parse() {
        parseUntil(false, 0);
        return std::move(strokes_);
    }

private:
    [[noreturn]] void fail(const QString& what) const {
        throw KeySequenceError(
            QStringLiteral("Invalid key sequence %1: %2").arg(quoted(text_), what).toStdString());
    }

    // Parses items until the end, or until the ")" closing a group opened at the caller.
    void parseUntil(bool inGroup, Modifiers held) {
        while (pos_ < text_.size()) {
            if (text_[pos_] == U')') {
                if (!inGroup)
                    fail(QStringLiteral("\")\" at position %1 closes no parenthesis").arg(pos_ + 1));
                ++pos_;
                return;
            }
            parseItem(held);
        }
        if (inGroup) fail(QStringLiteral("a parenthesis is not closed"));
    }

    // One item: modifiers, then a character, a braced key or a parenthesised group that they apply to.
    void parseItem(Modifiers held) {
        Modifiers modifiers = held;
        for (;;) {
            if (pos_ >= text_.size()) fail(QStringLiteral("a modifier at the end has no key to act on"));
            const char32_t c = text_[pos_];
            if (c == U'+')
                modifiers |= unsigned(Modifier::Shift);
            else if (c == U'^')
                modifiers |= unsigned(Modifier::Control);
            else if (c == U'%')
                modifiers |= unsigned(Modifier::Alt);
            else
                break;
            ++pos_;
        }
        const char32_t c = text_[pos_];
        if (c == U')') fail(QStringLiteral("a modifier before \")\" has no key to act on"));
        ++pos_;
        if (c == U'(')
            parseUntil(true, modifiers);
        else if (c == U'{')
            parseBraced(modifiers);
        else if (c == U'}')
            fail(QStringLiteral("\"}\" at position %1 closes no brace (type it as {}})").arg(pos_));
        else if (c == U'~')
            strokes_.push_back({Key::Enter, 0, modifiers});
        else
            strokes_.push_back(characterStroke(c, modifiers));
    }

    // After "{": a key name or a single character, an optional repeat count, then "}".
    void parseBraced(Modifiers modifiers) {
        const size_t open = pos_ - 1;
        // "{}}" and "{} 3}" type "}": there a closing brace right after the opening one is the content.
        const bool braceIsContent = pos_ + 1 < text_.size() && text_[pos_] == U'}' &&
                                    (text_[pos_ + 1] == U'}' || text_[pos_ + 1] == U' ');
        const size_t close = text_.find(U'}', braceIsContent ? pos_ + 1 : pos_);
        if (close == std::u32string::npos)
            fail(QStringLiteral("the brace at position %1 is not closed").arg(open + 1));
        std::u32string inside = text_.substr(pos_, close - pos_);
        pos_ = close + 1;
        if (inside.empty()) fail(QStringLiteral("empty braces at position %1 name no key").arg(open + 1));

        int count = 1;
        const size_t space = inside.rfind(U' ');
        if (space != std::u32string::npos && space > 0 && space + 1 < inside.size()) {
            const std::u32string digits = inside.substr(space + 1);
            bool ok = digits.find_first_not_of(U"0123456789") == std::u32string::npos;
            const int n = ok ? QString::fromUcs4(digits.data(), qsizetype(digits.size())).toInt(&ok) : 0;
            if (!ok || n > kMaxRepeat)
                fail(QStringLiteral("%1 is not a repeat count from 0 to %2")
                         .arg(quoted(digits))
                         .arg(kMaxRepeat));
            count = n;
            inside.resize(space);
        }

        KeyStroke stroke;
        if (inside.size() == 1) {
            stroke = characterStroke(inside[0], modifiers);
        } else {
            const QString name = QString::fromUcs4(inside.data(), qsizetype(inside.size()));
            const auto it = namedKeys().constFind(name.toUpper());
            if (it == namedKeys().constEnd()) fail(QStringLiteral("unknown key name {%1}").arg(name));
            stroke = {*it, 0, modifiers};
        }
        strokes_.insert(strokes_.end(), size_t(count), stroke);
    }

    std::u32string text_;
    size_t pos_ = 0;
    KeyStrokes strokes_;
};

} // namespace

KeyStrokes parseKeySequence(const QString& sequence) {
    return Parser(sequence).parse();
}

KeyStrokes literalKeyStrokes(const QString& text) {
    const std::u32string chars = codePoints(text);
    KeyStrokes strokes;
    strokes.reserve(chars.size());
    for (size_t i = 0; i < chars.size(); ++i) {
        // A CR LF pair is one line break, one Enter.
        if (chars[i] == U'\r' && i + 1 < chars.size() && chars[i + 1] == U'\n') continue;
        strokes.push_back(characterStroke(chars[i], 0));
    }
    return strokes;
}

QString keyName(Key key) {
    switch (key) {
    case Key::Character:
        return {};
    case Key::Backspace:
        return QStringLiteral("Backspace");
    case Key::Break:
        return QStringLiteral("Break");
    case Key::CapsLock:
        return QStringLiteral("CapsLock");
    case Key::Delete:
        return QStringLiteral("Delete");
    case Key::Down:
        return QStringLiteral("Down");
    case Key::End:
        return QStringLiteral("End");
    case Key::Enter:
        return QStringLiteral("Enter");
    case Key::Escape:
        return QStringLiteral("Esc");
    case Key::Help:
        return QStringLiteral("Help");
    case Key::Home:
        return QStringLiteral("Home");
    case Key::Insert:
        return QStringLiteral("Insert");
    case Key::Left:
        return QStringLiteral("Left");
    case Key::NumLock:
        return QStringLiteral("NumLock");
    case Key::PageDown:
        return QStringLiteral("PgDn");
    case Key::PageUp:
        return QStringLiteral("PgUp");
    case Key::PrintScreen:
        return QStringLiteral("PrtSc");
    case Key::Right:
        return QStringLiteral("Right");
    case Key::ScrollLock:
        return QStringLiteral("ScrollLock");
    case Key::Tab:
        return QStringLiteral("Tab");
    case Key::Up:
        return QStringLiteral("Up");
    case Key::Add:
        return QStringLiteral("Add");
    case Key::Subtract:
        return QStringLiteral("Subtract");
    case Key::Multiply:
        return QStringLiteral("Multiply");
    case Key::Divide:
        return QStringLiteral("Divide");
    default:
        break;
    }
    return QStringLiteral("F%1").arg(static_cast<int>(key) - static_cast<int>(Key::F1) + 1);
}

QString describeKeyStrokes(const KeyStrokes& strokes) {
    QString out;
    for (const KeyStroke& s : strokes) {
        if (s.key == Key::Character && s.modifiers == 0) {
            out += QString::fromUcs4(&s.character, 1);
            continue;
        }
        QString part;
        if (s.has(Modifier::Control)) part += QStringLiteral("Ctrl+");
        if (s.has(Modifier::Alt)) part += QStringLiteral("Alt+");
        if (s.has(Modifier::Shift)) part += QStringLiteral("Shift+");
        part += s.key == Key::Character ? QString::fromUcs4(&s.character, 1) : keyName(s.key);
        out += QLatin1Char('[') + part + QLatin1Char(']');
    }
    return out;
}

} // namespace qz
