#!/usr/bin/env bash
# The installed program: both components installed into one scratch prefix, ostrel
# started from there under a virtual X server with no plugin path set. It must find
# its plugins itself, preview the virtual camera (a 640-pixel-wide window whose video
# moves) and give its window the application icon, and keep its settings in the user's
# configuration folder, never beside itself (even as root). Installed without the
# virtual camera, it must not list one.
# Usage: installed_ostrel_e2e.sh <build folder> <icon 128 png>
set -euo pipefail
build=$1
icon_png=$2
source "$(dirname "$0")/../lib/ostrel_session.sh"
need_tools xvfb-run import convert compare xprop xwininfo python3

scratch_folder ostrel-installed
prefix=$work/usr
cmake --install "$build" --prefix "$prefix" --component ostrel >/dev/null
cmake --install "$build" --prefix "$prefix" --component virtualcam >/dev/null
unset GST_PLUGIN_PATH GST_PLUGIN_PATH_1_0
private_registry
user_session C.UTF-8

run_session 200 <<'SESSION'
start_ostrel "$work/usr/bin/ostrel"
wait_for_picture
# The main window is the top-level window that carries an icon.
for id in $(xwininfo -root -children | awk '/^ +0x/ {print $1}'); do
  if xprop -id "$id" -notype 32c _NET_WM_ICON 2>/dev/null | grep -q '= [0-9]'; then
    xprop -id "$id" -notype 32c _NET_WM_ICON >"$work/icon.txt"
    break
  fi
done
terminate_ostrel
SESSION

exit_code_is_zero
ini=$XDG_CONFIG_HOME/ostrel/ostrel.INI
[ -f "$ini" ] || fail "ostrel did not save its settings in the configuration folder"
[ ! -e "$prefix/bin/ostrel.INI" ] || fail "the installed copy wrote beside itself"
grep -qx 'WantPreview=1' "$ini" || fail "no preview ran"

check_preview_window

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
run_offscreen 4 "$bare/bin/ostrel"
grep -qx 'WantPreview=0' "$ini" || fail "a virtual camera was previewed"
[ ! -e "$bare/bin/ostrel.INI" ] || fail "the installed copy wrote beside itself"
echo "PASS"
