// Levels and shapes of the arrangement: one home for every number the composition uses.
// Velocities are linear amplitudes before the master; decays are in seconds. The kick is
// mixed well above the rest: the show reads its beats from the lowest band in absolute terms,
// and the master rounds only the kick's first cycle, so its body keeps that level.
#pragma once

namespace musicgen {

constexpr int kOctave = 12;

// Kick: the lowest spectrum band follows it, so its level and decay set how often the
// show's beat thresholds fire in each scene.
constexpr float kKickLengthPerDecay = 7.0f; // note length in decays: the tail is inaudible
constexpr float kSoftKick = 0.3f;           // scene 2: a pulse, not yet a beat
constexpr float kSoftKickDecay = 0.075f;
constexpr float kLightKick = 0.46f; // scenes 3, 4, 7, 8, 9: the groove
constexpr float kLightKickDecay = 0.06f;
constexpr float kHeavyKick = 0.8f; // scenes 5, 6, 20: a brick on every beat
constexpr float kHeavyKickDecay = 0.09f;
constexpr float kFinaleKickDecay = 0.1f;
constexpr float kBoom = 0.96f; // scene 9: the downbeat that flashes the screen
// The boom holds its level for 80 ms and then stops short: the flash reads as a flash, not
// as a grey screen. It settles on C1, lower than the other kicks: the lowest band reads it
// higher there, and its reading swings less from one picture to the next (the band's
// reading of a low tone follows the tone's phase), so every boom still reaches the flash
// level in pictures taken 30 or 60 times a second.
constexpr float kBoomHold = 0.08f;
constexpr float kBoomDecay = 0.02f;
constexpr int kBoomPitch = 24;

constexpr float kClap = 0.25f;
constexpr float kRoll = 0.3f;
constexpr float kHat = 0.05f;
constexpr float kHatPan = 0.3f;
constexpr float kCrash = 0.07f;
constexpr float kCrashSeconds = 2.5f;
constexpr float kCutCymbalSeconds = 0.8f;
constexpr float kRiser = 0.12f;
constexpr double kBreathRollBeats = 4.0; // the roll before the finale's drop

constexpr float kBass = 0.2f;
constexpr float kHeldBass = 0.2f;
constexpr float kPad = 0.4f;
constexpr float kPadSpread = 1.2f;  // pan from the lowest to the highest chord tone
constexpr float kPadShimmer = 0.7f; // level of the octave doubling
// The pad where no beat ducks it and it carries the harmony alone (the greeting cuts and the
// end card) keeps the level it had before the groove pads came down.
constexpr float kOpenPad = 0.5f;
constexpr float kArp = 0.55f;
constexpr float kArpPan = 0.45f;
constexpr float kLead = 0.7f;
constexpr float kStab = 0.8f;
constexpr float kStabSeconds = 0.6f;
// The organ's upper harmonics are what the spectrum tiles show: many lines just over the
// level that lights a tile, wherever the tiles are on screen (the credits, the puzzle, the
// greetings). The master has room for them only if the other tonal parts step back there.
constexpr float kOrgan = 0.030f;
// A greeting cut lasts under a second and opens on a kick that ducks the organ: it sounds a
// little louder there, to light as many tiles in the time it has.
constexpr float kCutOrgan = 1.3f * kOrgan;
// The end card's held chord lights the tiles at a lower level, under the riser and the roll.
constexpr float kEndCardOrgan = 0.8f * kOrgan;
constexpr float kUnderOrgan = 0.6f; // what the pads and the lead keep of their level there
constexpr float kOrganPad = kUnderOrgan * kPad;
constexpr float kOrganOpenPad = kUnderOrgan * kOpenPad;
constexpr float kOrganLead = kUnderOrgan * kLead;
constexpr float kOrganArp = 0.36f * kArp;
// The credits' kick: with the tonal parts stepped back the limiter turns it down less, so it
// plays a little softer to drop as many bricks as it did before the organ came in.
constexpr float kCreditsKick = 0.9f * kHeavyKick;
// The puzzle's sub line holds the lowest band up between the kicks, so the wire sculpture
// stands stretched high over the wave floor instead of inside it.
constexpr float kSub = 0.15f;
constexpr int kSubOctaves = 2; // below the bass's root

// The intro sits low enough that the spectrum rows of the opening stay on screen.
constexpr float kAirLevel = 0.012f;
constexpr float kIntroPad = 0.12f;
constexpr float kIntroPluck = 0.14f;
constexpr float kIntroRiser = 0.02f;

} // namespace musicgen
