#!/usr/bin/env bash
# ./run.sh on a machine without a display renders the show to show.mp4 instead of playing
# it: 1280x720 at 30 fps unless asked otherwise, the frames the show draws, its sound, and
# progress a log can hold. Excerpts only; the whole show takes minutes.
source "$(dirname "$0")/../common/program/common.bash" "$1"
unset DISPLAY

# A tree like the repository's around the built programs: run.sh as it is, set-up already
# done (the build is the one under test).
tree="$WORK/tree"
mkdir -p "$tree/scripts"
cp "$HERE/../../run.sh" "$tree/run.sh"
printf '#!/bin/sh\nexit 0\n' >"$tree/scripts/setup.sh"
chmod +x "$tree/scripts/setup.sh"
ln -s "$BUILD_DIR" "$tree/build"

probe() { # probe FILE STREAM FIELD
    ffprobe -v error -select_streams "$2:0" -show_entries "stream=$3" -of csv=p=0 "$1"
}
# judged A B: same_picture.py's verdict on the pair at half size. The video's compression
# smears the one-pixel stars of the opening; halving averages that out, not a change of frame.
judged() {
    local a="$WORK/half_a.png" b="$WORK/half_b.png"
    ffmpeg -loglevel error -y -i "$1" -vf scale=iw/2:ih/2:flags=area "$a"
    ffmpeg -loglevel error -y -i "$2" -vf scale=iw/2:ih/2:flags=area "$b"
    python3 "$HELPERS/same_picture.py" --compressed "$a" "$b" | awk '{ print $NF }'
}

set +e
"$tree/run.sh" 640 360 --to 2 2>&1 >"$WORK/out" | cat >"$WORK/log"
status=${PIPESTATUS[0]}
set -e
video="$tree/show.mp4"
check "an excerpt renders without a display (status $status)" test "$status" -eq 0
check "it says where the video is" grep -q "$video" "$WORK/out"
check "the size given is the video's" \
    test "$(probe "$video" v width)x$(probe "$video" v height)" = 640x360
check "30 frames a second by default" test "$(probe "$video" v r_frame_rate)" = 30/1
check "two seconds of it" test "$(probe "$video" v nb_frames)" = 60
check "with the show's sound" test "$(probe "$video" a codec_type)" = audio
check "progress through a pipe has no carriage returns" \
    test "$(tr -cd '\r' <"$WORK/log" | wc -c)" -eq 0
check "and ends with every frame done" grep -q "60/60 frames" "$WORK/log"

# Its frames are the show's: the video's frame at 1.5 s against the picture demo-capture
# draws of it, and the picture half a second earlier as a frame that must not pass.
ffmpeg -loglevel error -i "$video" -vf "select=eq(n\,45)" -frames:v 1 "$WORK/video_45.png"
(cd "$BUILD_DIR" && "$HERE/../with_display.sh" ./demo-capture --size 640x360 --fps 30 \
    --antialias 0 --frames 1,1.5 --png "$WORK/drawn" >/dev/null 2>&1)
check "a frame of the video is the frame the show draws" \
    test "$(judged "$WORK/video_45.png" "$WORK/drawn/frame_000045.png")" = same
check "and not the one half a second before" \
    test "$(judged "$WORK/video_45.png" "$WORK/drawn/frame_000030.png")" = different

# No size: 1280x720. Options after the size reach demo-capture and win over the defaults.
rm -f "$video"
"$tree/run.sh" --to 0.2 >/dev/null 2>&1
check "no size gives 1280x720" \
    test "$(probe "$video" v width)x$(probe "$video" v height)" = 1280x720
(cd "$WORK" && "$tree/run.sh" 320 180 w --fps 60 --to 0.5 --out mine.mp4 >/dev/null 2>&1)
check "--fps reaches demo-capture" test "$(probe "$WORK/mine.mp4" v r_frame_rate)" = 60/1
check "--out names a file where run.sh was called" test "$(probe "$WORK/mine.mp4" v nb_frames)" = 30
set +e
"$tree/run.sh" 320 180 --speed 2 >/dev/null 2>"$WORK/err"
status=$?
set -e
check "an option demo-capture does not know is refused (status $status)" \
    bash -c "[ $status -eq 2 ] && grep -q 'unknown option --speed' '$WORK/err'"
finish
