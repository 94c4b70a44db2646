#!/usr/bin/env bash
# demo-capture to MP4: the right length of video and of the show's own sound, from the start
# and from late in the show, with scene 8's pan sweep heard in the mix.
[ -n "${WITH_DISPLAY:-}" ] || exec "$(dirname "$0")/../../with_display.sh" bash "$0" "$@"
source "$(dirname "$0")/../../common/program/common.bash" "$1"
source "$(dirname "$0")/../../common/program/capture.bash"

make_capture_folder
cd "$WORK/run"

# probe FILE STREAM FIELD: one field of the file's first video or audio stream.
probe() {
    ffprobe -v error -select_streams "$2:0" -show_entries "stream=$3" -of csv=p=0 "$1"
}
# near A B: the two durations agree within a frame at the lowest rate used here.
near() { awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; exit !(d < 0.1 && d > -0.1) }'; }
# channel_db FILE CHANNEL: mean loudness of one channel in dB.
channel_db() {
    ffmpeg -nostdin -hide_banner -i "$1" -af "pan=mono|c0=c$2,volumedetect" -f null - 2>&1 |
        sed -n 's/.*mean_volume: \(-*[0-9.]*\) dB.*/\1/p'
}

set +e
./demo-capture --size 160x120 --fps 10 --to 3 --out opening.mp4 >"$WORK/out" 2>"$WORK/err"
status=$?
set -e
check "a capture of the opening succeeds (status $status)" test "$status" -eq 0
check "it says where the video is" grep -q "opening.mp4" "$WORK/out"
check "the progress bar reaches every frame" grep -q "30/30 frames" "$WORK/err"
check "the video is 160x120" test "$(probe opening.mp4 v width)x$(probe opening.mp4 v height)" = 160x120
check "it holds 30 frames" test "$(probe opening.mp4 v nb_frames)" = 30
check "the video lasts 3 s" near "$(probe opening.mp4 v duration)" 3
check "the sound lasts 3 s" near "$(probe opening.mp4 a duration)" 3
check "the sound is the music, not silence" \
    awk -v db="$(channel_db opening.mp4 0)" 'BEGIN { exit !(db > -50) }'
check "no part files are left" test -z "$(ls | grep part || true)"

# The first second of the last scene: every earlier frame runs, none is encoded.
./demo-capture --size 160x120 --fps 5 --from 183.5 --to 184.5 --out finale.mp4 >/dev/null 2>&1
check "the finale's first second is 5 frames" test "$(probe finale.mp4 v nb_frames)" = 5
check "its video lasts 1 s" near "$(probe finale.mp4 v duration)" 1
check "its sound lasts 1 s" near "$(probe finale.mp4 a duration)" 1

# Early in scene 8 the sweep has just left the left end: the right channel is far quieter.
./demo-capture --size 160x120 --fps 10 --from 112 --to 113 --out sweep.mp4 >/dev/null 2>&1
left=$(channel_db sweep.mp4 0)
right=$(channel_db sweep.mp4 1)
check "the pan sweep is in the mix (left $left dB, right $right dB)" \
    awk -v l="$left" -v r="$right" 'BEGIN { exit !(l - r > 10) }'
finish
