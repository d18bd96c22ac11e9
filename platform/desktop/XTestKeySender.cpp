#include "platform/desktop/XTestKeySender.h"

#include "platform/desktop/DesktopError.h"
#include "platform/desktop/KeymapReadWatch.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include <poll.h>

namespace qz {

namespace {

KeySym keysymForKey(Key key) {
    switch (key) {
    case Key::Backspace:
        return XK_BackSpace;
    case Key::Break:
        return XK_Break;
    case Key::CapsLock:
        return XK_Caps_Lock;
    case Key::Delete:
        return XK_Delete;
    case Key::Down:
        return XK_Down;
    case Key::End:
        return XK_End;
    case Key::Enter:
        return XK_Return;
    case Key::Escape:
        return XK_Escape;
    case Key::Help:
        return XK_Help;
    case Key::Home:
        return XK_Home;
    case Key::Insert:
        return XK_Insert;
    case Key::Left:
        return XK_Left;
    case Key::NumLock:
        return XK_Num_Lock;
    case Key::PageDown:
        return XK_Page_Down;
    case Key::PageUp:
        return XK_Page_Up;
    case Key::PrintScreen:
        return XK_Print;
    case Key::Right:
        return XK_Right;
    case Key::ScrollLock:
        return XK_Scroll_Lock;
    case Key::Tab:
        return XK_Tab;
    case Key::Up:
        return XK_Up;
    case Key::Add:
        return XK_KP_Add;
    case Key::Subtract:
        return XK_KP_Subtract;
    case Key::Multiply:
        return XK_KP_Multiply;
    case Key::Divide:
        return XK_KP_Divide;
    case Key::Character:
        return NoSymbol;
    default:
        return XK_F1 + (static_cast<int>(key) - static_cast<int>(Key::F1));
    }
}

KeySym keysymForCharacter(char32_t c) {
    // Latin-1 keysyms equal their code points; everything else has a Unicode keysym.
    if ((c >= 0x20 && c <= 0x7e) || (c >= 0xa0 && c <= 0xff)) return KeySym(c);
    if (c == 0x08) return XK_BackSpace;
    if (c == 0x1b) return XK_Escape;
    return KeySym(0x01000000 | c);
}

// Characters that the keyboard map lacks are typed on spare keys (keycodes without symbols) that we map to
// them, a whole batch of keys in one change of the map. A program reads a press with the map it holds when
// it gets to it, so keys pressed since the last catch-up are mapped again only once the focused program has
// read the map they were pressed with (see catchUp). A program that does not read it in time is typed on
// regardless.
constexpr int kCatchUpWithoutRecordMs = 50;
constexpr int kReadTimeoutMs = 1000;
// Strokes between two looks at the stop check.
constexpr std::size_t kStopCheckEvery = 64;

// Xlib's default error handler ends the process. While we talk to the server, errors on our connection are
// collected instead; errors of any other connection still go to the handler that was installed before.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : display_(display), outer_(active_) {
        active_ = this;
        previous_ = XSetErrorHandler(&handle);
    }

    ~ErrorTrap() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
        active_ = outer_;
    }

    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Waits for the server to answer what was sent so far; the X error code of the first failure, or 0.
    int sync() {
        XSync(display_, False);
        return error_;
    }

private:
    static int handle(Display* display, XErrorEvent* event) {
        if (active_ && display == active_->display_) {
            if (active_->error_ == 0) active_->error_ = event->error_code;
            return 0;
        }
        return active_ && active_->previous_ ? active_->previous_(display, event) : 0;
    }

    static inline ErrorTrap* active_ = nullptr;
    Display* display_;
    ErrorTrap* outer_;
    XErrorHandler previous_ = nullptr;
    int error_ = 0;
};

} // namespace

// The display connection with what it needs to know of the keyboard.
class XTestKeySender::Connection {
public:
    Connection(Display* display, const QByteArray& displayName) : display_(display), watch_(displayName) {
        XDisplayKeycodes(display_, &minKeycode_, &maxKeycode_);
    }

