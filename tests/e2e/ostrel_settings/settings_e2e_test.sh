#!/usr/bin/env bash
# Starts ostrel from a folder of its own, ends it with SIGTERM (which closes the window
# in order) and checks the settings file it leaves; a second start reads it back.
# Every setting changed through the menus is on disk at once: SIGKILL loses none.
# Also: with no camera at all, ostrel shows its message, keeps running and still
# closes cleanly.
set -euo pipefail
ostrel_bin=$1
plugin_path=$2  # the virtual camera and the transfer filter

source "$(dirname "$0")/../lib/ostrel_session.sh"

scratch_folder ostrel-settings-e2e
mkdir -p "$work/bin" "$work/home/Documents" "$work/home/Bilder" "$work/home/.config"
printf 'XDG_DOCUMENTS_DIR="$HOME/Documents"\nXDG_PICTURES_DIR="$HOME/Bilder"\n' \
  >"$work/home/.config/user-dirs.dirs"
cp "$ostrel_bin" "$work/bin/ostrel"
ini="$work/bin/ostrel.INI"
private_registry
user_session fr_FR.UTF-8
report_more() { [ -f "$ini" ] && cat "$ini"; }

# run_ostrel <plugin path> <seconds>: starts, waits, checks it is alive, ends it.
run_ostrel() { GST_PLUGIN_PATH="$1" run_offscreen "$2" "$work/bin/ostrel"; }

# 1. First start on the virtual camera: the ten keys, in order.
run_ostrel "$plugin_path" 4
[ -f "$ini" ] || fail "no settings file beside the executable"
keys=$(grep -o '^[^=]*=' "$ini" | tr -d '=' | paste -sd, -)
expected="WantPreview,AviFileFolder,SnapFolder,AviFileIndex,SnapFileIndex,TimeLimitEnalbe,TimeLimit,Capture Audio,VideoFormat,HighResolutionSize"
[ "$keys" = "$expected" ] || fail "keys: $keys"
head -1 "$ini" | grep -qx '\[SectionMain\]' || fail "section header"
grep -qx "AviFileFolder=$work/home/Videos" "$ini" || fail "capture folder is not the videos folder"
[ -d "$work/home/Videos" ] || fail "the videos folder was not made"
grep -qx "SnapFolder=$work/home/Bilder" "$ini" || fail "snapshot folder is not the pictures folder"
grep -qx 'WantPreview=1' "$ini" || fail "the preview was not running at close"

# 2. A second start reads the file back (and writes what it read).
sed -i 's/^AviFileIndex=.*/AviFileIndex=42/; s/^TimeLimit=.*/TimeLimit=75/' "$ini"
run_ostrel "$plugin_path" 4
grep -qx 'AviFileIndex=42' "$ini" || fail "AviFileIndex not read back"
grep -qx 'TimeLimit=75' "$ini" || fail "TimeLimit not read back"

# 3. Each setting changed through its command, then SIGKILL: the file holds them all.
need_tools xvfb-run xdotool import
export GST_PLUGIN_PATH=$plugin_path
rm -f "$ini"
mkdir -p "$work/home/Clips"
run_session 200 <<'SESSION'
LANG=C.UTF-8 start_ostrel "$work/bin/ostrel"
wait_for_main_window
menu alt+f s; dialog_window && sleep 1                   # File > Set capture file Folder
xdotool windowfocus --sync "$dialog" key ctrl+a; xdotool type "$HOME/Clips"
xdotool key Return; sleep 1
menu alt+r; xdotool key a                                # Capture > Record Audio
menu alt+r; xdotool key Down; sleep 0.3; xdotool key Right; sleep 0.4; xdotool key Down Return
menu alt+r; xdotool key Down Down Down; sleep 0.3; xdotool key Right; sleep 0.4
xdotool key Down Down Return                             # the third still size
menu alt+r l; dialog_window && sleep 0.5                 # Capture > Record time limit
xdotool windowfocus --sync "$dialog" key space Tab ctrl+a BackSpace; xdotool type 7
xdotool key Return; sleep 0.5
menu alt+r s; sleep 2; menu alt+r s; sleep 1             # a clip takes its number
menu alt+r p; sleep 1                                    # Capture > Snap Shot
screenshot before_kill
kill -KILL "$pid"
SESSION
for line in "AviFileFolder=$work/home/Clips" 'Capture Audio=1' 'VideoFormat=1' \
  'HighResolutionSize=2' 'TimeLimitEnalbe=1' 'TimeLimit=7' 'AviFileIndex=1' 'SnapFileIndex=1'; do
  grep -qx "$line" "$ini" || fail "after SIGKILL the file lacks $line"
done
[ -f "$work/home/Clips/Clip0000.WMV" ] || fail "no clip in the chosen folder"

# 4. No camera and no microphone: the message box is up, the program keeps running,
#    and a termination request still closes it in order.
rm -f "$ini" "$GST_REGISTRY"
run_ostrel "/nonexistent" 4
[ -f "$ini" ] || fail "no settings file after a run without devices"
grep -qx 'WantPreview=0' "$ini" || fail "without a camera no graph ran"
echo "ok"
