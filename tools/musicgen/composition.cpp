// The arrangement, scene by scene: a calm intro, a first beat, a long build, two credit
// grooves, a half-time puzzle groove, a breakdown and peak for the light orbs, hits on the
// greeting cuts, a held breath and a heavy finale. A minor, around 134 beats per minute.
#include <algorithm>
#include <array>

#include "arrangement.h"
#include "mix.h"
#include "score.h"
#include "timeline.h"

namespace musicgen {
namespace {

// One chord per bar: the progression i - VI - III - VII, with V (E major) on the fill bars.
enum Chord { Am, F, C, G, E, kChordCount };
constexpr std::array<Chord, 4> kProgression = {Am, F, C, G};

struct Voicing {
    std::array<int, 4> pad; // MIDI notes, around middle C
    int bass;               // root, kept at E2 and above so it stays out of the lowest band
    // The organ's root, between 60 and 110 Hz: low enough that its harmonics crowd the
    // spectrum's upper bands two or three to a line apart, high enough that they stay apart.
    int organ;
};
constexpr std::array<Voicing, kChordCount> kVoicings = {{
    {{57, 60, 64, 69}, 45, 45}, // Am
    {{57, 60, 65, 53}, 41, 41}, // F
    {{55, 60, 64, 67}, 48, 36}, // C
    {{55, 59, 62, 67}, 43, 43}, // G
    {{56, 59, 64, 68}, 40, 40}, // E
}};

// Lead line, one bar per chord of the progression: (sixteenth, length in sixteenths, note).
struct Phrase {
    int step, steps, note;
};
constexpr int kPhraseNotes = 5;
using Motif = std::array<Phrase, kPhraseNotes>;
constexpr std::array<Motif, 4> kLeadMotif = {{
    {{{0, 4, 76}, {4, 2, 74}, {6, 2, 72}, {8, 6, 69}, {14, 2, 72}}}, // Am
    {{{0, 4, 72}, {4, 2, 74}, {6, 2, 76}, {8, 6, 77}, {14, 2, 76}}}, // F
    {{{0, 4, 76}, {4, 2, 79}, {6, 2, 76}, {8, 6, 72}, {14, 2, 74}}}, // C
    {{{0, 4, 74}, {4, 2, 71}, {6, 2, 67}, {8, 4, 71}, {12, 4, 74}}}, // G
}};
constexpr std::array<Motif, 4> kAnswerMotif = {{
    {{{0, 2, 81}, {2, 2, 79}, {4, 4, 76}, {8, 4, 79}, {12, 4, 76}}}, // Am
    {{{0, 2, 77}, {2, 2, 76}, {4, 4, 72}, {8, 4, 77}, {12, 4, 81}}}, // F
    {{{0, 2, 79}, {2, 2, 76}, {4, 4, 72}, {8, 4, 76}, {12, 4, 79}}}, // C
    {{{0, 2, 79}, {2, 2, 74}, {4, 4, 71}, {8, 4, 74}, {12, 4, 83}}}, // G
}};
// Order in which the arpeggio walks the four chord tones.
constexpr std::array<int, 8> kArpOrder = {0, 2, 1, 3, 2, 0, 3, 1};

// Where a run of beats lies in samples: a scene's own grid or the finale's.
struct Grid {
    int64_t origin;
    double beat; // samples
    int64_t at(double beats) const { return origin + int64_t(beats * beat + 0.5); }
    int64_t span(double beats) const { return int64_t(beats * beat + 0.5); }
    int64_t step(int bar, int sixteenth) const {
        return at(bar * kBeatsPerBar + double(sixteenth) / kStepsPerBeat);
    }
};

Grid sceneGrid(int scene) {
    return {kSceneFrom[scene - 1], sceneBeatSamples(scene)};
}

class Composer {
  public:
    explicit Composer(Score& score) : notes_(score.notes) {}

    void note(Instrument instrument, int64_t start, int64_t length, float pitch, float velocity,
              float tone = 0.5f, float shape = 0.0f, float pan = 0.0f) {
        notes_.push_back({instrument, start, length, pitch, velocity, tone, shape, pan});
    }

