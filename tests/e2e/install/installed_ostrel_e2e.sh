#!/usr/bin/env bash
# The installed program: both components installed into one scratch prefix, ostrel
# started from there under a virtual X server with no plugin path set. It must find
# its plugins itself, preview the virtual camera (a 640-pixel-wide window whose video
# moves) and give its window the application icon. Installed without the virtual
# camera, it must not list one.
# Usage: installed_ostrel_e2e.sh <build folder> <icon 128 png>
set -euo pipefail
build=$1
icon_png=$2
for tool in xvfb-run import convert compare xprop xwininfo python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d /tmp/ostrel-installed-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  cat "$work/ostrel.log" 2>/dev/null >&2 || true
  exit 1
}

prefix=$work/usr
cmake --install "$build" --prefix "$prefix" --component ostrel >/dev/null
cmake --install "$build" --prefix "$prefix" --component virtualcam >/dev/null
mkdir -p "$work/home/.config"
unset GST_PLUGIN_PATH GST_PLUGIN_PATH_1_0
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
export GST_REGISTRY=$work/registry.bin
# Plugins are scanned in this process: a sanitizer build's plugins cannot be loaded by
# the uninstrumented scanner helper.
export GST_REGISTRY_FORK=no

cat >"$work/session.sh" <<'SESSION'
#!/usr/bin/env bash
# Inside the X server: start, wait for the picture, screenshots, the icon, terminate.
set -u
work=$1
"$work/usr/bin/ostrel" >"$work/ostrel.log" 2>&1 &
pid=$!
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
# The main window is the top-level window that carries an icon.
for id in $(xwininfo -root -children | awk '/^ +0x/ {print $1}'); do
  if xprop -id "$id" -notype 32c _NET_WM_ICON 2>/dev/null | grep -q '= [0-9]'; then
    xprop -id "$id" -notype 32c _NET_WM_ICON >"$work/icon.txt"
    break
  fi
done
kill -TERM "$pid"
wait "$pid"
echo $? >"$work/exit_code"
SESSION
chmod +x "$work/session.sh"
timeout 200 xvfb-run -a -s "-screen 0 1280x1024x24" "$work/session.sh" "$work"

[ -f "$work/exit_code" ] || fail "the session did not finish"
[ "$(cat "$work/exit_code")" = 0 ] || fail "ostrel exited with $(cat "$work/exit_code")"
[ -f "$prefix/bin/ostrel.INI" ] || fail "ostrel did not save its settings"
grep -qx 'WantPreview=1' "$prefix/bin/ostrel.INI" || fail "no preview ran"

read -r width height left top < <(convert "$work/shot1.png" -trim -format '%w %h %X %Y\n' info:)
echo "window: ${width}x${height} at ${left},${top}"
[ "$width" = 640 ] || fail "the window is $width pixels wide, not 640"
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

# The window's icon: its 128-pixel image is our icon 128, pixel for pixel.
[ -s "$work/icon.txt" ] || fail "the window has no icon"
convert "$icon_png" -depth 8 rgba:"$work/icon128.rgba"
python3 - "$work/icon.txt" "$work/icon128.rgba" <<'PY' || fail "the window's icon is not icon 128"
import sys
values = [int(v) for v in open(sys.argv[1]).read().split("=", 1)[1].replace(",", " ").split()]
reference = open(sys.argv[2], "rb").read()
sizes, at, found = [], 0, None
while at + 2 <= len(values):
    w, h = values[at], values[at + 1]
    sizes.append(f"{w}x{h}")
    if (w, h) == (128, 128):
        found = values[at + 2:at + 2 + w * h]
    at += 2 + w * h
print("icon sizes:", " ".join(sizes))
if found is None:
    sys.exit("no 128x128 image")
worst = 0
for i, argb in enumerate(found):
    a, r, g, b = argb >> 24 & 255, argb >> 16 & 255, argb >> 8 & 255, argb & 255
    R, G, B, A = reference[4 * i:4 * i + 4]
    worst = max(worst, abs(a - A))
    if A:  # the colour of a transparent pixel does not matter
        worst = max(worst, abs(r - R), abs(g - G), abs(b - B))
print("largest channel difference:", worst)
sys.exit(worst > 2)
PY

# Without the virtual camera's package there is no camera to preview.
bare=$work/bare
cmake --install "$build" --prefix "$bare" --component ostrel >/dev/null
rm -f "$GST_REGISTRY"
QT_QPA_PLATFORM=offscreen "$bare/bin/ostrel" >"$work/ostrel.log" 2>&1 &
pid=$!
sleep 4
kill -0 "$pid" 2>/dev/null || fail "ostrel without the virtual camera ended by itself"
kill -TERM "$pid"
rc=0
wait "$pid" || rc=$?
[ "$rc" = 0 ] || fail "ostrel without the virtual camera exited with $rc"
grep -qx 'WantPreview=0' "$bare/bin/ostrel.INI" || fail "a virtual camera was previewed"
echo "PASS"
