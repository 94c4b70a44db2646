// The keys the show listens to: what is held now, and the player's presses kept in order.
#include "core/receiver.h"

#include <gtest/gtest.h>

#include <vector>

using namespace show;

namespace {

irr::SEvent keyEvent(irr::EKEY_CODE key, bool down) {
    irr::SEvent event{};
    event.EventType = irr::EET_KEY_INPUT_EVENT;
    event.KeyInput.Key = key;
    event.KeyInput.PressedDown = down;
    return event;
}

} // namespace

TEST(Receiver, RecordsHeldKeysAndNeverConsumesEvents) {
    MyEventReceiver receiver;
    EXPECT_FALSE(receiver.keyState(irr::KEY_ESCAPE));
    EXPECT_FALSE(receiver.OnEvent(keyEvent(irr::KEY_ESCAPE, true)));
    EXPECT_TRUE(receiver.keyState(irr::KEY_ESCAPE));
    // A key repeat leaves it held; press and release within one run() leaves it up.
    receiver.OnEvent(keyEvent(irr::KEY_ESCAPE, true));
    EXPECT_TRUE(receiver.keyState(irr::KEY_ESCAPE));
    receiver.OnEvent(keyEvent(irr::KEY_ESCAPE, false));
    EXPECT_FALSE(receiver.keyState(irr::KEY_ESCAPE));
}

TEST(Receiver, IgnoresKeyCodesOutOfRangeAndOtherEvents) {
    MyEventReceiver receiver;
    EXPECT_FALSE(receiver.OnEvent(keyEvent(irr::EKEY_CODE(255), true)));
    EXPECT_FALSE(receiver.keyState(irr::EKEY_CODE(255)));
    irr::SEvent mouse{};
    mouse.EventType = irr::EET_MOUSE_INPUT_EVENT;
    EXPECT_FALSE(receiver.OnEvent(mouse));
    for (int key = 0; key < kKeyCount; ++key)
        EXPECT_FALSE(receiver.keyState(irr::EKEY_CODE(key))) << key;
}

TEST(PlayerKeys, EachPressIsKeptOnceInOrderAndRepeatsAreNotPresses) {
    MyEventReceiver receiver;
    irr::EKEY_CODE key;
    EXPECT_FALSE(receiver.takePress(key));
    receiver.OnEvent(keyEvent(irr::KEY_RIGHT, true));
    receiver.OnEvent(keyEvent(irr::KEY_RIGHT, true)); // held: the keyboard repeats it
    receiver.OnEvent(keyEvent(irr::KEY_RIGHT, false));
    receiver.OnEvent(keyEvent(irr::KEY_SPACE, true));
    receiver.OnEvent(keyEvent(irr::KEY_SPACE, false));
    receiver.OnEvent(keyEvent(irr::KEY_RIGHT, true));
    std::vector<irr::EKEY_CODE> taken;
    while (receiver.takePress(key))
        taken.push_back(key);
    EXPECT_EQ(taken, (std::vector<irr::EKEY_CODE>{irr::KEY_RIGHT, irr::KEY_SPACE, irr::KEY_RIGHT}));
    EXPECT_TRUE(receiver.keyState(irr::KEY_RIGHT)) << "presses leave the held state as it was";

    // A flood keeps the first presses it has room for and loses none of them.
    MyEventReceiver flooded;
    for (int i = 0; i < 100; ++i) {
        flooded.OnEvent(keyEvent(i % 2 ? irr::KEY_LEFT : irr::KEY_RIGHT, true));
        flooded.OnEvent(keyEvent(i % 2 ? irr::KEY_LEFT : irr::KEY_RIGHT, false));
    }
    int count = 0;
    for (; flooded.takePress(key); ++count)
        EXPECT_EQ(key, count % 2 ? irr::KEY_LEFT : irr::KEY_RIGHT);
    EXPECT_GT(count, 1);
    EXPECT_LT(count, 100);
}
