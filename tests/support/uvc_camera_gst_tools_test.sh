#!/usr/bin/env bash
# The emulated camera as GStreamer's own tools see it (run inside uvc_camera.sh): the device
# monitor lists it with every mode, v4l2src records its MJPG frames into an AVI that ffmpeg
# decodes cleanly, and an unplug ends a stream with an error instead of a hang.
set -euo pipefail
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

listing=$(timeout 20 gst-device-monitor-1.0 Video/Source 2>&1)
grep -q "device.path = /dev/video42" <<<"$listing" || fail "device monitor does not list /dev/video42: $listing"
for mode in "format=YUY2, width=640, height=480" "format=YUY2, width=320, height=240" \
            "format=YUY2, width=1280, height=720" "image/jpeg, width=640, height=480" \
            "image/jpeg, width=1280, height=720" "image/jpeg, width=1920, height=1080"; do
  grep -q "$mode" <<<"$listing" || fail "mode $mode not listed"
done

timeout 30 gst-launch-1.0 -q v4l2src device=/dev/video42 num-buffers=15 \
  ! image/jpeg,width=1920,height=1080,framerate=30/1 ! avimux ! filesink location="$out/mjpg.avi"
codec=$(ffprobe -v error -select_streams v:0 -show_entries stream=codec_name,width,height \
        -of csv=p=0 "$out/mjpg.avi")
[ "$codec" = "mjpeg,1920,1080" ] || fail "AVI stream is $codec"
errors=$(ffmpeg -v error -i "$out/mjpg.avi" -f null - 2>&1)
[ -z "$errors" ] || fail "ffmpeg decodes with errors: $errors"
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames \
         -of csv=p=0 "$out/mjpg.avi")
[ "$frames" = 15 ] || fail "$frames frames decoded, 15 recorded"

# Unplugged after a second: v4l2src reports an error and gst-launch ends.
(sleep 1; touch "$UVCEMU_DIR/unplug") &
status=0
timeout 20 gst-launch-1.0 -q v4l2src device=/dev/video42 ! fakesink >"$out/unplug.log" 2>&1 || status=$?
wait
[ "$status" != 124 ] || fail "the stream hangs after an unplug"
[ "$status" != 0 ] || fail "the stream ends without an error after an unplug"
grep -qi "error" "$out/unplug.log" || fail "no error reported: $(cat "$out/unplug.log")"
[ ! -e /dev/video42 ] || true
echo "ok"
