#!/usr/bin/env bash
# The two settings dialogs under Xvfb in Chinese and in French, driven with xdotool as a
# user would: a screenshot of each, a refused entry with its prompt, and what OK, Enter
# and Escape store. Usage: dialog_screens.sh <dialog_show> <screenshot folder>
set -uo pipefail
show=$1
out=$2
for tool in xvfb-run xdotool import; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done
mkdir -p "$out"
rm -f "$out"/*.png

if [ -z "${OSTREL_DIALOGS_IN_XVFB:-}" ]; then
  export OSTREL_DIALOGS_IN_XVFB=1
  exec "$(dirname "$0")/../lib/xvfb_run.sh" bash "$0" "$@"
fi

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The visible windows of a process with that exact title (names are UTF-8, which
# xdotool's own name search does not match).
windows_titled() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$2" ] && echo "$id"
  done
}

# Waits for one; prints the id of the newest.
wait_window() {
  local ids
  for _ in $(seq 1 400); do
    ids=$(windows_titled "$1" "$2")
    if [ -n "$ids" ]; then echo "$ids" | tail -1; return 0; fi
    sleep 0.1
  done
  return 1
}

# run <locale> <dialog> <caption> <name> <keys...>: opens the dialog, shoots it, then
# types the keys ("prompt" waits for the validation prompt, shoots it and answers it).
run() {
  local locale=$1 dialog=$2 caption=$3 name=$4
  shift 4
  LANG=$locale LC_ALL= LANGUAGE= "$show" "$dialog" >"$out/$name.txt" 2>"$out/$name.err" &
  local pid=$!
  local id frame
  if ! frame=$(wait_window "$pid" "Pelquin ") || ! id=$(wait_window "$pid" "$caption"); then
    fail "$name: no frame or no window titled $caption ($(cat "$out/$name.err"))"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return
  fi
  sleep 0.3
  import -window "$id" "$out/$name.png"
  xdotool windowfocus --sync "$id" 2>/dev/null
  for key in "$@"; do
    if [ "$key" = prompt ]; then
      # The frame and the prompt both carry the application title.
      local box=""
      for _ in $(seq 1 400); do
        box=$(windows_titled "$pid" "Pelquin " | grep -vx -- "$frame" | tail -1)
        [ -n "$box" ] && break
        sleep 0.1
      done
      if [ -n "$box" ]; then
        sleep 0.3
        import -window root "$out/$name-prompt.png"
        # Without a window manager nobody hands the focus back: give it as the user's
        # click would.
        xdotool windowfocus --sync "$box" key Return
        sleep 0.3
        xdotool windowfocus --sync "$id" 2>/dev/null
      else
        fail "$name: no prompt"
      fi
    elif [ "${key#type:}" != "$key" ]; then
      xdotool key ctrl+a BackSpace
      xdotool type --delay 20 -- "${key#type:}"
    else
      xdotool key "$key"
    fi
    sleep 0.2
  done
  for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    fail "$name: the dialog did not close"
    kill "$pid"
  fi
  wait "$pid" 2>/dev/null
}

expect() {
  local name=$1 want=$2
  grep -q "$want" "$out/$name.txt" || fail "$name: wanted '$want', got '$(cat "$out/$name.txt")'"
}

run zh_CN.UTF-8 133 "设置帧率" zh-framerate Escape
expect zh-framerate "language 1 result 2 enabled 1 value 25"
run zh_CN.UTF-8 134 "限时录像" zh-timelimit Tab "type:4294967295" Return
expect zh-timelimit "language 1 result 1 enabled 1 value 2147483647"
run fr_FR.UTF-8 133 "Placez le taux de vue" fr-framerate Tab "type:0" Return prompt "type:-4a5" shift+Tab space Return
expect fr-framerate "language 2 result 1 enabled 0 value 45"
run fr_FR.UTF-8 134 "Enregistrement visuel de délai" fr-timelimit Tab "type:" Return prompt Escape
expect fr-timelimit "language 2 result 2 enabled 1 value 30"

for png in zh-framerate zh-timelimit fr-framerate fr-timelimit fr-framerate-prompt fr-timelimit-prompt; do
  [ -s "$out/$png.png" ] || fail "no screenshot $png.png"
done
echo "screenshots in $out"
[ "$failures" -eq 0 ]
