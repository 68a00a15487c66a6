#pragma once

// The keyboard's Caps Lock state: the ledger window turns it on while it is
// open (registration numbers are typed in capitals) and off when it closes.
// Under X11 it is set through the XKB lock modifiers of libX11, loaded when
// the program runs on X11; on Windows through the key itself; elsewhere it
// is only recorded. Every layer records what was asked, so tests can check it.

#include <memory>
#include <vector>

namespace ravelto::platform {

class CapsLock {
  public:
    virtual ~CapsLock() = default;
    void Set(bool on) {
        requests_.push_back(on);
        Apply(on);
    }
    // Every Set, in order.
    const std::vector<bool>& Requests() const { return requests_; }

  protected:
    virtual void Apply(bool on) = 0;

  private:
    std::vector<bool> requests_;
};

// Records only: tests, and platforms without a way to set the key.
class RecordingCapsLock : public CapsLock {
  protected:
    void Apply(bool) override {}
};

// The layer for the platform the program runs on.
std::unique_ptr<CapsLock> MakeCapsLock();

}  // namespace ravelto::platform
