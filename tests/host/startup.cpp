// Start-up's window: the depth buffer steps down where a driver offers less.
#include "host/startup.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A driver offering windows of at most offeredBits of depth, noting every depth asked of it.
std::vector<int> asked;
int offeredBits = 0;
irr::IrrlichtDevice* const kMadeDevice = reinterpret_cast<irr::IrrlichtDevice*>(0x1000);

irr::IrrlichtDevice* fakeDriver(const irr::SIrrlichtCreationParameters& params) {
    asked.push_back(params.ZBufferBits);
    return params.ZBufferBits <= offeredBits ? kMadeDevice : nullptr;
}

irr::IrrlichtDevice* openWith(int offered, int deepest) {
    asked.clear();
    offeredBits = offered;
    irr::SIrrlichtCreationParameters params;
    params.AntiAlias = 4;
    return show::createDeviceSteppingDepth(params, deepest, fakeDriver);
}

} // namespace

TEST(WindowDepth, StepsDownFrom32To24To16AndStopsAtTheFirstWindowMade) {
    EXPECT_EQ(openWith(32, 32), kMadeDevice);
    EXPECT_EQ(asked, (std::vector<int>{32}));

    // Mesa from 25 on: windows of 0, 16 or 24 bits only.
    EXPECT_EQ(openWith(24, 32), kMadeDevice);
    EXPECT_EQ(asked, (std::vector<int>{32, 24}));

    EXPECT_EQ(openWith(16, 32), kMadeDevice);
    EXPECT_EQ(asked, (std::vector<int>{32, 24, 16}));

    // No window at any depth: nothing is made, and no shallower depth than 16 is tried.
    EXPECT_EQ(openWith(8, 32), nullptr);
    EXPECT_EQ(asked, (std::vector<int>{32, 24, 16}));

    // A capture drawing as such a driver does asks for no more than it is told.
    EXPECT_EQ(openWith(32, 24), kMadeDevice);
    EXPECT_EQ(asked, (std::vector<int>{24}));
}
