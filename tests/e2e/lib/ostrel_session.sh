# shellcheck shell=bash
# What the end-to-end tests that start Ostrel share: the tools they need, a scratch
# folder with a home of its own, the plugins, a session under a virtual X server, the
# main window, its menus and screenshots, and closing the program.
# Sourced by the test scripts and by the session each one runs inside the X server;
# $work is the scratch folder in both.

OSTREL_SESSION_LIB=${BASH_SOURCE[0]}

# need_tools <tool>...: the test skips (exit 77) when one of them is not installed.
need_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
  done
}

# scratch_folder <name>: a new folder in /tmp as $work, removed at exit unless
# OSTREL_E2E_KEEP is set.
scratch_folder() {
  work=$(mktemp -d "/tmp/$1-XXXXXX")
  [ -n "${OSTREL_E2E_KEEP:-}" ] || trap 'rm -rf "$work"' EXIT
}

# private_registry: GStreamer's plugin registry in $work. Plugins are scanned in this
# process: a sanitizer build's plugins cannot be loaded by the uninstrumented scanner helper.
private_registry() {
  export GST_REGISTRY="$work/registry.bin" GST_REGISTRY_FORK=no
}

# plugin_folders <folder>...: GStreamer looks for plugins there only, with a private registry.
plugin_folders() {
  GST_PLUGIN_PATH=$(IFS=:; echo "$*")
  export GST_PLUGIN_PATH
  private_registry
}

# user_session <locale>: the user's home is $work/home, and the program speaks <locale>.
user_session() {
  export LANG=$1 LANGUAGE= LC_ALL= LC_MESSAGES=
  export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
  mkdir -p "$XDG_CONFIG_HOME"
}

# ostrel_in_work <locale> <ostrel> <plugin folder>...: a copy of the program in $work (its
# settings file goes beside the executable), the plugins from those folders, and the
# user's session in <locale>.
ostrel_in_work() {
  local locale=$1
  cp "$2" "$work/ostrel"
  shift 2
  plugin_folders "$@"
  user_session "$locale"
}

# clip_work <name> <ostrel> <plugin folder>...: for the recording tests, the tools they
# need, a scratch folder with a copy of the program and an empty clips folder, and the
# plugins from those folders.
clip_work() {
  need_tools xdotool import convert ffprobe gst-launch-1.0
  scratch_folder "$1"
  cp "$2" "$work/ostrel"
  mkdir "$work/clips"
  shift 2
  plugin_folders "$@"
}

# clip_facts <file>: what ffprobe finds in a clip: $header (the frames its header
# counts), $video (the frames it reads) and $audio (the sound packets it reads).
clip_facts() {
  header=$(ffprobe -v error -select_streams v:0 -show_entries stream=nb_frames -of csv=p=0 "$1")
  video=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames \
    -of csv=p=0 "$1")
  audio=$(ffprobe -v error -count_packets -select_streams a:0 \
    -show_entries stream=nb_read_packets -of csv=p=0 "$1")
}

# clip_plays <file>: GStreamer decodes the clip's picture and sound, or the test fails.
clip_plays() {
  local gst
  gst=$(gst-launch-1.0 -q uridecodebin uri="file://$1" name=d d. ! queue ! videoconvert ! \
    fakesink d. ! queue ! audioconvert ! fakesink 2>&1) || fail "$1: GStreamer cannot play it: $gst"
}

# fail <message>: the message, what the test adds with a report_more function of its
# own, the program's output, and exit 1.
fail() {
  echo "FAIL: $*"
  if declare -F report_more >/dev/null; then report_more || true; fi
  echo "--- ostrel output"
  cat "$work/ostrel.log" 2>/dev/null || true
  exit 1
}

# run_session <seconds> [<argument>...] <<'SESSION' ... SESSION: runs the script on
# standard input inside a virtual X server, with this library sourced, $work set and the
# arguments as $2 on, for that long at most.
run_session() {
  {
    printf '#!/usr/bin/env bash\nset -u\nwork=$1\nsource %q\n' "$OSTREL_SESSION_LIB"
    cat
  } >"$work/session.sh"
  chmod +x "$work/session.sh"
  timeout "$1" "$(dirname "$OSTREL_SESSION_LIB")/xvfb_run.sh" "$work/session.sh" "$work" "${@:2}"
}

# exit_code_is_zero: the session ended the program and it exited with 0.
exit_code_is_zero() {
  [ -f "$work/exit_code" ] || fail "the session did not finish"
  [ "$(cat "$work/exit_code")" = 0 ] || fail "ostrel ended with $(cat "$work/exit_code")"
}

# run_offscreen <seconds> <program>: runs it on Qt's offscreen platform for that long,
# then asks it to end with SIGTERM; fails when it ends by itself, takes more than 10 s
# to close, or exits with anything but 0. Its output is in $work/ostrel.log.
run_offscreen() {
  QT_QPA_PLATFORM=offscreen "$2" >"$work/ostrel.log" 2>&1 &
  local pid=$! rc=0
  sleep "$1"
  kill -0 "$pid" 2>/dev/null || fail "ostrel ended by itself"
  kill -TERM "$pid"
  for _ in $(seq 1 400); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    fail "ostrel did not close within 10 s of SIGTERM"
  fi
  wait "$pid" || rc=$?
  [ "$rc" -eq 0 ] || fail "exit code $rc"
}

# pixel <png> <x> <y>: its colour as r,g,b from 0 to 255.
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# check_preview_window: shot1.png and shot2.png show a 640-pixel-wide window whose video
# area is neither black nor uniform and moves from one to the other. Without a window
# manager the window sits at the top left on a black screen: the bounding box of what
# is not black is the window.
check_preview_window() {
  local width height left top crop peak spread changed
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
}