    // --- drums ---------------------------------------------------------------------------
    // pitch 0: the kicks' own low note.
    void kick(int64_t at, float velocity, float decay, float hold = 0.0f, int pitch = 0) {
        note(Instrument::Kick, at, int64_t((hold + decay * kKickLengthPerDecay) * kSampleRate),
             float(pitch), velocity, decay, hold);
    }
    void fourOnFloor(const Grid& g, int bar, float velocity, float decay) {
        for (int b = 0; b < kBeatsPerBar; ++b) {
            kick(g.step(bar, b * kStepsPerBeat), velocity, decay);
        }
    }
    void backbeat(const Grid& g, int bar, float velocity) {
        for (int b = 1; b < kBeatsPerBar; b += 2) {
            note(Instrument::Clap, g.step(bar, b * kStepsPerBeat), g.span(1), 0, velocity);
        }
    }
    void hats(const Grid& g, int bar, float velocity, bool sixteenths, bool openOffbeats) {
        for (int s = 0; s < kBeatsPerBar * kStepsPerBeat; s += sixteenths ? 1 : 2) {
            const bool offbeat = s % kStepsPerBeat == 2;
            if (offbeat && openOffbeats) {
                note(Instrument::OpenHat, g.step(bar, s), g.span(0.5), 0, velocity, 0.5f, 0,
                     kHatPan);
                continue;
            }
            const float accent = offbeat ? 1.0f : (s % 2 == 0 ? 0.6f : 0.4f);
            note(Instrument::ClosedHat, g.step(bar, s), g.span(0.25), 0, velocity * accent, 0.5f, 0,
                 -kHatPan);
        }
    }
    void crash(int64_t at, float velocity) {
        note(Instrument::Crash, at, int64_t(kCrashSeconds * kSampleRate), 0, velocity);
    }
    // A roll of claps that speeds up and swells over `beats` beats from beat `from`.
    void roll(const Grid& g, double from, double beats, float velocity) {
        const int hits = int(beats * kStepsPerBeat);
        for (int i = 0; i < hits; ++i) {
            const double at = from + double(i) / kStepsPerBeat;
            const bool sparse = i < hits / 2 && i % 2 == 1; // eighths first, then sixteenths
            if (sparse) {
                continue;
            }
            const float swell = 0.35f + 0.65f * float(i) / float(hits);
            note(Instrument::Clap, g.at(at), g.span(0.25), 0, velocity * swell, 0.5f, 0,
                 (i % 2 == 0 ? -1.0f : 1.0f) * kHatPan);
        }
    }
    void riser(int64_t from, int64_t to, float velocity) {
        note(Instrument::Riser, from, to - from, 0, velocity);
    }

