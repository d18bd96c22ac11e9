#include "platform/desktop/XTestKeySender.h"

#include "platform/desktop/DesktopError.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

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

// Remapping a key while the focused program has not yet read an earlier press of it makes that press type
// the new character. We map every free keycode before reusing one, and before reusing one pressed since
// the last pause we give the program this long to catch up.
constexpr int kCatchUpMs = 50;
constexpr int kCatchUpPerRemapMs = 5;

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
    explicit Connection(Display* display) : display_(display) {
        XDisplayKeycodes(display_, &minKeycode_, &maxKeycode_);
    }

    ~Connection() {
        {
            ErrorTrap trap(display_);
            // Give the keyboard map back as it was.
            for (const Slot& slot : slots_) {
                KeySym none[2] = {NoSymbol, NoSymbol};
                XChangeKeyboardMapping(display_, slot.keycode, 2, none, 1);
            }
        }
        XCloseDisplay(display_);
    }

    void send(const KeyStrokes& strokes) {
        ErrorTrap trap(display_);
        syncKeyboardMap();
        Modifiers held = 0;
        XkbStateRec state{};
        XkbGetState(display_, XkbUseCoreKbd, &state);
        // Keys are looked up in the layout in use: with a second layout active, "a" is elsewhere.
        group_ = state.group;
        bool capsLock = state.locked_mods & LockMask;
        try {
            for (const KeyStroke& stroke : strokes) {
                const bool character = stroke.key == Key::Character;
                const KeySym keysym =
                    character ? keysymForCharacter(stroke.character) : keysymForKey(stroke.key);
                bool needsShift = false;
                const KeyCode keycode = keycodeFor(keysym, needsShift);
                // Caps Lock inverts the case of letters; typed text must come out as written.
                if (character && capsLock && isCased(keysym)) needsShift = !needsShift;
                const Modifiers wanted = stroke.modifiers | (needsShift ? unsigned(Modifier::Shift) : 0u);
                setModifiers(held, wanted);
                held = wanted;
                XTestFakeKeyEvent(display_, keycode, True, CurrentTime);
                XTestFakeKeyEvent(display_, keycode, False, CurrentTime);
                if (stroke.key == Key::CapsLock) capsLock = !capsLock;
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
    struct Slot {
        KeyCode keycode;
        KeySym keysym;
        int epoch; // pressed since the pause with this number
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
            // Modifier keys must be the real ones, never a remapped spare key.
            const KeyCode keycode = XKeysymToKeycode(display_, keysym);
            if (keycode != 0) XTestFakeKeyEvent(display_, keycode, after, CurrentTime);
        }
    }

    // The keycode that yields `keysym`, and whether Shift must be held for it; maps a spare keycode
    // to the keysym when the keyboard has no key for it (or only behind AltGr).
    KeyCode keycodeFor(KeySym keysym, bool& needsShift) {
        needsShift = false;
        // Our own remapped keys first: this connection reads no events, so Xlib's cached map may be stale
        // there.
        auto slot =
            std::find_if(slots_.begin(), slots_.end(), [&](const Slot& s) { return s.keysym == keysym; });
        if (slot != slots_.end()) return spareKeycodeFor(keysym);
        const KeyCode keycode = XKeysymToKeycode(display_, keysym);
        const bool isSpare =
            std::any_of(slots_.begin(), slots_.end(), [&](const Slot& s) { return s.keycode == keycode; });
        if (keycode != 0 && !isSpare) {
            // A key without the active layout's group falls back to its first group, as the server does.
            for (const int group : {group_, 0}) {
                const KeySym plain = XkbKeycodeToKeysym(display_, keycode, group, 0);
                const KeySym shifted = XkbKeycodeToKeysym(display_, keycode, group, 1);
                if (plain == NoSymbol && shifted == NoSymbol && group != 0) continue;
                if (plain == keysym) return keycode;
                if (shifted == keysym) {
                    needsShift = true;
                    return keycode;
                }
                break;
            }
        }
        return spareKeycodeFor(keysym);
    }

    KeyCode spareKeycodeFor(KeySym keysym) {
        auto it =
            std::find_if(slots_.begin(), slots_.end(), [&](const Slot& s) { return s.keysym == keysym; });
        if (it != slots_.end()) {
            Slot slot = *it;
            slots_.erase(it);
            slot.epoch = epoch_;
            slots_.push_back(slot);
            return slot.keycode;
        }
        KeyCode keycode = findUnmappedKeycode();
        if (keycode == 0) {
            if (slots_.empty())
                throw DesktopError("The keyboard map has no free key to type this character with");
            // Reuse the least recently pressed one, once the program has had time to read that press.
            if (slots_.front().epoch == epoch_) {
                XSync(display_, False);
                // Programs reread the whole keyboard map after every remap, so more remaps take longer.
                std::this_thread::sleep_for(
                    std::chrono::milliseconds(kCatchUpMs + kCatchUpPerRemapMs * remaps_));
                ++epoch_;
                remaps_ = 0;
            }
            keycode = slots_.front().keycode;
            slots_.erase(slots_.begin());
        }
        // Both levels carry the keysym, so a held Shift does not change what is typed.
        KeySym syms[2] = {keysym, keysym};
        XChangeKeyboardMapping(display_, keycode, 2, syms, 1);
        XSync(display_, False);
        ++remaps_;
        slots_.push_back({keycode, keysym, epoch_});
        return keycode;
    }

    // Forgets remapped keys that someone else has changed since (a new keyboard layout, say), and brings
    // Xlib's copy of the keyboard map up to date: this connection reads no events otherwise.
    void syncKeyboardMap() {
        while (XPending(display_)) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == MappingNotify) XRefreshKeyboardMapping(&event.xmapping);
        }
        if (slots_.empty()) return;
        int perKeycode = 0;
        const int count = maxKeycode_ - minKeycode_ + 1;
        KeySym* map = XGetKeyboardMapping(display_, KeyCode(minKeycode_), count, &perKeycode);
        if (!map) return;
        std::erase_if(slots_, [&](const Slot& slot) {
            const KeySym* syms = map + (slot.keycode - minKeycode_) * perKeycode;
            return perKeycode < 2 || syms[0] != slot.keysym || syms[1] != slot.keysym;
        });
        XFree(map);
    }

    KeyCode findUnmappedKeycode() {
        int perKeycode = 0;
        const int count = maxKeycode_ - minKeycode_ + 1;
        KeySym* map = XGetKeyboardMapping(display_, KeyCode(minKeycode_), count, &perKeycode);
        if (!map) return 0;
        KeyCode found = 0;
        for (int i = count - 1; i >= 0 && found == 0; --i) {
            const KeyCode keycode = KeyCode(minKeycode_ + i);
            const bool ours = std::any_of(slots_.begin(), slots_.end(),
                                          [&](const Slot& s) { return s.keycode == keycode; });
            const KeySym* syms = map + i * perKeycode;
            if (!ours && std::all_of(syms, syms + perKeycode, [](KeySym s) { return s == NoSymbol; }))
                found = keycode;
        }
        XFree(map);
        return found;
    }

    Display* display_;
    int group_ = 0;
    int epoch_ = 0;
    int remaps_ = 0; // since the last pause
    int minKeycode_ = 8;
    int maxKeycode_ = 255;
    std::vector<Slot> slots_;
};

XTestKeySender::XTestKeySender(QByteArray displayName) : displayName_(std::move(displayName)) {}

XTestKeySender::~XTestKeySender() = default;

void XTestKeySender::send(const KeyStrokes& strokes) {
    if (!connection_) {
        Display* display = XOpenDisplay(displayName_.isEmpty() ? nullptr : displayName_.constData());
        if (!display) throw DesktopError("Pressing keys needs an X11 display");
        int eventBase, errorBase, major, minor;
        if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
            XCloseDisplay(display);
            throw DesktopError("Pressing keys needs the XTest extension of the X11 display");
        }
        connection_ = std::make_unique<Connection>(display);
    }
    connection_->send(strokes);
}

} // namespace qz
