// Resident memory of the looping demo, read each time a loop starts the show again: on a
// short track (a few seconds, every hand-over runs each loop), and on the show's own track
// with each loop skipping to the finale's last seconds first (the physics scenes, the lights
// the credits add and the finale's bricks all come and go every loop).
//   bench_loop_memory [LOOPS]     (run from the build folder, with a display)
#include "host/player.h"
#include "host/startup.h"
#include "scenes/scene_table.h"
#include "scenes/show.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
    return -1;
}

void key(show::Show& show, irr::EKEY_CODE code, bool down) {
    irr::SEvent event{};
    event.EventType = irr::EET_KEY_INPUT_EVENT;
    event.KeyInput.Key = code;
    event.KeyInput.PressedDown = down;
    show.receiver->OnEvent(event);
}

class LoopPort final : public show::PlayerPort {
  public:
    LoopPort(show::Show& show, show::PlayerTime& time, const std::vector<show::SceneRow>& rows,
             int loops, bool toTheEnd)
        : PlayerPort(show, time, rows), loops_(loops), toTheEnd_(toTheEnd) {}
    std::vector<long> residentAtStart;

  protected:
    void landingDrawn() override {
        if (show_.position == 0) {
            residentAtStart.push_back(residentKilobytes());
            if (int(residentAtStart.size()) > loops_) {
                key(show_, irr::KEY_ESCAPE, true);
                return;
            }
        }
        // Ten seconds a press, eight presses a landing, until the show's last two seconds.
        const uint32_t lastSeconds = show_.music.track.length() - 2 * show::kSampleRate;
        if (toTheEnd_ && show_.position + show::kSeekStep < lastSeconds)
            for (int i = 0; i < 8 && show_.position + (i + 1) * show::kSeekStep < lastSeconds;
                 ++i) {
                key(show_, irr::KEY_RIGHT, true);
                key(show_, irr::KEY_RIGHT, false);
            }
    }

  private:
    int loops_;
    bool toTheEnd_;
};

void measure(const char* what, const char* track, int loops, bool toTheEnd) {
    show::StartupOptions options;
    options.commandLine = show::CommandLine{320, 240, false};
    options.sound = show::SoundMode::Off;
    options.track = track;
    show::Show show;
    if (show::startShow(show, options) != show::StartupResult::Ready) {
        std::fprintf(stderr, "bench_loop_memory: the show did not start\n");
        std::exit(1);
    }
    show::beginShow(show);
    const std::vector<show::SceneRow> rows = show::showScenes(show.endMark);
    auto& time = static_cast<show::PlayerTime&>(*show.time);
    LoopPort port(show, time, rows, loops, toTheEnd);
    show::playShow(show, port, rows, 0, true);
    show::shutdownShow(show);
    std::printf("%s: resident MB at the start of each loop:", what);
    for (long kb : port.residentAtStart)
        std::printf(" %.1f", kb / 1024.0);
    // Entry n is read as pass n + 1 starts, so after n passes of the show.
    const std::vector<long>& rss = port.residentAtStart;
    if (rss.size() > 3) {
        const double second = double(rss[2]);
        std::printf("\n  after %zu passes against after 2: %+.2f %%\n", rss.size() - 1,
                    100.0 * (double(rss.back()) - second) / second);
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const int loops = argc > 1 ? std::atoi(argv[1]) : 10;
    const char* shortTrack = "/tmp/bench_loop_memory_track.mp3";
    const std::string make = std::string("ffmpeg -loglevel error -y -f lavfi -i "
                                         "'aevalsrc=0.5*sin(2*PI*55*t)*exp(-6*mod(t\\,0.5)):s="
                                         "44100:d=3' -ac 2 -b:a 192k ") +
                             shortTrack;
    if (std::system(make.c_str()) != 0)
        return 1;
    measure("3 s track", shortTrack, loops, false);
    measure("the show's track, each loop skipped to its end", show::kTrackPath, loops, true);
    return 0;
}
