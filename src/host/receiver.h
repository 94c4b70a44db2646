// The show's only input: which keys are held. The frame loop asks for Escape.
#pragma once

#include <irrlicht.h>

namespace show {

constexpr int kKeyCount = 255;

class MyEventReceiver : public irr::IEventReceiver {
  public:
    MyEventReceiver();
    ~MyEventReceiver() override = default;
    bool OnEvent(const irr::SEvent& event) override;
    virtual bool keyState(irr::EKEY_CODE key) const;

  private:
    bool keys_[kKeyCount];
};

} // namespace show
