// Voice and effect tunings of the renderer; one home for each number.
#pragma once

namespace musicgen {

// Kick
constexpr double kKickLowHz = 38.0;    // where the pitch settles: inside the lowest band
constexpr double kKickSweepHz = 120.0; // added at the onset, falling away
constexpr double kKickSweepSeconds = 0.018;
constexpr double kKickAttackSeconds = 0.0015;
constexpr double kKickClickSeconds = 0.003;
constexpr float kKickClick = 0.15f;

// Clap and hats
constexpr double kClapHz = 1400.0;
constexpr double kClapQ = 1.2;
constexpr double kClapBurstGap = 0.011;
constexpr int kClapBursts = 3;
constexpr double kClapBurstSeconds = 0.004;
constexpr double kClapTailSeconds = 0.12;
constexpr double kHatHz = 7500.0;
constexpr double kClosedHatSeconds = 0.03;
constexpr double kOpenHatSeconds = 0.16;
constexpr double kCrashHz = 3500.0;
constexpr double kCrashDecaySeconds = 0.9;
constexpr double kRiserLowHz = 250.0;
constexpr double kRiserHighHz = 9000.0;
constexpr double kAirFadeSeconds = 4.0;
constexpr double kAirWobbleHz = 0.13;

// Tonal voices
constexpr double kDetuneCents = 9.0;
constexpr int kPadVoices = 5;
// Pulse widths per voice (0: saws only); a pulse's harmonics are level up to about 1 / width.
constexpr double kPadPulseWidth = 0.2;
constexpr double kLeadPulseWidth = 0.12;
constexpr double kStabPulseWidth = 0.12;
constexpr double kPluckPulseWidth = 0.15;
constexpr float kPulseGain = 2.5f; // a narrow pulse is quiet next to a saw
constexpr double kPadLowHz = 400.0;
constexpr double kPadOctaves = 5.5; // filter range over the tone 0..1
constexpr double kPadReleaseSeconds = 0.5;
constexpr double kPadLfoHz = 0.21;
constexpr double kBassFloorHz = 160.0;
constexpr double kBassEnvHz = 2600.0;
constexpr double kBassEnvSeconds = 0.09;
constexpr double kPluckFloorHz = 350.0;
constexpr double kPluckEnvHz = 6000.0;
constexpr double kPluckEnvSeconds = 0.11;
constexpr double kPluckDecaySeconds = 0.28;
constexpr double kLeadFloorHz = 2500.0;
constexpr double kLeadToneHz = 6000.0;
constexpr double kVibratoHz = 5.5;
constexpr double kVibratoSemitones = 0.12;
constexpr double kVibratoDelaySeconds = 0.2;
constexpr double kStabEnvHz = 8000.0;
constexpr double kStabEnvSeconds = 0.22;
constexpr double kStabDecaySeconds = 0.3;
constexpr double kNoteReleaseSeconds = 0.02;
constexpr int kFilterUpdateSamples = 16; // how often sweeping filters retune
// Organ: the harmonics of a tone between these, each a steady line in the spectrum.
constexpr double kOrganBottomHz = 1000.0; // below this the pads and the bass have the spectrum
constexpr double kOrganTopHz = 6000.0;
constexpr double kOrganAttackSeconds = 0.04;
constexpr double kOrganReleaseSeconds = 0.06;
constexpr double kSubAttackSeconds = 0.02;
constexpr double kSubReleaseSeconds = 0.08;

// Sends (fraction of the voice sent to the effect)
constexpr float kPadReverb = 0.35f;
constexpr float kPluckReverb = 0.2f, kPluckDelay = 0.35f;
constexpr float kLeadReverb = 0.25f, kLeadDelay = 0.25f;
constexpr float kStabReverb = 0.45f;
constexpr float kClapReverb = 0.25f;
constexpr float kCrashReverb = 0.2f;
constexpr float kRiserReverb = 0.4f;

// Side-chain: the kick ducks bass, pads and melody (by this times its velocity), so the kick's
// first cycles stand out from the mix instead of stacking on top of it.
constexpr float kDuckDepth = 0.8f;
constexpr double kDuckSeconds = 0.07;

// Effects
constexpr double kReverbRoom = 0.84;
constexpr double kReverbDamp = 0.25;
constexpr float kReverbInput = 0.015f;
constexpr float kReverbReturn = 1.8f;
constexpr double kDelaySixteenths = 3.0; // dotted eighth at the nominal tempo
constexpr float kDelayFeedback = 0.38f;
constexpr double kDelayDampHz = 3500.0;

// Master, in signal order. The equaliser takes level out of the low mids, where pads and the
// bass's overtones pile up, and out of the presence range that loudness meters weigh most,
// and gives a little to the upper mids, where the spectrum tiles read the chords' overtones.
constexpr double kLowMidHz = 400.0, kLowMidQ = 0.7, kLowMidDb = -4.0;
constexpr double kUpperMidHz = 1800.0, kUpperMidQ = 1.0, kUpperMidDb = 3.0;
constexpr double kPresenceHz = 4500.0, kPresenceQ = 0.8, kPresenceDb = -2.0;
constexpr double kTopHz = 16500.0; // the encoder drops what lies above; left in, it overshoots
constexpr float kMasterGain = 1.8f;
// The kicks' saturator: it works only on the band below kKickBandHz and only in the first
// kHitSeconds of a kick (fading out over kHitFadeSeconds), rounding the tip of the kick's
// first cycle above kSaturationKnee of the ceiling, so the limiter need not turn the whole
// mix down for it.
constexpr double kKickBandHz = 120.0;
constexpr float kSaturationKnee = 0.75f; // share of the ceiling below which nothing bends
constexpr double kHitSeconds = 0.03;
constexpr double kHitFadeSeconds = 0.01;
// The limiter: sample peaks at most kCeiling, about -2 dBFS, which leaves room for the MP3
// encoder's overshoot so the decoded track's true peak stays below -1 dBTP.
constexpr float kCeiling = 0.79f;
constexpr int kLookahead = 220; // samples (5 ms)
constexpr double kLimiterReleaseSeconds = 0.01;
constexpr float kClipTolerance = 1.0001f; // a sample further over the ceiling counts as clipped
constexpr double kEndFadeSeconds = 3.0;

} // namespace musicgen
