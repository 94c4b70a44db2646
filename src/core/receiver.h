// The show's input: which keys are held (the frame loop asks for Escape), and the keys
// pressed since the player last looked (the player's controls).
#pragma once

#include <irrlicht.h>

namespace show {

constexpr int kKeyCount = 255;
constexpr int kPressesKept = 16; // more between two frames than anyone types

class MyEventReceiver : public irr::IEventReceiver {
  public:
    MyEventReceiver();
    ~MyEventReceiver() override = default;
    bool OnEvent(const irr::SEvent& event) override;
    virtual bool keyState(irr::EKEY_CODE key) const;

    // The oldest press not yet taken; false when there is none. A key held down repeats
    // as further key-down events, which are not new presses.
    bool takePress(irr::EKEY_CODE& key);

  private:
    bool keys_[kKeyCount];
    irr::EKEY_CODE presses_[kPressesKept] = {};
    int firstPress_ = 0;
    int pressCount_ = 0;
};

} // namespace show
