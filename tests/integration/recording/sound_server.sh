#!/usr/bin/env bash
# Runs a command beside a desktop's sound and video stack of its own, as a Debian 12
# desktop has it: a session bus, PipeWire with WirePlumber and its Pulse layer, a null
# sink "spk" (whose monitor is no microphone), a virtual source "mic" that another
# application records from, and a camera that only PipeWire serves ("PipeWire Test
# Camera", its test pattern). Everything lives in a scratch folder and ends with the
# command. Exits 77 when the packages are missing. A command that fails after one of the
# daemons died is run once more on a new stack.
# Inside tests/support/uvc_camera.sh the daemons get the emulated camera too, so
# WirePlumber's V4L2 monitor gives PipeWire a copy of it, as on a desktop.
#   sound_server.sh -- COMMAND [ARGS...]
set -u
[ "${1:-}" = "--" ] && shift
# This first run only watches a second, which sets the stack up: a run that exits 75 (a
# daemon crashed) is made once more in the environment as it was.
if [ -z "${SOUND_SERVER_RUN:-}" ]; then
  SOUND_SERVER_RUN=1 "$0" -- "$@"
  rc=$?
  [ "$rc" = 75 ] || exit "$rc"
  echo "sound_server: once more on a new stack" >&2
  SOUND_SERVER_RUN=2 exec "$0" -- "$@"
fi
# The daemons and tools are not sanitized: a sanitized build's runtime stays with the
# command (pactl hangs with it preloaded).
daemon_preload=${LD_PRELOAD:-${UVCEMU_LD_PRELOAD:-}}
[ -n "${UVCEMU_PRELOAD_FIRST:-}" ] && daemon_preload=${daemon_preload//$UVCEMU_PRELOAD_FIRST/}
daemon=(env LD_PRELOAD="$daemon_preload")
for tool in pipewire wireplumber pipewire-pulse pactl pw-cli dbus-daemon; do
  if ! command -v "$tool" >/dev/null; then
    echo "sound_server: $tool is missing (scripts/setup installs it)" >&2
    exit 77
  fi
done
if ! "${daemon[@]}" gst-inspect-1.0 pipewiresrc >/dev/null 2>&1 ||
  ! "${daemon[@]}" gst-inspect-1.0 pulsesrc >/dev/null 2>&1; then
  echo "sound_server: GStreamer's pipewiresrc or pulsesrc is missing" >&2
  exit 77
fi

scratch=$(mktemp -d /tmp/ostrel-sound-XXXXXX)
pids=()
daemons=(dbus-daemon pipewire wireplumber pipewire-pulse parecord)  # as pids holds them
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
# Runs the command again every tenth of a second until it succeeds, at most $1 times.
wait_for() {
  local times=$1
  shift
  for _ in $(seq "$times"); do "$@" && return 0; sleep 0.1; done
  return 1
}
node_listed() { "${daemon[@]}" pw-cli ls Node 2>/dev/null | grep -q "$1"; }

mkdir -m 700 "$scratch/run"
mkdir -p "$scratch/config/pipewire/pipewire.conf.d" "$scratch/home"
cat >"$scratch/config/pipewire/pipewire.conf.d/test-camera.conf" <<'CONF'
context.objects = [
  { factory = spa-node-factory
    args = { factory.name = videotestsrc library.name = videotestsrc/libspa-videotestsrc
             node.name = test-camera node.description = "PipeWire Test Camera"
             media.class = Video/Source object.linger = true } }
]
CONF
export XDG_RUNTIME_DIR="$scratch/run" XDG_CONFIG_HOME="$scratch/config" HOME="$scratch/home"
export XDG_STATE_HOME="$scratch/home/state" XDG_DATA_HOME="$scratch/home/data"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$scratch/run/bus"
unset PULSE_SERVER PIPEWIRE_REMOTE

"${daemon[@]}" dbus-daemon --session --address="$DBUS_SESSION_BUS_ADDRESS" --nofork --nopidfile \
  >"$scratch/dbus-daemon.log" 2>&1 &
pids+=($!)
wait_for 25 test -S "$scratch/run/bus"
"${daemon[@]}" pipewire >"$scratch/pipewire.log" 2>&1 &
pids+=($!)
sleep 0.5
"${daemon[@]}" wireplumber >"$scratch/wireplumber.log" 2>&1 &
pids+=($!)
"${daemon[@]}" pipewire-pulse >"$scratch/pipewire-pulse.log" 2>&1 &
pids+=($!)

stack_up() { "${daemon[@]}" pactl info >/dev/null 2>&1 && node_listed test-camera; }
if ! wait_for 100 stack_up; then
  echo "sound_server: PipeWire did not come up; its log:" >&2
  tail -n 20 "$scratch/pipewire.log" "$scratch/wireplumber.log" >&2
  exit 77
fi
[ -n "${UVCEMU_DIR:-}" ] && wait_for 50 node_listed 'v4l2_input\.'
"${daemon[@]}" pactl load-module module-null-sink sink_name=spk >/dev/null
"${daemon[@]}" pactl load-module module-null-sink media.class=Audio/Source/Virtual sink_name=mic \
  channel_map=front-left,front-right >/dev/null
# Another application records from the microphone: its stream node is no device.
"${daemon[@]}" parecord --device=mic /dev/null &
pids+=($!)
wait_for 50 node_listed 'Stream/Input/Audio'
export OSTREL_TEST_SOUND_SERVER="$scratch"
"$@"
rc=$?
# PipeWire 0.3 itself has been seen to crash under a slow sanitized client: a daemon that
# is gone is named with the tail of its log, and the first such failure is run again.
for i in "${!pids[@]}"; do
  [ "$rc" = 0 ] && break
  kill -0 "${pids[i]}" 2>/dev/null && continue
  echo "sound_server: ${daemons[i]} ended during the test; its log:" >&2
  tail -n 20 "$scratch/${daemons[i]}.log" >&2 2>/dev/null
  [ "$SOUND_SERVER_RUN" = 1 ] && exit 75
  break
done
exit "$rc"
