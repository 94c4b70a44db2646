// The composed track as a list of notes: what plays, when, how loud. Composing is pure data
// (no sound), so the arrangement can be checked against the show's scene table directly.
#pragma once

#include <cstdint>
#include <vector>

namespace musicgen {

enum class Instrument {
    Kick,      // tone: decay in seconds; shape: seconds held at full level before it;
               // pitch: the note it settles on (0: the kicks' own)
    Clap,      //
    ClosedHat, //
    OpenHat,   //
    Crash,     //
    Riser,     // noise swept upward over the note
    Air,       // quiet wide noise bed of the intro
    Bass,      // tone: filter brightness 0..1; shape: drive 0..1
    Pad,       // tone: filter brightness 0..1; shape: attack in seconds
    Pluck,     // tone: filter brightness 0..1
    Lead,      // tone: filter brightness 0..1
    Stab,      // tone: filter brightness 0..1
    Organ,     // a low tone's upper harmonics, steady and at one level: they light the tiles
    Sub,       // a sine below the bass, in the lowest band
};

struct Note {
    Instrument instrument;
    int64_t start;  // samples
    int64_t length; // samples
    float pitch;    // MIDI note number (ignored by the other drums and the noises)
    float velocity; // linear amplitude scale
    float tone;
    float shape;
    float pan; // -1 left .. 1 right
};

struct Score {
    std::vector<Note> notes;
    int64_t length = 0; // samples
};

// The whole show's track; finaleBars > kFinaleBars lengthens the finale for a soak track.
Score composeTrack(int finaleBars);

} // namespace musicgen
