#include "platform/caps_lock.h"

#include <QGuiApplication>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace ravelto::platform {

namespace {

#ifdef _WIN32

class WindowsCapsLock : public CapsLock {
  protected:
    void Apply(bool on) override {
        bool is_on = (::GetKeyState(VK_CAPITAL) & 1) != 0;
        if (is_on == on) return;
        INPUT inputs[2] = {};
        inputs[0].type = INPUT_KEYBOARD;
        inputs[0].ki.wVk = VK_CAPITAL;
        inputs[1] = inputs[0];
        inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(2, inputs, sizeof(INPUT));
    }
};

#else

// libX11 is loaded at run time: the program needs no X11 development files to
// build and runs unchanged where there is no X server.
class X11CapsLock : public CapsLock {
  public:
    static std::unique_ptr<X11CapsLock> Open() {
        void* lib = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (lib == nullptr) return nullptr;
        auto lock = std::unique_ptr<X11CapsLock>(new X11CapsLock(lib));
        if (lock->open_display_ == nullptr || lock->close_display_ == nullptr ||
            lock->lock_modifiers_ == nullptr || lock->flush_ == nullptr)
            return nullptr;
        lock->display_ = lock->open_display_(nullptr);
        if (lock->display_ == nullptr) return nullptr;
        return lock;
    }
    ~X11CapsLock() override {
        if (display_ != nullptr) close_display_(display_);
        ::dlclose(lib_);
    }

  protected:
    void Apply(bool on) override {
        constexpr unsigned kUseCoreKeyboard = 0x0100;
        constexpr unsigned kLockMask = 1u << 1;
        lock_modifiers_(display_, kUseCoreKeyboard, kLockMask, on ? kLockMask : 0);
        flush_(display_);
    }

  private:
    using OpenDisplay = void* (*)(const char*);
    using CloseDisplay = int (*)(void*);
    using LockModifiers = int (*)(void*, unsigned, unsigned, unsigned);
    using Flush = int (*)(void*);

    explicit X11CapsLock(void* lib)
        : lib_(lib),
          open_display_(reinterpret_cast<OpenDisplay>(::dlsym(lib, "XOpenDisplay"))),
          close_display_(reinterpret_cast<CloseDisplay>(::dlsym(lib, "XCloseDisplay"))),
          lock_modifiers_(reinterpret_cast<LockModifiers>(::dlsym(lib, "XkbLockModifiers"))),
          flush_(reinterpret_cast<Flush>(::dlsym(lib, "XFlush"))) {}

    void* lib_;
    OpenDisplay open_display_;
    CloseDisplay close_display_;
    LockModifiers lock_modifiers_;
    Flush flush_;
    void* display_ = nullptr;
};

#endif

}  // namespace

std::unique_ptr<CapsLock> MakeCapsLock() {
#ifdef _WIN32
    return std::make_unique<WindowsCapsLock>();
#else
    // Only a program shown on an X server may change that server's keyboard.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto lock = X11CapsLock::Open()) return lock;
    }
    return std::make_unique<RecordingCapsLock>();
#endif
}

}  // namespace ravelto::platform
