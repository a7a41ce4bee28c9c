#!/usr/bin/env bash
# Ostrel end to end, a crash during a recording: Start Capture through the menu under a
# virtual X server, SIGKILL a few seconds later, start Ostrel again. The clip must come
# back complete (headers and index written, picture and sound read by ffprobe and
# GStreamer) with the frames the camera delivered up to the kill, short by at most the
# last second; the second start says on its error stream what it repaired.
# Usage: ostrel_crash_repair_e2e.sh <ostrel> <plugin folder>...
set -euo pipefail

ostrel=$1
shift
source "$(dirname "$0")/../lib/ostrel_session.sh"
clip_work ostrel-crash-e2e "$ostrel" "$@"  # OSTREL_E2E_KEEP=1 keeps the screenshots
# The clip folder, AVI at the camera's default 640x480, no time limit.
printf '[SectionMain]\nAviFileFolder=%s\nVideoFormat=0\nTimeLimitEnalbe=0\nTimeLimit=5\n' \
  "$work/clips" >"$work/ostrel.INI"
clip=$work/clips/Clip0000.AVI
report_more() { for f in "$work"/*.log; do echo "--- $f"; cat "$f"; done; }

# Inside the X server: the recording that is killed, then the start that repairs.
run_session 200 <<'SESSION' || fail "the session failed"
clip=$work/clips/Clip0000.AVI
"$work/ostrel" >"$work/first.log" 2>&1 &
pid=$!
wait_for_main_window || { echo "no window" >"$work/session-error"; kill -KILL "$pid"; exit 1; }
menu alt+r a  # Record Audio on
menu alt+r s  # Start Capture
# The recording runs from its first frame in the file.
wait_for_frames_in "$clip" || true
date +%s.%N >"$work/t-start"
sleep 4
[ -f "$clip.unfinished" ] && touch "$work/marked"
date +%s.%N >"$work/t-kill"
kill -KILL "$pid"
wait "$pid" 2>/dev/null
cp "$clip" "$work/killed.avi" 2>/dev/null

"$work/ostrel" >"$work/second.log" 2>&1 &
pid=$!
wait_for_main_window || echo "no window at the second start" >"$work/session-error"
# The repair runs beside the program; it says when it is done.
for _ in $(seq 1 600); do
  grep -q "ostrel: repaired\|ostrel: the repair of" "$work/second.log" && break
  sleep 0.1
done
kill -TERM "$pid"
wait "$pid"
echo $? >"$work/exit-second"
SESSION

[ -f "$work/session-error" ] && fail "$(cat "$work/session-error")"
[ -f "$work/marked" ] || fail "the clip was not marked as unfinished while it was recorded"
[ -f "$work/killed.avi" ] || fail "the killed recording left no clip"
[ "$(cat "$work/exit-second")" = 0 ] || fail "the second ostrel exited with $(cat "$work/exit-second")"

# What the kill left: headers that count no frames.
killed_header=$(ffprobe -v error -select_streams v:0 -show_entries stream=nb_frames -of csv=p=0 \
  "$work/killed.avi" || true)
echo "killed clip: header frames '$killed_header'"

grep -q "ostrel: repaired $clip" "$work/second.log" || fail "the second start did not say it repaired $clip"
[ -f "$clip.unfinished" ] && fail "the marker is still there after the repair"
[ -f "$clip.repairing" ] && fail "the repair left its copy behind"

clip_facts "$clip"
duration=$(ffprobe -v error -select_streams v:0 -show_entries stream=duration -of csv=p=0 "$clip")
rate=$(ffprobe -v error -select_streams v:0 -show_entries stream=r_frame_rate -of csv=p=0 "$clip" |
  awk -F/ '{ print $1 / ($2 ? $2 : 1) }')
recorded=$(awk -v a="$(cat "$work/t-start")" -v b="$(cat "$work/t-kill")" 'BEGIN { print b - a }')
echo "repaired clip: header frames $header, frames read $video, $rate frames a second," \
  "duration $duration s, sound packets $audio; recorded for $recorded s before the kill"
[ "$header" = "$video" ] || fail "the header says $header frames, ffmpeg reads $video"
# The camera delivers its frames at the clip's rate; the last second before the kill may
# be lost (frames on their way to the file), and the wait for the first frame adds up
# to a fraction of one.
awk -v v="$video" -v r="$rate" -v t="$recorded" \
  'BEGIN { exit !(r > 0 && v >= r * (t - 1) && v <= r * (t + 1)) }' ||
  fail "$video frames for $recorded s of recording at $rate frames a second"
awk -v v="$video" -v r="$rate" -v d="$duration" 'BEGIN { exit !(d >= v / r - 0.05 && d <= v / r + 0.05) }' ||
  fail "$video frames last $duration s"
awk -v a="$audio" 'BEGIN { exit !(a + 0 > 0) }' || fail "no sound"
clip_plays "$clip"
echo "PASS"
