#!/usr/bin/env bash
# Ostrel end to end: the built program under a virtual X server with the virtual camera
# and the transfer filter on GStreamer's plugin path. Two screenshots of the screen must
# show a 640-pixel-wide window whose video area moves and is not black; a termination
# request must then close it cleanly.
# Usage: ostrel_preview_e2e.sh <ostrel> <plugin folder>...
set -euo pipefail

ostrel=$1
shift
for tool in xvfb-run import convert compare; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d /tmp/ostrel-e2e-XXXXXX)
trap 'rm -rf "$work"' EXIT
# The settings file goes beside the executable: run a copy in the scratch folder.
cp "$ostrel" "$work/ostrel"
export GST_PLUGIN_PATH=$(IFS=:; echo "$*")
export GST_REGISTRY="$work/registry.bin"
# Plugins are scanned in this process: a sanitizer build's plugins cannot be loaded by
# the uninstrumented scanner helper.
export GST_REGISTRY_FORK=no

cat >"$work/session.sh" <<'SESSION'
#!/usr/bin/env bash
# Runs inside the X server: start, wait for the picture, two screenshots, terminate.
set -u
work=$1
"$work/ostrel" >"$work/ostrel.log" 2>&1 &
pid=$!
# Wait (generously: sanitizer builds start slowly) until the preview has sized the
# window and its video area shows something not black.
for _ in $(seq 1 240); do
  sleep 0.5
  import -window root "$work/shot1.png" 2>/dev/null || continue
  width=$(convert "$work/shot1.png" -trim -format '%w' info:)
  [ "$width" = 640 ] || continue
  peak=$(convert "$work/shot1.png" -crop 600x300+20+100 +repage -format '%[fx:maxima]' info:)
  if awk -v p="$peak" 'BEGIN { exit !(p > 0.2) }'; then break; fi
done
sleep 0.5
import -window root "$work/shot1.png"
sleep 0.7
import -window root "$work/shot2.png"
kill -TERM "$pid"
wait "$pid"
echo $? >"$work/exit_code"
SESSION
chmod +x "$work/session.sh"

timeout 200 xvfb-run -a -s "-screen 0 1280x1024x24" "$work/session.sh" "$work"

fail() {
  echo "FAIL: $*"
  echo "--- ostrel output"
  cat "$work/ostrel.log" || true
  exit 1
}

[ -f "$work/exit_code" ] || fail "the session did not finish"
[ "$(cat "$work/exit_code")" = 0 ] || fail "ostrel exited with $(cat "$work/exit_code")"
[ -f "$work/ostrel.INI" ] || fail "ostrel did not save its settings on close"

# Without a window manager the window sits at the top left on a black screen: the
# bounding box of what is not black is the window.
read -r width height left top < <(convert "$work/shot1.png" -trim -format '%w %h %X %Y\n' info:)
echo "window: ${width}x${height} at ${left},${top}"
[ "$width" = 640 ] || fail "the window is $width pixels wide, not 640"

# The video area: below the menu bar, above the status bar.
crop="$((width - 8))x$((height - 90))+$((left + 4))+$((${top#+} + 40))"
convert "$work/shot1.png" -crop "$crop" +repage "$work/video1.png"
convert "$work/shot2.png" -crop "$crop" +repage "$work/video2.png"
peak=$(convert "$work/video1.png" -format '%[fx:maxima]' info:)
spread=$(convert "$work/video1.png" -format '%[fx:standard_deviation]' info:)
echo "video area: peak $peak, spread $spread"
awk -v p="$peak" -v s="$spread" 'BEGIN { exit !(p > 0.5 && s > 0.05) }' ||
  fail "the video area is black or uniform"
changed=$(compare -metric AE "$work/video1.png" "$work/video2.png" null: 2>&1 || true)
echo "pixels changed between the screenshots: $changed"
awk -v c="$changed" 'BEGIN { exit !(c + 0 > 100) }' || fail "the picture does not move"
echo "PASS"
