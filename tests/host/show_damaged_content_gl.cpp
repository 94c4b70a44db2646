// The whole show played through the virtual clock on damaged content: no archive, an empty
// or a broken zip, each model missing in turn, no font, images that do not decode. Whatever
// is missing stays empty; every scene is entered and draws, and the show ends by itself.
#include "common/show_fixture.h"
#include "content/asset_paths.h"
#include "core/archive_guard.h"
#include "show_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<char>;

// Two frames a second: every scene still gets a frame (the shortest lasts 0.61 s), and the
// sixteen whole shows stay within minutes on a software renderer.
constexpr int kFps = 2;

using Nodes = std::vector<const irr::scene::ISceneNode*>;

// The world's handles each model fills; every model is taken away in turn.
struct ModelUse {
    const char* model;
    Nodes (*nodes)(const show::World&);
};
const ModelUse kModelUses[] = {
    {show::asset::kCircleSculptureMesh,
     [](const show::World& w) { return Nodes{w.circleSculpture}; }},
    {show::asset::kCubePuzzleMesh, [](const show::World& w) { return Nodes{w.cubePuzzle}; }},
    {show::asset::kBlueBallMesh, [](const show::World& w) { return Nodes{w.blueBall}; }},
    {show::asset::kTwirlMesh,
     [](const show::World& w) { return Nodes(w.twirlGrid.begin(), w.twirlGrid.end()); }},
    {show::asset::kSpoutMesh, [](const show::World& w) { return Nodes{w.spout}; }},
    {show::asset::kRoofMesh, [](const show::World& w) { return Nodes{w.roof}; }},
    {show::asset::kBackRoomMesh, [](const show::World& w) { return Nodes{w.backRoom}; }},
    {show::asset::kBoxHallMesh, [](const show::World& w) { return Nodes{w.boxHall}; }},
    {show::asset::kSculptureMesh,
     [](const show::World& w) {
         return Nodes{w.innerSculpture, w.wireSculpture};
     }},
    {show::asset::kRoundaboutMesh, [](const show::World& w) { return Nodes{w.roundabout}; }},
};

// Local file header of a zip entry: where its name lengths and compressed size sit.
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kCompressedSizeAt = 18;
constexpr size_t kNameLengthAt = 26;
constexpr size_t kExtraLengthAt = 28;
const std::string kLocalHeaderMagic = "PK\x03\x04";

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string writeVariant(const std::string& name, const Bytes& bytes) {
    const std::string path = std::string(TEST_BUILD_DIR) + "/damaged_" + name + ".lll";
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return path;
}

const Bytes& archive() {
    static const Bytes bytes = readFile(showtest::builtArchive());
    return bytes;
}

uint32_t readLittle(const Bytes& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | uint8_t(b[at + size_t(i)]);
    return v;
}

// The archive with an entry's name changed in place (same length), so the show's lookup of
// the old name finds nothing: the entry is missing as far as the show can tell.
Bytes withoutEntry(const std::string& path) {
    Bytes bytes = archive();
    std::string hidden = path;
    hidden.back() = hidden.back() == '~' ? '#' : '~';
    size_t renamed = 0;
    for (auto at = bytes.begin();
         (at = std::search(at, bytes.end(), path.begin(), path.end())) != bytes.end(); ++renamed)
        at = std::copy(hidden.begin(), hidden.end(), at);
    EXPECT_GT(renamed, 0u) << path << " is not in the archive";
    return bytes;
}

// The archive with an entry's stored bytes overwritten by a pattern that no decoder accepts.
Bytes withGarbledEntry(const std::string& path) {
    Bytes bytes = archive();
    for (size_t at = 0; at + kLocalHeaderSize < bytes.size(); ++at) {
        if (!std::equal(kLocalHeaderMagic.begin(), kLocalHeaderMagic.end(), bytes.begin() + at))
            continue;
        const size_t nameLength = readLittle(bytes, at + kNameLengthAt, 2);
        const size_t extraLength = readLittle(bytes, at + kExtraLengthAt, 2);
        const size_t size = readLittle(bytes, at + kCompressedSizeAt, 4);
        const size_t nameAt = at + kLocalHeaderSize;
        if (std::string(bytes.data() + nameAt, nameLength) != path)
            continue;
        const size_t dataAt = nameAt + nameLength + extraLength;
        // Keep the first bytes (a decoder sees its signature), garble everything after them.
        constexpr size_t kKeptSignature = 8;
        for (size_t i = kKeptSignature; i < size && dataAt + i < bytes.size(); ++i)
            bytes[dataAt + i] = char(0xA5 ^ (i * 31));
        return bytes;
    }
    ADD_FAILURE() << path << " is not a local entry of the archive";
    return bytes;
}