    // --- tonal parts ---------------------------------------------------------------------
    void pad(Chord chord, int64_t from, int64_t length, float velocity, float tone, float attack) {
        const Voicing& v = kVoicings[chord];
        for (size_t i = 0; i < v.pad.size(); ++i) {
            const float pan = (float(i) / float(v.pad.size() - 1) - 0.5f) * kPadSpread;
            note(Instrument::Pad, from, length, float(v.pad[i]), velocity, tone, attack, pan);
            // The chord doubled an octave up, softer: a shimmer over the body.
            note(Instrument::Pad, from, length, float(v.pad[i] + kOctave), velocity * kPadShimmer,
                 tone, attack, -pan);
        }
    }
    // The organ sounds the chord's root: one low tone whose many upper harmonics, a few bands
    // apart, each stand on a line of the spectrum.
    // Each chord rings on into the next one's start while it fades, so the lines never dip.
    void organ(Chord chord, int64_t from, int64_t length, float velocity) {
        note(Instrument::Organ, from, length + int64_t(kOrganReleaseSeconds * kSampleRate),
             float(kVoicings[chord].organ), velocity);
    }
    void sub(Chord chord, int64_t from, int64_t length, float velocity) {
        note(Instrument::Sub, from, length, float(kVoicings[chord].bass - kSubOctaves * kOctave),
             velocity);
    }
    void stab(Chord chord, int64_t at, float velocity, float tone) {
        const Voicing& v = kVoicings[chord];
        for (size_t i = 0; i < v.pad.size(); ++i) {
            note(Instrument::Stab, at, int64_t(kStabSeconds * kSampleRate),
                 float(v.pad[i] + kOctave), velocity, tone, 0,
                 (float(i) / float(v.pad.size() - 1) - 0.5f) * kPadSpread);
        }
    }
    // Bass on the off-beat eighths (pumping against the kick) or rolling sixteenths
    // that leave the kick's sixteenth free.
    void bassBar(const Grid& g, int bar, Chord chord, float velocity, float tone, bool rolling,
                 float drive = 0.0f) {
        const int root = kVoicings[chord].bass;
        for (int s = 0; s < kBeatsPerBar * kStepsPerBeat; ++s) {
            const bool onKick = s % kStepsPerBeat == 0;
            const bool offbeat = s % kStepsPerBeat == 2;
            if (onKick || (!rolling && !offbeat)) {
                continue;
            }
            const int pitch = rolling && s % 8 == 7 ? root + kOctave : root;
            const double len = rolling ? 0.2 : 0.4;
            note(Instrument::Bass, g.step(bar, s), g.span(len), float(pitch),
                 velocity * (offbeat ? 1.0f : 0.75f), tone, drive);
        }
    }
    void bassHeld(Chord chord, int64_t from, int64_t length, float velocity, float tone) {
        note(Instrument::Bass, from, length, float(kVoicings[chord].bass), velocity, tone);
    }
    void arpBar(const Grid& g, int bar, Chord chord, float velocity, float tone, int every,
                int steps = kBeatsPerBar * kStepsPerBeat) {
        const Voicing& v = kVoicings[chord];
        std::array<int, 4> tones = v.pad;
        std::sort(tones.begin(), tones.end());
        for (int s = 0; s < steps; s += every) {
            const int pitch = tones[kArpOrder[(s / every) % kArpOrder.size()]] + kOctave;
            note(Instrument::Pluck, g.step(bar, s), g.span(0.25 * every), float(pitch), velocity,
                 tone, 0, (s / every) % 2 == 0 ? -kArpPan : kArpPan);
        }
    }
    void leadBar(const Grid& g, int bar, int progressionIndex, const std::array<Motif, 4>& motif,
                 float velocity, float tone, int transpose = 0) {
        for (const Phrase& p : motif[progressionIndex % motif.size()]) {
            note(Instrument::Lead, g.step(bar, p.step), g.span(0.25 * p.steps),
                 float(p.note + transpose), velocity, tone);
        }
    }

