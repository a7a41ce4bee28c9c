#!/usr/bin/env bash
# Ostrel's dialogs opened from its menu under a virtual X server, in one language: the
# frame-rate box refuses 61 with the range prompt and Escape keeps the rate; the time
# limit takes 4294967295, which the settings file keeps as a limit it reads back; the
# About box answers Enter; the folder browser opens with its title and Qt's own texts in
# the language. Screenshots of each stay in the output folder.
# Usage: ostrel_dialogs_e2e.sh <ostrel> <locale> <output folder> <plugin folder>...
set -uo pipefail

ostrel=$1
locale=$2
work=$3
shift 3
source "$(dirname "$0")/../lib/ostrel_session.sh"
need_tools xvfb-run import xdotool

# The output folder is the scratch folder, and the screenshots stay in it.
rm -rf "$work"
mkdir -p "$work"
ostrel_in_work "$locale" "$ostrel" "$@"

run_session 250 <<'SESSION'
start_ostrel "$work/ostrel"
wait_for_main_window
# The newest window of the program that is not the frame: the dialog, or its prompt.
newest() {
  local w=
  for _ in $(seq 1 50); do
    w=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -vx -- "$win" | tail -1)
    [ -n "$w" ] && [ "$w" != "${1:-}" ] && { echo "$w"; return; }
    sleep 0.2
  done
}
name() { xdotool getwindowname "$1" >>"$work/captions"; }

menu alt+r f                                     # Capture > Set Frame rate
d=$(newest); name "$d"; sleep 0.5; screenshot framerate
xdotool windowfocus --sync "$d" key Tab ctrl+a BackSpace; xdotool type 61; xdotool key Return
p=$(newest "$d"); name "$p"; sleep 0.5; screenshot framerate-prompt
xdotool windowfocus --sync "$p" key Return; sleep 0.5
xdotool windowfocus --sync "$d" key Escape; sleep 0.5

menu alt+r l                                     # Capture > Record time limit
d=$(newest); name "$d"; sleep 0.5; screenshot timelimit
xdotool windowfocus --sync "$d" key space Tab ctrl+a BackSpace; xdotool type 4294967295
xdotool key Return; sleep 0.5

menu alt+h a                                     # Help > About
d=$(newest); name "$d"; sleep 0.5; screenshot about
xdotool windowfocus --sync "$d" key Return; sleep 0.5

menu alt+f s                                     # File > Set capture file Folder
d=$(newest); name "$d"; sleep 1; screenshot folder-browser
xdotool windowfocus --sync "$d" key Escape; sleep 0.5

exit_by_menu 80
SESSION

report_more() { echo "--- captions"; cat "$work/captions" 2>/dev/null; }
exit_code_is_zero
case $locale in
  zh_CN*) want=$'设置帧率\nPelquin \n限时录像\n关于 Ostrel\n选择文件夹' ;;
  fr_FR*) want=$'Placez le taux de vue\nPelquin \nEnregistrement visuel de délai\nAu sujet de Ostrel\nChoisissez une chemise' ;;
  *) want=$(cat "$work/captions") ;;
esac
[ "$(cat "$work/captions")" = "$want" ] || fail "the windows that opened were not the dialogs and the prompt"
grep -qx "TimeLimitEnalbe=1" "$work/ostrel.INI" || fail "the time limit was not switched on"
grep -qx "TimeLimit=2147483647" "$work/ostrel.INI" || fail "TimeLimit is not kept as 2147483647"
echo "screenshots in $work"
