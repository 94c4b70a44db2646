#include "host/receiver.h"

#include <algorithm>
#include <iterator>

namespace show {

MyEventReceiver::MyEventReceiver() {
    std::fill(std::begin(keys_), std::end(keys_), false);
}

bool MyEventReceiver::OnEvent(const irr::SEvent& event) {
    if (event.EventType == irr::EET_KEY_INPUT_EVENT) {
        const unsigned key = event.KeyInput.Key;
        if (key < kKeyCount)
            keys_[key] = event.KeyInput.PressedDown;
    }
    // The engine's own handling (GUI focus and the like) always goes on.
    return false;
}

bool MyEventReceiver::keyState(irr::EKEY_CODE key) const {
    const unsigned code = key;
    return code < kKeyCount && keys_[code];
}

} // namespace show