// Plays the whole show on the archive at archivePath; atStart sees the show as start-up left
// it, at its first frame.
void expectPlaysThrough(const std::string& archivePath, const std::string& what,
                        const std::function<void(show::Show&)>& atStart = nullptr) {
    showdriver::ShowPlan plan;
    plan.fps = kFps;
    plan.archive = archivePath;
    bool looked = false;
    plan.onFrame = [&](show::Show& s, int, int frame) {
        if (frame == 0 && atStart) {
            atStart(s);
            looked = true;
        }
    };
    const showdriver::ShowReport report = showdriver::playShow(plan);
    EXPECT_TRUE(looked || !atStart) << what << ": no frame was drawn";
    ASSERT_EQ(report.startup, show::StartupResult::Ready) << what;
    EXPECT_EQ(report.end, show::ShowEnd::Finished) << what;
    EXPECT_EQ(report.quitCode, show::kQuitRequested) << what;
    EXPECT_EQ(report.enteredCount(), show::kSceneCount) << what;
    for (int scene = 1; scene <= show::kSceneCount; ++scene)
        EXPECT_GT(report.frames[scene - 1], 0) << what << ": scene " << scene << " drew nothing";
}

} // namespace

TEST(ShowOnDamagedContent, NoArchivePlaysThrough) {
    expectPlaysThrough(TEST_BUILD_DIR "/damaged_no_such_archive.lll", "no archive");
}

TEST(ShowOnDamagedContent, EmptyZipPlaysThrough) {
    // An end-of-central-directory record and nothing else.
    Bytes empty = {'P', 'K', 5, 6};
    empty.resize(22, 0);
    expectPlaysThrough(writeVariant("empty", empty), "empty zip");
}

TEST(ShowOnDamagedContent, BrokenZipsPlayThrough) {
    const Bytes& whole = archive();
    expectPlaysThrough(writeVariant("half", Bytes(whole.begin(), whole.begin() + whole.size() / 2)),
                       "the first half of the archive");
    Bytes noise(whole.size());
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 2654435761u) >> 13);
    expectPlaysThrough(writeVariant("noise", noise), "noise named data.lll");
}

TEST(ShowOnDamagedContent, EachMissingModelLeavesItsObjectEmpty) {
    for (const ModelUse& missing : kModelUses) {
        expectPlaysThrough(writeVariant("no_model", withoutEntry(missing.model)), missing.model,
                           [&](show::Show& s) {
                               for (const ModelUse& use : kModelUses)
                                   for (const irr::scene::ISceneNode* node : use.nodes(s.world))
                                       EXPECT_EQ(node == nullptr, use.model == missing.model)
                                           << "without " << missing.model << ", the object of "
                                           << use.model;
                           });
    }
}

TEST(ShowOnDamagedContent, MissingFontLeavesTheEnginesFont) {
    expectPlaysThrough(writeVariant("no_font", withoutEntry(show::asset::kFont)), "no font",
                       [](show::Show& s) {
                           irr::gui::IGUIEnvironment* gui = s.engine.gui;
                           EXPECT_EQ(gui->getSkin()->getFont(), gui->getBuiltInFont());
                       });
}

TEST(ShowOnDamagedContent, ImagesThatDoNotDecodeStayEmpty) {
    constexpr const char* kFontPicture = "font/blockbit_small.png";
    Bytes garbled = archive();
    for (const char* image :
         {show::asset::kLoading, show::asset::kRowDot, kFontPicture, show::asset::kBrickOrange}) {
        const Bytes one = withGarbledEntry(image);
        // Merge: every garbled entry into one archive.
        for (size_t i = 0; i < garbled.size(); ++i)
            if (one[i] != archive()[i])
                garbled[i] = one[i];
    }
    expectPlaysThrough(writeVariant("garbled_images", garbled), "garbled images",
                       [](show::Show& s) {
                           const show::Overlay& o = s.overlay;
                           EXPECT_EQ(o.loading->getImage(), nullptr);
                           for (const irr::gui::IGUIImage* dot : o.rowA)
                               ASSERT_EQ(dot->getImage(), nullptr);
                           EXPECT_EQ(s.physics.brickTexture, nullptr);
                           irr::gui::IGUIEnvironment* gui = s.engine.gui;
                           EXPECT_EQ(gui->getSkin()->getFont(), gui->getBuiltInFont())
                               << "a font without its picture is no font";
                           // What decodes is there all the same.
                           EXPECT_NE(o.title->getImage(), nullptr);
                           EXPECT_NE(o.groupLogo->getImage(), nullptr);
                       });
}

TEST(ShowOnDamagedContent, TheGuardHidesNoJpegOfTheRealArchive) {
    irr::IrrlichtDevice* device = irr::createDevice(irr::video::EDT_NULL);
    ASSERT_NE(device, nullptr);
    irr::io::IFileSystem* fs = device->getFileSystem();
    ASSERT_TRUE(show::mountGuardedArchive(fs, showtest::builtArchive().c_str()));
    const irr::io::IFileList* list = fs->getFileArchive(0)->getFileList();
    int jpegs = 0;
    for (irr::u32 i = 0; i < list->getFileCount(); ++i) {
        const irr::io::path name = list->getFullFileName(i);
        if (!irr::core::hasFileExtension(name, "jpg"))
            continue;
        ++jpegs;
        irr::io::IReadFile* file = fs->createAndOpenFile(name);
        EXPECT_NE(file, nullptr) << name.c_str();
        if (file)
            file->drop();
    }
    EXPECT_GT(jpegs, 0);
    device->drop();
}
