#include "core/receiver.h"

#include <algorithm>
#include <iterator>

namespace show {

MyEventReceiver::MyEventReceiver() {
    std::fill(std::begin(keys_), std::end(keys_), false);
}

bool MyEventReceiver::OnEvent(const irr::SEvent& event) {
    if (event.EventType == irr::EET_KEY_INPUT_EVENT) {
        const unsigned key = event.KeyInput.Key;
        if (key < kKeyCount) {
            const bool newPress = event.KeyInput.PressedDown && !keys_[key];
            keys_[key] = event.KeyInput.PressedDown;
            if (newPress && pressCount_ < kPressesKept) {
                presses_[(firstPress_ + pressCount_) % kPressesKept] = event.KeyInput.Key;
                ++pressCount_;
            }
        }
    }
    // The engine's own handling (GUI focus and the like) always goes on.
    return false;
}

bool MyEventReceiver::takePress(irr::EKEY_CODE& key) {
    if (pressCount_ == 0)
        return false;
    key = presses_[firstPress_];
    firstPress_ = (firstPress_ + 1) % kPressesKept;
    --pressCount_;
    return true;
}

bool MyEventReceiver::keyState(irr::EKEY_CODE key) const {
    const unsigned code = key;
    return code < kKeyCount && keys_[code];
}

} // namespace show