  private:
    std::vector<Note>& notes_;
};

Chord progressionChord(int bar) {
    return kProgression[bar % kProgression.size()];
}

// A grid scene's full bars; a 4n + 2 beat scene then has its two-beat fill bar.
int fullBars(int scene) {
    return kSceneBeats[scene - 1] / kBeatsPerBar;
}

void intro(Composer& c) {
    // Scene 1: air and a slowly opening pad, two bars per chord, sparse plucks later on.
    const int scene = 1;
    const Grid g = sceneGrid(scene);
    const int bars = fullBars(scene);
    c.note(Instrument::Air, 0, kSceneFrom[2] - 0, 0, kAirLevel, 0.5f);
    for (int bar = 0; bar + 1 < bars; bar += 2) {
        const Chord chord = kProgression[(bar / 2) % kProgression.size()];
        const float open = float(bar) / float(bars);
        c.pad(chord, g.step(bar, 0), g.span(8.5), kIntroPad, 0.15f + 0.2f * open, 1.5f);
        if (bar >= 4) {
            c.arpBar(g, bar, chord, kIntroPluck, 0.25f, 4);
            c.arpBar(g, bar + 1, chord, kIntroPluck, 0.25f, 4);
        }
    }
    c.pad(E, g.step(bars - 1, 0), g.span(4.5), kIntroPad, 0.45f, 0.5f);
    c.riser(g.step(bars - 1, 0), kSceneFrom[scene], kIntroRiser);
}

void heartbeat(Composer& c) {
    // Scene 2: a soft pulse under the title, bass notes held, the arpeggio in sixteenths.
    const int scene = 2;
    const Grid g = sceneGrid(scene);
    for (int bar = 0; bar < fullBars(scene); ++bar) {
        const Chord chord = progressionChord(bar);
        for (int b = 0; b < kBeatsPerBar; ++b) {
            c.kick(g.step(bar, b * kStepsPerBeat), kSoftKick, kSoftKickDecay);
        }
        c.pad(chord, g.step(bar, 0), g.span(4), kIntroPad, 0.4f, 0.3f);
        c.bassHeld(chord, g.step(bar, 0), g.span(3.5), kHeldBass, 0.1f);
        c.arpBar(g, bar, chord, kIntroPluck, 0.3f + 0.05f * bar, 2);
    }
    const int fill = fullBars(scene);
    c.pad(E, g.step(fill, 0), g.span(2), kIntroPad, 0.5f, 0.2f);
    c.riser(g.step(fill - 2, 0), kSceneFrom[scene], kIntroRiser);
}

// The main groove, bar by bar: four-on-the-floor, claps, hats, bass, pad and arpeggio.
struct GrooveStyle {
    float kick, kickDecay;
    float bass, bassTone, bassDrive;
    bool rollingBass;
    float pad, padTone;
    float arp, arpTone;
    bool openHats;
};

void grooveBar(Composer& c, const Grid& g, int bar, Chord chord, const GrooveStyle& s) {
    c.fourOnFloor(g, bar, s.kick, s.kickDecay);
    c.backbeat(g, bar, kClap);
    c.hats(g, bar, kHat, true, s.openHats);
    c.bassBar(g, bar, chord, s.bass, s.bassTone, s.rollingBass, s.bassDrive);
    c.pad(chord, g.step(bar, 0), g.span(4), s.pad, s.padTone, 0.05f);
    if (s.arp > 0.0f) {
        c.arpBar(g, bar, chord, s.arp, s.arpTone, 1);
    }
}

// The two-beat fill bar at the end of a scene: the dominant chord and a clap roll, no kick.
void fillBar(Composer& c, int scene, float pad) {
    const Grid g = sceneGrid(scene);
    const int bar = fullBars(scene);
    c.pad(E, g.step(bar, 0), g.span(2), pad, 0.6f, 0.02f);
    c.bassHeld(E, g.step(bar, 0), g.span(1.75), kHeldBass, 0.5f);
    c.roll(g, bar * kBeatsPerBar, 2, kRoll);
    c.arpBar(g, bar, E, kArp, 0.6f, 1, kStepsPerBeat * 2);
}

void firstBeat(Composer& c) {
    // Scene 3: the beat arrives under the blurred landscape, kept light on the low end.
    const int scene = 3;
    const Grid g = sceneGrid(scene);
    const GrooveStyle style{kLightKick, kLightKickDecay, kBass,       0.35f, 0,    false,
                            kPad,       0.45f,           kArp * 0.7f, 0.4f,  false};
    c.crash(g.at(0), kCrash);
    for (int bar = 0; bar < fullBars(scene); ++bar) {
        grooveBar(c, g, bar, progressionChord(bar), style);
    }
    fillBar(c, scene, kPad);
}

void fountains(Composer& c) {
    // Scene 4: the long one. Eight bars of groove, eight more with the lead, a three-bar
    // build, then the fill.
    const int scene = 4;
    const Grid g = sceneGrid(scene);
    const int bars = fullBars(scene);
    for (int bar = 0; bar < bars; ++bar) {
        const float lift = float(bar) / float(bars);
        GrooveStyle style{
            kLightKick, kLightKickDecay,     kBass, 0.4f + 0.3f * lift,  0,       false,
            kPad,       0.45f + 0.3f * lift, kArp,  0.45f + 0.3f * lift, bar >= 8};
        if (bar % 8 == 0) {
            c.crash(g.step(bar, 0), kCrash);
        }
        grooveBar(c, g, bar, progressionChord(bar), style);
        if (bar >= 8 && bar < 16) {
            c.leadBar(g, bar, bar, bar < 12 ? kLeadMotif : kAnswerMotif, kLead, 0.5f);
        }
        if (bar >= 16) {
            c.roll(g, bar * kBeatsPerBar, kBeatsPerBar, kRoll * (0.4f + 0.2f * float(bar - 16)));
        }
    }
    c.riser(g.step(16, 0), kSceneFrom[scene], kRiser);
    fillBar(c, scene, kPad);
}

void credits(Composer& c, int scene, bool answer) {
    // Scenes 5 and 6: heavy bass beats for the falling bricks, the lead over them.
    const Grid g = sceneGrid(scene);
    const GrooveStyle style{kCreditsKick, kHeavyKickDecay,  kBass, 0.6f, 0.2f, true, kOrganPad,
                            0.6f,         kOrganArp * 0.6f, 0.55f, true};
    c.crash(g.at(0), kCrash);
    for (int bar = 0; bar < fullBars(scene); ++bar) {
        grooveBar(c, g, bar, progressionChord(bar), style);
        c.organ(progressionChord(bar), g.step(bar, 0), g.span(4), kOrgan);
        c.leadBar(g, bar, bar, answer ? kAnswerMotif : kLeadMotif, kOrganLead, 0.6f);
    }
    fillBar(c, scene, kPad);
    c.organ(E, g.step(fullBars(scene), 0), g.span(2), kOrgan);
}

void puzzle(Composer& c) {
    // Scene 7: half time. Kick on one and the "and" of three, clap on three, busy hats, a
    // syncopated bass and a bright arpeggio; the last bar rises into the breakdown.
    const int scene = 7;
    const Grid g = sceneGrid(scene);
    const int bars = fullBars(scene);
    c.crash(g.at(0), kCrash);
    for (int bar = 0; bar < bars; ++bar) {
        const Chord chord = progressionChord(bar / 2);
        c.kick(g.step(bar, 0), kHeavyKick, kLightKickDecay);
        c.kick(g.step(bar, 10), kLightKick, kLightKickDecay);
        c.note(Instrument::Clap, g.step(bar, 8), g.span(1), 0, kClap);
        c.hats(g, bar, kHat, true, false);
        c.bassBar(g, bar, chord, kBass, 0.5f, true);
        c.pad(chord, g.step(bar, 0), g.span(4), kOrganPad, 0.55f, 0.1f);
        c.organ(chord, g.step(bar, 0), g.span(4), kOrgan);
        c.sub(chord, g.step(bar, 0), g.span(4), kSub);
        c.arpBar(g, bar, chord, kOrganArp, 0.7f, 1);
    }
    c.riser(g.step(bars - 1, 0), kSceneFrom[scene], kRiser);
}

void orbs(Composer& c) {
    // Scene 8: breakdown for the light orbs, then the groove comes back and builds.
    const int scene = 8;
    const Grid g = sceneGrid(scene);
    const int bars = fullBars(scene);
    for (int bar = 0; bar < bars; ++bar) {
        const Chord chord = progressionChord(bar);
        if (bar < 8) {
            c.pad(chord, g.step(bar, 0), g.span(4), kPad, 0.5f + 0.03f * bar, 0.3f);
            c.bassHeld(chord, g.step(bar, 0), g.span(4), kHeldBass, 0.2f);
            c.arpBar(g, bar, chord, kArp * 0.8f, 0.4f + 0.04f * bar, 1);
            c.leadBar(g, bar, bar, bar < 4 ? kLeadMotif : kAnswerMotif, kLead * 0.8f, 0.35f);
            continue;
        }
        const GrooveStyle style{kLightKick, kLightKickDecay, kBass, 0.5f, 0.1f, bar >= 12, kPad,
                                0.6f,       kArp * 0.7f,     0.6f,  true};
        if (bar % 4 == 0) {
            c.crash(g.step(bar, 0), kCrash);
        }
        grooveBar(c, g, bar, chord, style);
        c.leadBar(g, bar, bar, (bar / 4) % 2 == 0 ? kLeadMotif : kAnswerMotif, kLead, 0.55f);
        if (bar >= 16) {
            c.roll(g, bar * kBeatsPerBar, kBeatsPerBar, kRoll * (0.4f + 0.2f * float(bar - 16)));
        }
    }
    c.riser(g.step(bars - 4, 0), kSceneFrom[scene], kRiser);
    fillBar(c, scene, kPad);
}

void peak(Composer& c) {
    // Scene 9: the peak. A boom on every bar's downbeat flashes the screen.
    const int scene = 9;
    const Grid g = sceneGrid(scene);
    const int bars = fullBars(scene);
    const GrooveStyle style{kLightKick, kLightKickDecay, kBass,       0.65f, 0.3f, true,
                            kPad,       0.65f,           kArp * 0.6f, 0.65f, true};
    for (int bar = 0; bar < bars; ++bar) {
        if (bar % 4 == 0) {
            c.crash(g.step(bar, 0), kCrash);
        }
        grooveBar(c, g, bar, progressionChord(bar), style);
        c.kick(g.step(bar, 0), kBoom, kBoomDecay, kBoomHold, kBoomPitch);
        c.leadBar(g, bar, bar, (bar / 4) % 2 == 0 ? kLeadMotif : kAnswerMotif, kLead, 0.7f,
                  bar >= 8 ? kOctave : 0);
    }
    c.roll(g, (bars - 1) * kBeatsPerBar + 2, 2, kRoll);
}

void greetings(Composer& c) {
    // Scenes 10 to 18: a hit on every cut (kick, stab, cymbal) over a held pad; scene 19
    // opens with a softer hit, then holds its breath while a riser and roll lead to the drop.
    // A cut lasts less than a second, so each chord's pad is held through to the next cut and
    // releases under the next chord; ending at the cut, it would fade for most of its scene.
    const int64_t ring = int64_t(kPadReleaseSeconds * kSampleRate);
    constexpr std::array<Chord, 9> kCutChords = {Am, F, C, G, Am, F, C, G, E};
    const int first = kFirstGreetingScene - 1;
    for (int i = 0; i < int(kCutChords.size()); ++i) {
        const int64_t at = kSceneFrom[first + i];
        const int64_t next = kSceneFrom[first + i + 1];
        const Chord chord = kCutChords[i];
        c.kick(at, kHeavyKick, kLightKickDecay);
        c.stab(chord, at, kStab, 0.7f);
        c.note(Instrument::Crash, at, int64_t(kCutCymbalSeconds * kSampleRate), 0, kCrash);
        c.pad(chord, at, next - at + ring, kOrganOpenPad, 0.8f, 0.01f);
        c.organ(chord, at, next - at, kCutOrgan);
        c.bassHeld(chord, at, next - at, kHeldBass, 0.5f);
    }
    const int64_t card = kSceneFrom[kEndCardScene - 1];
    const int64_t drop = kSceneFrom[kFinaleScene - 1];
    c.stab(E, card, kStab * 0.6f, 0.5f);
    c.pad(E, card, drop - card, kOrganOpenPad, 0.85f, 1.0f);
    c.organ(E, card, drop - card, kEndCardOrgan);
    c.riser(card, drop, kRiser);
    const Grid g{drop, nominalBeatSamples()};
    c.roll(g, -kBreathRollBeats, kBreathRollBeats, kRoll);
}

void finale(Composer& c, int bars) {
    // Scene 20: everything at once, heavier; then one last chord that rings out.
    const Grid g{kSceneFrom[kFinaleScene - 1], nominalBeatSamples()};
    const GrooveStyle style{kHeavyKick, kFinaleKickDecay, kBass, 0.75f, 0.6f, true, kPad,
                            0.75f,      kArp * 0.6f,      0.75f, true};
    for (int bar = 0; bar < bars; ++bar) {
        if (bar % 4 == 0) {
            c.crash(g.step(bar, 0), kCrash);
        }
        grooveBar(c, g, bar, progressionChord(bar), style);
        c.leadBar(g, bar, bar, (bar / 4) % 2 == 0 ? kLeadMotif : kAnswerMotif, kLead, 0.8f,
                  kOctave);
    }
    const int64_t end = g.step(bars, 0);
    const int64_t tail = int64_t(kFinaleTailSeconds * kSampleRate);
    c.kick(end, kHeavyKick, kLightKickDecay);
    c.crash(end, kCrash);
    c.pad(Am, end, tail, kPad, 0.6f, 0.01f);
    c.stab(Am, end, kStab, 0.8f);
    c.bassHeld(Am, end, g.span(2), kHeldBass, 0.5f);
}

} // namespace

Score composeTrack(int finaleBars) {
    Score score;
    score.length = trackLength(finaleBars);
    Composer c(score);
    intro(c);
    heartbeat(c);
    firstBeat(c);
    fountains(c);
    credits(c, 5, false);
    credits(c, 6, true);
    puzzle(c);
    orbs(c);
    peak(c);
    greetings(c);
    finale(c, finaleBars);
    return score;
}

} // namespace musicgen
