#!/usr/bin/env bash
# A settings file saved by an editor that puts a UTF-8 byte-order mark first: ostrel
# reads its values and, at close, writes them back into the one section behind the mark.
set -euo pipefail
ostrel_bin=$1
plugin_path=$2  # the virtual camera and the transfer filter

source "$(dirname "$0")/../lib/ostrel_session.sh"

scratch_folder ostrel-settings-bom-e2e
mkdir -p "$work/bin" "$work/Clips" "$work/Stills"
cp "$ostrel_bin" "$work/bin/ostrel"
ini="$work/bin/ostrel.INI"
private_registry
user_session C.UTF-8
report_more() { cat -A "$ini" || true; }

printf '\xEF\xBB\xBF[SectionMain]\r\nAviFileFolder=%s\r\nSnapFolder=%s\r\nAviFileIndex=42\r\nTimeLimit=75\r\nVideoFormat=1\r\n' \
  "$work/Clips" "$work/Stills" >"$ini"

GST_PLUGIN_PATH="$plugin_path" run_offscreen 4 "$work/bin/ostrel"

[ "$(head -c 3 "$ini" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the byte-order mark is gone"
[ "$(grep -c 'SectionMain' "$ini")" = 1 ] || fail "more than one section"
grep -q $'^AviFileFolder='"$work/Clips"$'\r$' "$ini" || fail "capture folder not read back"
grep -q $'^SnapFolder='"$work/Stills"$'\r$' "$ini" || fail "snapshot folder not read back"
grep -q $'^AviFileIndex=42\r$' "$ini" || fail "AviFileIndex not read back"
grep -q $'^TimeLimit=75\r$' "$ini" || fail "TimeLimit not read back"
grep -q $'^VideoFormat=1\r$' "$ini" || fail "VideoFormat not read back"
grep -q '^HighResolutionSize=0$' "$ini" || fail "a key the file lacked was not added"
echo "ok"
