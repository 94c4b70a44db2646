// Milliseconds per physics step with the show's bricks around the floor box: dropped all at
// once (as scenes 8 and 9 drop them), timed over the first second and again twenty seconds
// later, and rained four per beat (as the finale drops them), timed once all are in.
#include "core/rng.h"
#include "physics/physics.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using namespace show;

// Bodies in the world, the floor box included: the floor alone, half a rain, a brick drop of
// scenes 8 and 9 (128 bricks), and the most a finale cycle holds (204 bricks).
constexpr int kBodyCounts[] = {1, 64, 128, 205};
// Drop area of the scenes: x and z in -5 .. 94, height 20 .. 60 (a loud bass level).
constexpr int kSpread = 100;
constexpr float kSpreadOffset = 5.0f;
constexpr int kLowDrop = 20;
constexpr int kDropRange = 41;
constexpr int kFramesPerSecond = 60;
constexpr int kTimedFrames = kFramesPerSecond; // one second of frames per measurement
constexpr int kSettleFrames = 20 * kFramesPerSecond;
constexpr int kBricksPerBeat = 4;
constexpr int kFramesPerBeat = 6;
constexpr float kFellOffBelow = -kFloorBoxEdge; // under the floor box: no longer on the pile
constexpr int kRepeats = 3;

struct Timing {
    double meanMs = 1e9;
    double maxMs = 0;
    double substepsPerCall = 0;
};

int gSubsteps = 0;
void countSubstep(btDynamicsWorld*, btScalar) {
    ++gSubsteps;
}

// The engine timer at 60 fps hands the scenes 16 and 17 ms deltas adding up to a second.
struct FrameClock {
    int frame = 0;
    irr::u32 next() {
        const int f = frame++ % kFramesPerSecond;
        return static_cast<irr::u32>((f + 1) * 1000 / kFramesPerSecond -
                                     f * 1000 / kFramesPerSecond);
    }
};

void dropBricks(Physics& physics, Random& random, int count) {
    for (int i = 0; i < count; ++i) {
        const float x = static_cast<float>(random.below(kSpread)) - kSpreadOffset;
        const float z = static_cast<float>(random.below(kSpread)) - kSpreadOffset;
        const float y = static_cast<float>(kLowDrop + random.below(kDropRange));
        createBox(physics, btVector3(x, y, z),
                  irr::core::vector3df(kBrickEdge, kBrickEdge, kBrickEdge), kBrickMass);
    }
}

void runFrames(Physics& physics, FrameClock& clock, int frames) {
    for (int i = 0; i < frames; ++i) {
        stepPhysics(physics, clock.next());
    }
}

Timing timeFrames(Physics& physics, FrameClock& clock) {
    using Clock = std::chrono::steady_clock;
    Timing timing;
    timing.meanMs = 0;
    gSubsteps = 0;
    for (int i = 0; i < kTimedFrames; ++i) {
        const auto start = Clock::now();
        stepPhysics(physics, clock.next());
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        timing.meanMs += ms;
        timing.maxMs = std::max(timing.maxMs, ms);
    }
    timing.meanMs /= kTimedFrames;
    timing.substepsPerCall = static_cast<double>(gSubsteps) / kTimedFrames;
    return timing;
}

int bricksOnPile(const Physics& physics) {
    return static_cast<int>(
        std::count_if(physics.bodyList.begin(), physics.bodyList.end(), [](btRigidBody* body) {
            return body->getWorldTransform().getOrigin().y() > kFellOffBelow;
        }));
}

// Keeps the better of several runs: the machine is shared, and a slow run says little.
Timing best(const Timing& a, const Timing& b) {
    return a.meanMs <= b.meanMs ? a : b;
}

void printTiming(const Timing& t) {
    std::printf(" | %7.3f %7.3f %5.2f", t.meanMs, t.maxMs, t.substepsPerCall);
}

} // namespace

int main() {
    irr::IrrlichtDevice* device = irr::createDevice(irr::video::EDT_NULL);
    if (device == nullptr) {
        std::fprintf(stderr, "bench_physics_step: the null device could not be created\n");
        return 1;
    }
    device->getLogger()->setLogLevel(irr::ELL_NONE); // no archive: every brick misses its texture

    std::printf("\nstepPhysics at 60 fps: ms per call (mean, max) and substeps per call,\n"
                "%d timed frames, best of %d runs; 'left' = bodies still above y = %.0f\n\n",
                kTimedFrames, kRepeats, static_cast<double>(kFellOffBelow));
    std::printf("%6s | %-21s | %-21s | %-21s | %s\n", "bodies", "drop: first second",
                "drop: after 20 s", "rain: all in", "left after 20 s");
    {
        Physics physics;
        createPhysicsWorld(physics, device->getSceneManager());
        physics.physicsWorld->setInternalTickCallback(countSubstep);
        for (int bodies : kBodyCounts) {
            Timing falling;
            Timing settled;
            Timing rain;
            int left = 0;
            for (int run = 0; run < kRepeats; ++run) {
                Random random;
                FrameClock clock;
                resetPhysics(physics);
                dropBricks(physics, random, bodies - 1);
                falling = best(falling, timeFrames(physics, clock));
                runFrames(physics, clock, kSettleFrames);
                settled = best(settled, timeFrames(physics, clock));
                left = bricksOnPile(physics);

                resetPhysics(physics);
                for (int dropped = 0; dropped < bodies - 1; dropped += kBricksPerBeat) {
                    dropBricks(physics, random, std::min(kBricksPerBeat, bodies - 1 - dropped));
                    runFrames(physics, clock, kFramesPerBeat);
                }
                rain = best(rain, timeFrames(physics, clock));
            }
            std::printf("%6d", bodies);
            printTiming(falling);
            printTiming(settled);
            printTiming(rain);
            std::printf(" | %d\n", left);
            std::fflush(stdout);
        }
        clearPhysics(physics);
    }
    device->drop();
    return 0;
}
