#include "LockKeys.h"

#ifdef TINDRA_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#endif

#ifdef TINDRA_HAVE_X11

// Own display connection, so that no toolkit internals are needed.
struct TLockKeys::TX11 {
    Display* Connection = nullptr;
    bool HasXTest = false;

    ~TX11() {
        if (Connection) XCloseDisplay(Connection);
    }
    unsigned Indicators() const {
        unsigned state = 0;
        XkbGetIndicatorState(Connection, XkbUseCoreKbd, &state);
        return state;
    }
    // Bit of the named indicator ("Caps Lock", "Num Lock") in the indicator state.
    unsigned Mask(const char* name) const {
        const Atom atom = XInternAtom(Connection, name, True);
        int index = -1;
        if (atom == 0 || !XkbGetNamedIndicator(Connection, atom, &index, nullptr, nullptr, nullptr) ||
            index < 0)
            return 0;
        return 1u << index;
    }
    void Press(KeySym key) {
        if (!HasXTest) return;
        const KeyCode code = XKeysymToKeycode(Connection, key);
        if (code == 0) return;
        XTestFakeKeyEvent(Connection, code, True, CurrentTime);
        XTestFakeKeyEvent(Connection, code, False, CurrentTime);
        XFlush(Connection);
    }
};

TLockKeys::TLockKeys(bool useX11) {
    if (!useX11) return;
    auto x11 = std::make_unique<TX11>();
    int major = XkbMajorVersion, minor = XkbMinorVersion, reason = 0;
    x11->Connection = XkbOpenDisplay(nullptr, nullptr, nullptr, &major, &minor, &reason);
    if (!x11->Connection) return;
    int event = 0, error = 0;
    x11->HasXTest = XTestQueryExtension(x11->Connection, &event, &error, &major, &minor);
    X11 = std::move(x11);
}

bool TLockKeys::CapsLock() const {
    return X11 && (X11->Indicators() & X11->Mask("Caps Lock"));
}
bool TLockKeys::NumLock() const {
    return X11 && (X11->Indicators() & X11->Mask("Num Lock"));
}
void TLockKeys::ToggleCapsLock() {
    if (X11) X11->Press(XK_Caps_Lock);
}
void TLockKeys::ToggleNumLock() {
    if (X11) X11->Press(XK_Num_Lock);
}

#else

struct TLockKeys::TX11 {};

TLockKeys::TLockKeys(bool) {}
bool TLockKeys::CapsLock() const {
    return false;
}
bool TLockKeys::NumLock() const {
    return false;
}
void TLockKeys::ToggleCapsLock() {}
void TLockKeys::ToggleNumLock() {}

#endif

TLockKeys::~TLockKeys() = default;
bool TLockKeys::Available() const {
    return X11 != nullptr;
}