    ~Connection() {
        {
            ErrorTrap trap(display_);
            // Give the keyboard map back as it was.
            for (Slot& slot : slots_)
                slot.content = {};
            applySlots(true);
        }
        if (xkb_) XkbFreeKeyboard(xkb_, 0, True);
        XCloseDisplay(display_);
    }

    void send(const KeyStrokes& strokes, const StopCheck& stop) {
        ErrorTrap trap(display_);
        syncKeyboardMap();
        watching_ = watch_.follow(focusWindow());
        Modifiers held = 0;
        XkbStateRec state{};
        XkbGetState(display_, XkbUseCoreKbd, &state);
        // Keys are looked up in the layout in use: with a second layout active, "a" is elsewhere.
        group_ = state.group;
        bool capsLock = state.locked_mods & LockMask;
        std::vector<Target> targets;
        targets.reserve(strokes.size());
        for (const KeyStroke& stroke : strokes)
            targets.push_back(targetFor(stroke));
        try {
            std::size_t i = 0;
            while (i < strokes.size()) {
                const std::size_t end = mapBatch(targets, i, stop);
                for (; i < end; ++i) {
                    if (stop && i % kStopCheckEvery == 0 && stop()) throw KeySendingStopped();
                    const KeyStroke& stroke = strokes[i];
                    bool needsShift = false;
                    const KeyCode keycode = keycodeOf(targets[i], capsLock, needsShift);
                    const Modifiers wanted = stroke.modifiers | (needsShift ? unsigned(Modifier::Shift) : 0u);
                    setModifiers(held, wanted);
                    held = wanted;
                    XTestFakeKeyEvent(display_, keycode, True, CurrentTime);
                    XTestFakeKeyEvent(display_, keycode, False, CurrentTime);
                    if (stroke.key == Key::CapsLock) capsLock = !capsLock;
                }
            }
        } catch (...) {
            // Never leave a modifier held down for the user to trip over.
            setModifiers(held, 0);
            XFlush(display_);
            throw;
        }
        setModifiers(held, 0);
        // The server has our strokes once it answers; we do not wait for the focused program to read them.
        if (const int error = trap.sync())
            throw DesktopError(QStringLiteral("The X11 display refused the key presses (X error %1)")
                                   .arg(error)
                                   .toStdString());
    }

private:
    // Where a stroke's key is: on the keyboard itself, or a keysym that needs a spare key.
    struct Target {
        KeySym keysym = NoSymbol;
        KeyCode keycode = 0;    // on the keyboard; 0 when a spare key has to carry it
        bool shifted = false;   // on the keyboard's shifted level
        bool cased = false;     // a letter with an upper and a lower case (and Caps Lock matters)
        bool withShift = false; // the stroke itself holds Shift
        bool character = false;
    };

    // What a spare key carries: one keysym (ONE_LEVEL), two unrelated ones (TWO_LEVEL: plain and with
    // Shift), or both cases of a letter (ALPHABETIC, where Caps Lock works as on a letter key).
    struct Content {
        KeySym syms[2] = {NoSymbol, NoSymbol};
        int type = XkbOneLevelIndex;
        bool operator==(const Content&) const = default;
        bool empty() const { return syms[0] == NoSymbol; }
        int width() const { return empty() ? 0 : type == XkbOneLevelIndex ? 1 : 2; }
        bool holds(KeySym k) const { return k != NoSymbol && (syms[0] == k || syms[1] == k); }
    };

    struct Slot {
        KeyCode keycode = 0;
        Content content; // as we want it
        Content mapped;  // as the server has it
        int epoch = -1;  // pressed since the pause with this number
    };

    static bool isCased(KeySym keysym) {
        KeySym lower = 0, upper = 0;
        XConvertCase(keysym, &lower, &upper);
        return lower != upper;
    }

