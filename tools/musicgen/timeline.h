// Where the music's sections fall: the show's scene table in samples, and the beat grid the
// arrangement is written on. Every scene boundary is a bar line (or, for the greeting cuts,
// an accent), so the picture and the music change together.
#pragma once

#include "content/scene_starts.h"

#include <array>
#include <cstdint>

namespace musicgen {

constexpr int kSampleRate = 44100;
constexpr int kChannels = 2;
constexpr int kSceneCount = show::kSceneCount;

// First play position of each scene, scenes 1 to 20: the show's own scene table, widened.
constexpr std::array<int64_t, kSceneCount> kSceneFrom = [] {
    std::array<int64_t, kSceneCount> from{};
    for (int i = 0; i < kSceneCount; ++i)
        from[size_t(i)] = show::kSceneStarts[size_t(i)];
    return from;
}();

// Scenes 1 to 9 are written on a beat grid of their own: whole beats at about
// kNominalTempo, so each scene's tempo differs from it by just over a percent at most.
// A count of 4n + 2 beats ends the scene on a two-beat fill bar, the break into the next.
constexpr int kGridScenes = show::scene::kSnow;
constexpr std::array<int, kGridScenes> kSceneBeats = {36, 26, 26, 78, 26, 26, 32, 82, 52};
constexpr double kNominalTempo = 133.7; // beats per minute
constexpr int kBeatsPerBar = 4;
constexpr int kStepsPerBeat = 4; // sixteenth notes

// Scenes 10 to 19 (greeting cuts and the end card) are cut to the picture, not to a grid:
// each cut gets its own hit. The finale (scene 20) returns to the nominal tempo.
constexpr int kFirstGreetingScene = show::scene::kFirstGreeting;
constexpr int kEndCardScene = show::scene::kEndCard;
constexpr int kFinaleScene = show::scene::kFinale;
constexpr int kFinaleBars = 8;
constexpr double kFinaleTailSeconds = 4.4; // the last chord rings out over the show's fade

// The short excerpt (--seconds) starts at the first credits scene: steady, loud bass beats.
constexpr int kExcerptScene = show::scene::kCoderCredits;
constexpr double kExcerptFadeSeconds = 0.25;

inline double nominalBeatSamples() {
    return kSampleRate * 60.0 / kNominalTempo;
}

// Samples per beat in grid scene `scene` (1-based, 1..9).
inline double sceneBeatSamples(int scene) {
    return double(kSceneFrom[scene] - kSceneFrom[scene - 1]) / kSceneBeats[scene - 1];
}

// Position of beat `beat` (fractional) of grid scene `scene` (1-based).
inline int64_t sceneBeatAt(int scene, double beat) {
    return kSceneFrom[scene - 1] + int64_t(beat * sceneBeatSamples(scene) + 0.5);
}

// Finale: bars of the nominal tempo from scene 20's start; finaleBars is the number of
// bars before the closing chord (kFinaleBars for the show, more for a soak track).
inline int64_t finaleBeatAt(double beat) {
    return kSceneFrom[kFinaleScene - 1] + int64_t(beat * nominalBeatSamples() + 0.5);
}

inline int64_t trackLength(int finaleBars) {
    return finaleBeatAt(double(finaleBars * kBeatsPerBar)) +
           int64_t(kFinaleTailSeconds * kSampleRate);
}

// Finale bars that make a track of about `minutes` minutes (never fewer than the show's).
inline int finaleBarsForMinutes(double minutes) {
    const double bar = nominalBeatSamples() * kBeatsPerBar;
    const double room = minutes * 60.0 * kSampleRate - double(trackLength(0));
    const int bars = room > 0 ? int(room / bar) : 0;
    return bars > kFinaleBars ? bars : kFinaleBars;
}

} // namespace musicgen
