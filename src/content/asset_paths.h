// Every file the show reads from its archive, named once: the code that loads a file takes
// its path from here, and so do the checks that the generated content holds them all.
#pragma once

#include <array>

namespace show::asset {

// ---- overlay images, in the order start-up adds them ----
inline constexpr const char* kGreyOverlay = "gfx/greyish_overlay1.png";
inline constexpr const char* kMusicianItems = "gfx/1280x800/pelvin_items.png";
inline constexpr const char* kMusicianText = "gfx/1280x800/pelvin_text.png";
inline constexpr const char* kCoderItems = "gfx/1280x800/keldrun_items.png";
inline constexpr const char* kCoderText = "gfx/1280x800/keldrun_text.png";
inline constexpr const char* kLoading = "gfx/1280x800/loading.png";
inline constexpr const char* kFullScreen = "gfx/1280x800/qhv_dorr.png";
inline constexpr std::array<const char*, 11> kSteps = {
    "gfx/step1.png",  "gfx/step2.png",  "gfx/step3.png", "gfx/step4.png",
    "gfx/step5.png",  "gfx/step6.png",  "gfx/step8.png", "gfx/step10.png",
    "gfx/step12.png", "gfx/step15.png", "gfx/step16.png"};
// The first two cards share their picture.
inline constexpr std::array<const char*, 11> kGreetings = {
    "gfx/top_layer/greetz/frelby.png",   "gfx/top_layer/greetz/frelby.png",
    "gfx/top_layer/greetz/gossamik.png", "gfx/top_layer/greetz/tulvane.png",
    "gfx/top_layer/greetz/mernavo.png",  "gfx/top_layer/greetz/drossik.png",
    "gfx/top_layer/greetz/plimber.png",  "gfx/top_layer/greetz/vashtel.png",
    "gfx/top_layer/greetz/quenby.png",   "gfx/top_layer/greetz/zorrel.png",
    "gfx/top_layer/greetz/end.png"};
inline constexpr const char* kRowDot = "gfx/top_layer/2pix.png";
inline constexpr const char* kGroupLogo = "gfx/1280x800/group_logo.png";
inline constexpr const char* kTitle = "gfx/1280x800/title.png";
inline constexpr const char* kTile = "gfx/top_layer/32/particle_seethrough_32.png";
inline constexpr const char* kArrow = "gfx/top_layer/32/arrow.png";
inline constexpr const char* kFont = "font/blockbit_small.xml";

// ---- models ----
inline constexpr const char* kCircleSculptureMesh = "models/circlemania.X";
inline constexpr const char* kCubePuzzleMesh = "models/true_twirl.X";
inline constexpr const char* kBlueBallMesh = "models/blueball3.X";
inline constexpr const char* kTwirlMesh = "models/twirl.X";
inline constexpr const char* kSpoutMesh = "models/sprutkurv.X";
inline constexpr const char* kRoofMesh = "models/living_roof.X";
inline constexpr const char* kBackRoomMesh = "models/test_back_room.X";
inline constexpr const char* kBoxHallMesh = "models/big_un.X";
inline constexpr const char* kSculptureMesh = "models/unlimited.X";
inline constexpr const char* kRoundaboutMesh = "models/roundabout.X";

// ---- textures the code names (models name their own in their files) ----
// Bump maps: start-up turns each into a normal map in place.
inline constexpr const char* kBackRoomBump = "gfx/box.jpg";
inline constexpr const char* kBoxHallBump = "models/box.jpg";
inline constexpr const char* kSculptureBump = "models/Crackem.jpg";
inline constexpr const char* kFloorTexture = "gfx/JBoxes.jpg";
inline constexpr const char* kOrbTexture = "gfx/particle_white.jpg";
inline constexpr const char* kParticleTexture = "gfx/particle_checkers.jpg";
inline constexpr const char* kBrickOrange = "gfx/brick_orange.jpg";
inline constexpr const char* kBrickYellow = "gfx/brick_yellow.jpg";

// ---- the lists a content check walks ----
inline constexpr std::array<const char*, 12> kOverlayImages = {
    kGreyOverlay, kMusicianItems, kMusicianText, kCoderItems, kCoderText, kLoading,
    kFullScreen,  kRowDot,        kGroupLogo,    kTitle,      kTile,      kArrow};
inline constexpr std::array<const char*, 10> kModels = {
    kCircleSculptureMesh, kCubePuzzleMesh, kBlueBallMesh,  kTwirlMesh,     kSpoutMesh, kRoofMesh,
    kBackRoomMesh,        kBoxHallMesh,    kSculptureMesh, kRoundaboutMesh};
inline constexpr std::array<const char*, 8> kTextures = {
    kBackRoomBump, kBoxHallBump,     kSculptureBump, kFloorTexture,
    kOrbTexture,   kParticleTexture, kBrickOrange,   kBrickYellow};

} // namespace show::asset
