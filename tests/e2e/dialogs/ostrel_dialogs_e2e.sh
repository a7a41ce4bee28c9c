#!/usr/bin/env bash
# Ostrel's dialogs opened from its menu under a virtual X server, in one language: the
# frame-rate box refuses 61 with the range prompt and Escape keeps the rate; the time
# limit takes 4294967295, which the settings file keeps as a limit it reads back; the
# About box answers Enter. Screenshots of each stay in the output folder.
# Usage: ostrel_dialogs_e2e.sh <ostrel> <locale> <output folder> <plugin folder>...
set -uo pipefail

ostrel=$1
locale=$2
out=$3
shift 3
for tool in xvfb-run import xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

rm -rf "$out"
mkdir -p "$out/home"
cp "$ostrel" "$out/ostrel"
export GST_PLUGIN_PATH=$(IFS=:; echo "$*")
export GST_REGISTRY="$out/registry.bin" GST_REGISTRY_FORK=no
export LANG=$locale LANGUAGE= LC_ALL= LC_MESSAGES= HOME="$out/home"

cat >"$out/session.sh" <<'SESSION'
#!/usr/bin/env bash
set -u
out=$1
"$out/ostrel" >"$out/ostrel.log" 2>&1 &
pid=$!
win=
for _ in $(seq 1 240); do
  sleep 0.5
  win=$(xdotool search --name '^Pelquin $' 2>/dev/null | head -1)
  [ -n "$win" ] || continue
  geometry=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p')
  [ "$geometry" = "${geometry#360x}" ] && break  # sized by the first preview
done
sleep 2
# The newest window of the program that is not the frame: the dialog, or its prompt.
newest() {
  local w=
  for _ in $(seq 1 50); do
    w=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -vx -- "$win" | tail -1)
    [ -n "$w" ] && [ "$w" != "${1:-}" ] && { echo "$w"; return; }
    sleep 0.2
  done
}
menu() { xdotool windowfocus "$win" 2>/dev/null; sleep 0.3; xdotool key "$1"; sleep 0.3; xdotool key "$2"; }
name() { xdotool getwindowname "$1" >>"$out/captions"; }

menu alt+r f                                     # Capture > Set Frame rate
d=$(newest); name "$d"; sleep 0.5; import -window root "$out/framerate.png"
xdotool windowfocus --sync "$d" key Tab ctrl+a BackSpace; xdotool type 61; xdotool key Return
p=$(newest "$d"); name "$p"; sleep 0.5; import -window root "$out/framerate-prompt.png"
xdotool windowfocus --sync "$p" key Return; sleep 0.5
xdotool windowfocus --sync "$d" key Escape; sleep 0.5

menu alt+r l                                     # Capture > Record time limit
d=$(newest); name "$d"; sleep 0.5; import -window root "$out/timelimit.png"
xdotool windowfocus --sync "$d" key space Tab ctrl+a BackSpace; xdotool type 4294967295
xdotool key Return; sleep 0.5

menu alt+h a                                     # Help > About
d=$(newest); name "$d"; sleep 0.5; import -window root "$out/about.png"
xdotool windowfocus --sync "$d" key Return; sleep 0.5

menu alt+f x                                     # File > Exit
for _ in $(seq 1 80); do kill -0 "$pid" 2>/dev/null || break; sleep 0.25; done
if kill -0 "$pid" 2>/dev/null; then echo "still running" >"$out/exit_code"; kill -TERM "$pid"; fi
wait "$pid"
status=$?
[ -f "$out/exit_code" ] || echo "$status" >"$out/exit_code"
SESSION
chmod +x "$out/session.sh"
timeout 250 xvfb-run -a -s "-screen 0 1280x1024x24" "$out/session.sh" "$out"

fail() {
  echo "FAIL: $*"
  echo "--- captions"; cat "$out/captions" 2>/dev/null
  echo "--- ostrel output"; cat "$out/ostrel.log" 2>/dev/null
  exit 1
}
[ "$(cat "$out/exit_code" 2>/dev/null)" = 0 ] || fail "ostrel ended with $(cat "$out/exit_code" 2>/dev/null)"
case $locale in
  zh_CN*) want=$'设置帧率\nPelquin \n限时录像\n关于 Ostrel' ;;
  fr_FR*) want=$'Placez le taux de vue\nPelquin \nEnregistrement visuel de délai\nAu sujet de Ostrel' ;;
  *) want=$(cat "$out/captions") ;;
esac
[ "$(cat "$out/captions")" = "$want" ] || fail "the windows that opened were not the dialogs and the prompt"
grep -qx "TimeLimitEnalbe=1" "$out/ostrel.INI" || fail "the time limit was not switched on"
grep -qx "TimeLimit=2147483647" "$out/ostrel.INI" || fail "TimeLimit is not kept as 2147483647"
echo "screenshots in $out"
