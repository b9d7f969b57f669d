#pragma once
// State and toggling of the keyboard's Caps Lock and Num Lock. On an X11 display this asks
// the X keyboard extension for the indicator state and presses the keys through XTest; on
// any other platform (Wayland, offscreen, a build without X11) the state is unknown and
// toggling does nothing.

#include <memory>

class TLockKeys {
  public:
    // `useX11` is true when the application runs on the X11 (xcb) platform.
    explicit TLockKeys(bool useX11);
    ~TLockKeys();
    TLockKeys(const TLockKeys&) = delete;
    TLockKeys& operator=(const TLockKeys&) = delete;

    // True when the states below are real.
    bool Available() const;
    bool CapsLock() const;
    bool NumLock() const;
    void ToggleCapsLock();
    void ToggleNumLock();

  private:
    struct TX11;
    std::unique_ptr<TX11> X11;
};