    void setModifiers(Modifiers from, Modifiers to) {
        static const std::pair<Modifier, KeySym> kModifierKeys[] = {
            {Modifier::Control, XK_Control_L}, {Modifier::Alt, XK_Alt_L}, {Modifier::Shift, XK_Shift_L}};
        for (const auto& [modifier, keysym] : kModifierKeys) {
            const bool before = from & unsigned(modifier);
            const bool after = to & unsigned(modifier);
            if (before == after) continue;
            // Modifier keys must be the real ones, never a spare key.
            const KeyCode keycode = XKeysymToKeycode(display_, keysym);
            if (keycode != 0) XTestFakeKeyEvent(display_, keycode, after, CurrentTime);
        }
    }

    bool isSpare(KeyCode keycode) const {
        return std::any_of(slots_.begin(), slots_.end(), [&](const Slot& s) { return s.keycode == keycode; });
    }

    Target targetFor(const KeyStroke& stroke) {
        Target target;
        target.character = stroke.key == Key::Character;
        target.keysym = target.character ? keysymForCharacter(stroke.character) : keysymForKey(stroke.key);
        target.cased = target.character && isCased(target.keysym);
        target.withShift = stroke.has(Modifier::Shift);
        const KeyCode keycode = XKeysymToKeycode(display_, target.keysym);
        if (keycode == 0 || isSpare(keycode)) return target;
        // A key without the active layout's group falls back to its first group, as the server does. A
        // keysym only behind AltGr (or another level) counts as missing.
        for (const int group : {group_, 0}) {
            const KeySym plain = XkbKeycodeToKeysym(display_, keycode, group, 0);
            const KeySym shifted = XkbKeycodeToKeysym(display_, keycode, group, 1);
            if (plain == NoSymbol && shifted == NoSymbol && group != 0) continue;
            if (plain == target.keysym || shifted == target.keysym) {
                target.keycode = keycode;
                target.shifted = shifted == target.keysym && plain != target.keysym;
            }
            break;
        }
        return target;
    }

    KeyCode keycodeOf(const Target& target, bool capsLock, bool& needsShift) const {
        needsShift = false;
        KeyCode keycode = target.keycode;
        if (keycode != 0) {
            needsShift = target.shifted;
        } else {
            const auto slot = std::find_if(slots_.begin(), slots_.end(),
                                           [&](const Slot& s) { return s.mapped.holds(target.keysym); });
            // mapBatch has put every keysym of the batch on a spare key.
            if (slot == slots_.end()) throw DesktopError("A character could not be put on a spare key");
            keycode = slot->keycode;
            needsShift = slot->mapped.syms[1] == target.keysym && slot->mapped.syms[0] != target.keysym;
        }
        // Caps Lock inverts the case of letters; typed text must come out as written.
        if (target.character && capsLock && target.cased) needsShift = !needsShift;
        return keycode;
    }

    // The slot contents a set of missing keysyms needs: a letter's two cases share a key, two unrelated
    // keysyms typed without Shift share one, a keysym typed with Shift held has a key of its own.
    static std::vector<Content> pack(const std::vector<KeySym>& plain, const std::vector<KeySym>& alone,
                                     const std::vector<KeySym>& letters) {
        std::vector<Content> contents;
        for (const KeySym k : letters) {
            KeySym lower = 0, upper = 0;
            XConvertCase(k, &lower, &upper);
            contents.push_back({{lower, upper}, XkbAlphabeticIndex});
        }
        for (const KeySym k : alone)
            contents.push_back({{k, NoSymbol}, XkbOneLevelIndex});
        for (std::size_t i = 0; i < plain.size(); i += 2) {
            if (i + 1 < plain.size())
                contents.push_back({{plain[i], plain[i + 1]}, XkbTwoLevelIndex});
            else
                contents.push_back({{plain[i], NoSymbol}, XkbOneLevelIndex});
        }
        return contents;
    }

