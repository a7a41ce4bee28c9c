#!/usr/bin/env bash
# Ostrel end to end: the built program under a virtual X server with the virtual camera
# and the transfer filter on GStreamer's plugin path. Two screenshots of the screen must
# show a 640-pixel-wide window whose video area moves and is not black; a termination
# request must then close it cleanly.
# Usage: ostrel_preview_e2e.sh <ostrel> <plugin folder>...
set -euo pipefail

source "$(dirname "$0")/../lib/ostrel_session.sh"
need_tools xvfb-run import convert compare

scratch_folder ostrel-e2e
ostrel_in_work C.UTF-8 "$@"

run_session 200 <<'SESSION'
start_ostrel "$work/ostrel"
wait_for_picture
terminate_ostrel
SESSION

exit_code_is_zero
[ -f "$work/ostrel.INI" ] || fail "ostrel did not save its settings on close"
check_preview_window
echo "PASS"
