#!/usr/bin/env bash
# A settings file saved by an editor that puts a UTF-8 byte-order mark first: ostrel
# reads its values and, at close, writes them back into the one section behind the mark.
set -euo pipefail
ostrel_bin=$1
plugin_path=$2  # the virtual camera and the transfer filter

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/home/.config" "$work/Clips" "$work/Stills"
cp "$ostrel_bin" "$work/bin/ostrel"
ini="$work/bin/ostrel.INI"
export GST_REGISTRY="$work/registry.bin" GST_REGISTRY_FORK=no

fail() { echo "FAIL: $*" >&2; cat -A "$ini" >&2 || true; exit 1; }

printf '\xEF\xBB\xBF[SectionMain]\r\nAviFileFolder=%s\r\nSnapFolder=%s\r\nAviFileIndex=42\r\nTimeLimit=75\r\nVideoFormat=1\r\n' \
  "$work/Clips" "$work/Stills" >"$ini"

HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=offscreen \
  GST_PLUGIN_PATH="$plugin_path" "$work/bin/ostrel" >"$work/out.log" 2>&1 &
pid=$!
sleep 4
kill -0 "$pid" 2>/dev/null || { cat "$work/out.log" >&2; fail "ostrel ended by itself"; }
kill -TERM "$pid"
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  kill -KILL "$pid"
  fail "ostrel did not close within 10 s of SIGTERM"
fi
rc=0
wait "$pid" || rc=$?
[ "$rc" -eq 0 ] || { cat "$work/out.log" >&2; fail "exit code $rc"; }

[ "$(head -c 3 "$ini" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the byte-order mark is gone"
[ "$(grep -c 'SectionMain' "$ini")" = 1 ] || fail "more than one section"
grep -q $'^AviFileFolder='"$work/Clips"$'\r$' "$ini" || fail "capture folder not read back"
grep -q $'^SnapFolder='"$work/Stills"$'\r$' "$ini" || fail "snapshot folder not read back"
grep -q $'^AviFileIndex=42\r$' "$ini" || fail "AviFileIndex not read back"
grep -q $'^TimeLimit=75\r$' "$ini" || fail "TimeLimit not read back"
grep -q $'^VideoFormat=1\r$' "$ini" || fail "VideoFormat not read back"
grep -q '^HighResolutionSize=0$' "$ini" || fail "a key the file lacked was not added"
echo "ok"