    // Puts the keysyms that strokes [from, end) lack on spare keys, in one change of the keyboard map, and
    // returns `end`: as far as the spare keys reach.
    std::size_t mapBatch(const std::vector<Target>& targets, std::size_t from, const StopCheck& stop) {
        std::vector<KeySym> plain, alone, letters; // letters by their lower case
        auto contains = [](const std::vector<KeySym>& v, KeySym k) {
            return std::find(v.begin(), v.end(), k) != v.end();
        };
        auto needed = [&] { return letters.size() + alone.size() + (plain.size() + 1) / 2; };
        std::size_t end = from;
        for (; end < targets.size(); ++end) {
            const Target& t = targets[end];
            if (t.keycode != 0) continue;
            auto p = plain, a = alone, l = letters;
            if (t.cased) {
                KeySym lower = 0, upper = 0;
                XConvertCase(t.keysym, &lower, &upper);
                if (!contains(letters, lower)) letters.push_back(lower);
            } else if (t.withShift) {
                std::erase(plain, t.keysym);
                if (!contains(alone, t.keysym)) alone.push_back(t.keysym);
            } else if (!contains(alone, t.keysym) && !contains(plain, t.keysym)) {
                plain.push_back(t.keysym);
            }
            if (needed() > slots_.size()) {
                plain = std::move(p);
                alone = std::move(a);
                letters = std::move(l);
                break;
            }
        }
        if (end == from) throw DesktopError("The keyboard map has no free key to type this character with");
        std::vector<Content> wanted = pack(plain, alone, letters);

        // Keys that already carry what is wanted stay as they are.
        std::vector<bool> keep(slots_.size(), false);
        std::erase_if(wanted, [&](const Content& c) {
            for (std::size_t i = 0; i < slots_.size(); ++i) {
                if (!keep[i] && slots_[i].mapped == c) {
                    keep[i] = true;
                    return true;
                }
            }
            return false;
        });
        // The others go to the keys pressed longest ago.
        std::vector<std::size_t> order;
        for (std::size_t i = 0; i < slots_.size(); ++i)
            if (!keep[i]) order.push_back(i);
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return slots_[a].epoch < slots_[b].epoch; });
        bool reusesPressedKeys = false;
        for (std::size_t n = 0; n < wanted.size(); ++n) {
            Slot& slot = slots_[order[n]];
            slot.content = wanted[n];
            if (slot.epoch == epoch_ && !slot.mapped.empty()) reusesPressedKeys = true;
            keep[order[n]] = true;
        }
        if (reusesPressedKeys) catchUp(stop);
        applySlots(false);
        for (std::size_t i = 0; i < slots_.size(); ++i)
            if (keep[i]) slots_[i].epoch = epoch_;
        return end;
    }

    // Waits until the focused program has read the keyboard map as it is now: it reads it when it takes in
    // the map's change, which comes after every earlier press in its queue, and it keeps the copy it read
    // until the next change reaches it. So the presses sent since are typed with this map, whatever we map
    // next. The reads are seen through the RECORD extension; where it is missing, a fixed pause stands in.
    void catchUp(const StopCheck& stop) {
        ++epoch_;
        const bool watching = watching_;
        const auto until = std::chrono::steady_clock::now() +
                           std::chrono::milliseconds(watching ? kReadTimeoutMs : kCatchUpWithoutRecordMs);
        while (std::chrono::steady_clock::now() < until) {
            if (stop && stop()) throw KeySendingStopped();
            if (watching) {
                if (watch_.waitForRead(2)) return;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
    }

    // The window that has the keyboard focus, or the one under the pointer when the focus follows it.
    Window focusWindow() {
        Window focus = None;
        int revert = 0;
        XGetInputFocus(display_, &focus, &revert);
        if (focus == PointerRoot || focus == None) {
            Window rootReturn, child = None;
            int rx, ry, wx, wy;
            unsigned mask;
            XQueryPointer(display_, DefaultRootWindow(display_), &rootReturn, &child, &rx, &ry, &wx, &wy,
                          &mask);
            focus = child;
        }
        return focus;
    }

    // Sends the slots whose content changed to the server, in one request over the range they span; the
    // keys between them are sent back exactly as they are.
    void applySlots(bool restoring) {
        if (!xkb_) return;
        int first = 0, last = -1;
        for (const Slot& slot : slots_) {
            if (slot.content == slot.mapped) continue;
            if (last < first) first = last = slot.keycode;
            first = std::min<int>(first, slot.keycode);
            last = std::max<int>(last, slot.keycode);
        }
        if (last < first) return;
        for (Slot& slot : slots_) {
            if (slot.content == slot.mapped) continue;
            const int width = slot.content.width();
            XkbSymMapPtr map = &xkb_->map->key_sym_map[slot.keycode];
            KeySym* syms = XkbResizeKeySyms(xkb_, slot.keycode, width);
            if (!syms && width > 0) throw DesktopError("Out of memory while typing");
            for (int level = 0; level < width; ++level)
                syms[level] = slot.content.syms[level];
            map->kt_index[0] = static_cast<unsigned char>(slot.content.type);
            map->group_info = width > 0 ? XkbSetGroupInfo(1, XkbWrapIntoRange, 0) : 0;
            map->width = static_cast<unsigned char>(width);
            slot.mapped = slot.content;
        }
        XkbMapChangesRec changes{};
        changes.changed = XkbKeySymsMask;
        changes.first_key_sym = KeyCode(first);
        changes.num_key_syms = static_cast<unsigned char>(last - first + 1);
        XkbChangeMap(display_, xkb_, &changes);
        if (!restoring) {
            XSync(display_, False);
            watch_.mapChanged();
        }
    }

    // Brings Xlib's copy of the keyboard map up to date (this connection reads no events otherwise), and
    // finds the spare keys: keys without any symbol, and ours that nobody else has changed since.
    void syncKeyboardMap() {
        bool changed = xkb_ == nullptr;
        while (XPending(display_)) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == MappingNotify) {
                XRefreshKeyboardMapping(&event.xmapping);
                changed = true;
            }
        }
        if (!changed) return;
        if (xkb_) XkbFreeKeyboard(xkb_, 0, True);
        xkb_ = XkbGetMap(display_, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
        if (!xkb_) throw DesktopError("Pressing keys needs the XKB extension of the X11 display");
        std::vector<Slot> found;
        for (int keycode = minKeycode_; keycode <= maxKeycode_; ++keycode) {
            const XkbSymMapRec& map = xkb_->map->key_sym_map[keycode];
            const KeySym* syms = XkbKeySymsPtr(xkb_, keycode);
            Content content;
            if (XkbKeyNumSyms(xkb_, keycode) > 0) {
                if (XkbNumGroups(map.group_info) != 1 || map.width > 2) continue;
                content.type = map.kt_index[0];
                content.syms[0] = syms[0];
                if (map.width > 1) content.syms[1] = syms[1];
            }
            const auto ours = std::find_if(slots_.begin(), slots_.end(),
                                           [&](const Slot& s) { return s.keycode == keycode; });
            if (content.empty()) {
                found.push_back({KeyCode(keycode), {}, {}, ours == slots_.end() ? -1 : ours->epoch});
            } else if (ours != slots_.end() && ours->mapped == content) {
                found.push_back(*ours);
            }
        }
        slots_ = std::move(found);
    }

    Display* display_;
    XkbDescPtr xkb_ = nullptr;
    KeymapReadWatch watch_;
    bool watching_ = false; // the focused program's reads of the map can be seen
    int group_ = 0;
    int epoch_ = 0;
    int minKeycode_ = 8;
    int maxKeycode_ = 255;
    std::vector<Slot> slots_;
};

XTestKeySender::XTestKeySender(QByteArray displayName) : displayName_(std::move(displayName)) {}

XTestKeySender::~XTestKeySender() = default;

void XTestKeySender::send(const KeyStrokes& strokes, const StopCheck& stop) {
    if (!connection_) {
        Display* display = XOpenDisplay(displayName_.isEmpty() ? nullptr : displayName_.constData());
        if (!display) throw DesktopError("Pressing keys needs an X11 display");
        int eventBase, errorBase, major, minor;
        if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
            XCloseDisplay(display);
            throw DesktopError("Pressing keys needs the XTest extension of the X11 display");
        }
        connection_ = std::make_unique<Connection>(display, displayName_);
    }
    connection_->send(strokes, stop);
}

} // namespace qz
