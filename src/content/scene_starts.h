// Where each of the twenty scenes begins in the music. The show's scene table and the music
// generator both read it here, so the picture and the music change together.
#pragma once

#include <array>
#include <cstdint>

namespace show {

constexpr int kSceneCount = 20;

// The scenes by number, 1-based, as the scene units fill in their rows and the music
// generator writes and checks the track for them.
namespace scene {
constexpr int kLogo = 1;
constexpr int kTitle = 2;
constexpr int kLandscape = 3;
constexpr int kFountainRoom = 4;
constexpr int kCoderCredits = 5;
constexpr int kMusicianCredits = 6;
constexpr int kPuzzle = 7;
constexpr int kOrbs = 8;
constexpr int kSnow = 9;
constexpr int kFirstGreeting = 10; // one greeting card per scene up to the end card
constexpr int kEndCard = 19;
constexpr int kFinale = 20;
} // namespace scene
// First play position (samples at 44100 Hz) of scenes 1..20; scene 20 runs to the end mark.
constexpr std::array<uint32_t, kSceneCount> kSceneStarts = {
    0,       716801,  1225729, 1738753, 3280897, 3795969, 4305921, 4931585, 6535169, 7576577,
    7607233, 7635601, 7662577, 7692577, 7727137, 7753089, 7780673, 7816625, 7846625, 8091649};

// End mark of a track of length samples: scene 20 runs up to and including it.
constexpr uint32_t endMarkFor(uint32_t length) {
    return 20 * (length / 20);
}

} // namespace show
