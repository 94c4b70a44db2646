// Every tunable number of the capture tool, in one place.
#pragma once

#include <array>

namespace capture {

// What a plain `demo-capture` makes: the show at 720p, 60 frames a second, as show.mp4.
constexpr int kDefaultWidth = 1280;
constexpr int kDefaultHeight = 720;
constexpr int kDefaultFps = 60;
constexpr const char* kDefaultVideo = "show.mp4";
constexpr const char* kDefaultCsv = "bench.csv";
constexpr const char* kDefaultChart = "bench.png";

// Sizes and rates the show and the encoder can be asked for.
constexpr int kMinSide = 16;
constexpr int kMaxSide = 8192;
constexpr int kMaxFps = 240;
constexpr int kMaxAntiAlias = 16; // the most samples GL drivers offer

// H.264 through ffmpeg: visually lossless at a speed that keeps up with software rendering.
constexpr const char* kX264Preset = "veryfast";
constexpr const char* kX264Crf = "18";
constexpr const char* kAudioBitrate = "192k";
// Frames drawn ahead of the encoder: room for a run of cheap frames while x264 is still busy
// with dear ones (2.7 MB each at 720p).
constexpr int kEncoderQueueFrames = 4;

// PNG frames: zlib level 3 writes several times faster than the default at a slightly
// larger file, which matters for a whole show of frames.
constexpr int kPngCompression = 3;

// Progress on standard error: on a terminal one line redrawn a few times a second; in a file
// or a pipe a plain line now and then.
constexpr double kProgressRedrawSeconds = 0.25;
constexpr double kProgressLineSeconds = 10.0;
constexpr int kProgressBarCells = 30;

// The time left's prior: what a kept frame of each scene (1 to 20) costs against one of scene
// 1, in processor time, drawing and encoding, measured scene by scene at 720p30 (scene 1:
// 31 ms a frame on the development machine). A scene's own mean takes over as its frames
// run; the prior weighs as much as kPriorFrames of them.
constexpr std::array<double, 20> kSceneFrameCost = {1.0,  1.15, 2.6, 3.0, 1.65, 1.75, 2.2,
                                                    1.55, 1.45, 2.2, 2.2, 2.2,  2.2,  2.2,
                                                    2.2,  2.2,  2.2, 2.2, 1.9,  0.85};
// A frame run without drawing, before the first kept one, on the same scale (0.14 ms).
constexpr double kSkippedFrameCost = 0.005;
constexpr double kPriorFrames = 30.0;

// Benchmark: the share of frames under the high percentile.
constexpr double kHighPercentile = 0.95;

// Benchmark chart geometry (pixels).
constexpr int kChartWidth = 900;
constexpr int kChartRowHeight = 22;
constexpr int kChartBarHeight = 14;
constexpr int kChartLeft = 60; // room for the scene numbers
constexpr int kChartRight = 30;
constexpr int kChartTop = 40;    // room for the legend
constexpr int kChartBottom = 40; // room for the axis labels
constexpr int kChartTextScale = 2;
constexpr int kChartAxisTicks = 5;

} // namespace capture
