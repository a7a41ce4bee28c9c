#!/usr/bin/env bash
# xvfb_run.sh <command> [args...]: runs the command on a virtual X server of its own
# (1280x1024x24) and ends the server after it. The server picks a free display number
# itself, so tests and other X servers on the machine never race for one, as
# `xvfb-run -a` does.
set -u
command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed"; exit 77; }
numberFile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
server=$!
for _ in $(seq 1 200); do
  [ -s "$numberFile" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.05
done
display=$(head -n1 "$numberFile")
rm -f "$numberFile"
if [ -z "$display" ]; then
  echo "FAIL: the virtual X server did not start"
  kill "$server" 2>/dev/null
  exit 1
fi
DISPLAY=":$display" "$@"
rc=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit "$rc"