# --- Inside the X server

# start_ostrel <program>: starts it in the background as $pid, its output in $work/ostrel.log;
# with the emulated camera preloaded when the test runs inside tests/support/uvc_camera.sh
# --preload-later.
start_ostrel() {
  if [ -n "${UVCEMU_LD_PRELOAD:-}" ]; then
    LD_PRELOAD=$UVCEMU_LD_PRELOAD "$1" >"$work/ostrel.log" 2>&1 &
  else
    "$1" >"$work/ostrel.log" 2>&1 &
  fi
  pid=$!
}

# uvc_camera_press / uvc_camera_unplug / uvc_camera_plug: the emulated camera's snapshot
# button, its cable out and in again.
uvc_camera_press() { "$UVCEMU_RUNNER" press "$UVCEMU_DIR"; }
uvc_camera_unplug() { "$UVCEMU_RUNNER" unplug "$UVCEMU_DIR"; }
uvc_camera_plug() { "$UVCEMU_RUNNER" plug "$UVCEMU_DIR"; }
# uvc_camera_announced: whether its plugging is announced as udev does (else the test says why).
uvc_camera_announced() { [ -f "$UVCEMU_DIR/announce" ]; }

# message_box <name>: waits (60 s at most) for a message box, a second window with the
# program's title; shoots the screen as <name>.png, writes the number of such windows to
# $work/<name>.windows and presses Return on the box.
message_box() {
  local box
  for _ in $(seq 1 120); do
    sleep 0.5
    [ "$(xdotool search --onlyvisible --name Pelquin 2>/dev/null | wc -l)" -ge 2 ] && break
  done
  sleep 1
  screenshot "$1"
  xdotool search --onlyvisible --name Pelquin 2>/dev/null | wc -l >"$work/$1.windows"
  box=$(xdotool search --onlyvisible --name Pelquin 2>/dev/null | grep -vx "$win" | head -1)
  [ -z "$box" ] || { xdotool windowfocus --sync "$box" 2>/dev/null; xdotool key --clearmodifiers Return; }
}

# wait_for_frames_in <clip>: until the recording has written its first frames there (the
# headers come first), 20 s at most.
wait_for_frames_in() {
  for _ in $(seq 1 400); do
    [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" -gt 100000 ] && return 0
    sleep 0.05
  done
  return 1
}

# screenshot <name>: the whole screen as $work/<name>.png.
screenshot() { import -window root "$work/$1.png"; }

# wait_for_main_window: $win, once the first preview has sized the main window (waits
# generously: sanitizer builds start slowly).
wait_for_main_window() {
  local geometry=
  win=
  for _ in $(seq 1 240); do
    sleep 0.5
    win=$(xdotool search --name '^Pelquin $' 2>/dev/null | head -1)
    [ -n "$win" ] || continue
    geometry=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p')
    [ "$geometry" = "${geometry#360x}" ] && break
  done
  sleep 2
  [ -n "$win" ] && [ "$geometry" = "${geometry#360x}" ]
}

# wait_for_picture [<name>]: until the screen shows a 640-pixel-wide window whose video
# area is not black, then screenshots <name>1 and <name>2 (shot1, shot2) 0.7 s apart.
wait_for_picture() {
  local width peak name=${1:-shot}
  for _ in $(seq 1 240); do
    sleep 0.5
    screenshot "${name}1" 2>/dev/null || continue
    width=$(convert "$work/${name}1.png" -trim -format '%w' info:)
    [ "$width" = 640 ] || continue
    peak=$(convert "$work/${name}1.png" -crop 600x300+20+100 +repage -format '%[fx:maxima]' info:)
    if awk -v p="$peak" 'BEGIN { exit !(p > 0.2) }'; then break; fi
  done
  sleep 0.5
  screenshot "${name}1"
  sleep 0.7
  screenshot "${name}2"
}

# menu <key> [<item key>...]: opens a menu of the main window with its Alt key, then
# presses the item keys.
menu() {
  xdotool windowfocus --sync "$win" 2>/dev/null || true
  sleep 0.3
  xdotool key --clearmodifiers "$1"
  sleep 0.7
  shift
  [ $# -eq 0 ] || xdotool key --clearmodifiers "$@"
}

# dialog_window: $dialog, the newest visible window of the program that is not the main
# window (a dialog or a message box), 10 s at most.
dialog_window() {
  dialog=
  for _ in $(seq 1 50); do
    dialog=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -vx -- "$win" | tail -1)
    [ -n "$dialog" ] && return 0
    sleep 0.2
  done
  return 1
}

# exit_by_menu [<quarter seconds>]: File > Exit; $work/exit_code gets the program's exit
# status, or "still running" (and SIGTERM) when it has not ended in time (10 s).
exit_by_menu() {
  local status
  menu alt+f x
  for _ in $(seq 1 "${1:-40}"); do kill -0 "$pid" 2>/dev/null || break; sleep 0.25; done
  if kill -0 "$pid" 2>/dev/null; then echo "still running" >"$work/exit_code"; kill -TERM "$pid"; fi
  wait "$pid"
  status=$?
  [ -f "$work/exit_code" ] || echo "$status" >"$work/exit_code"
}

# terminate_ostrel: SIGTERM; $work/exit_code gets the program's exit status.
terminate_ostrel() {
  kill -TERM "$pid"
  wait "$pid"
  echo $? >"$work/exit_code"
}
