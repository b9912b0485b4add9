#!/usr/bin/env bash
# The render test through the Windows tavro-cli under Wine:
# cli_render_test.sh TAVRO_CLI MEDIA_DIR, run through TAVRO_CLI_RUNNER.
set -u
cli="$1"
media="$2"
fail=0
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
run() { ${TAVRO_CLI_RUNNER:-} "$cli" "$@" 2>/dev/null | sed 's/\r$//' >"$out"; }
want() { # want LINE: the output holds exactly this line
  grep -qxF "$1" "$out" || { echo "FAIL: missing '$1'"; sed 's/^/  | /' "$out"; fail=1; }
}
count() { grep -cxF "$1" "$out"; }

# The stored settings decide; start from the defaults.
${TAVRO_CLI_RUNNER:-} reg delete 'HKCU\Software\Orlent\Tavro' /f >/dev/null 2>&1 || true

ok="Render Status: File rendered successfully; no errors reported   (details...)"
run "$media/mjpeg_pcm.avi"
want "$ok"
# Several files render only when the batch option is on, or with --render.
run "$media/mjpeg_pcm.avi" "$media/pcm16_stereo.wav"
want "Render Status: Disabled by default when processing multiple files (see prefs)"
want "Video Codec: <disabled>"
run --render "$media/mjpeg_pcm.avi" "$media/pcm16_stereo.wav"
[ "$(count "$ok")" = 2 ] || { echo "FAIL: --render did not render both"; fail=1; }
# A partial render is reported from its result code.
run "$media/cinepak_msadpcm.avi"
grep -qE '^Render Status: 0x00040242: .{48}\.\.\.   \(more\)$' "$out" ||
  { echo "FAIL: partial render status"; sed 's/^/  | /' "$out"; fail=1; }
# A file DirectShow cannot play.
head -c 3000 /dev/zero | tr '\0' 'x' > "$out.txt"
run "$out.txt"
grep -qE '^Render Status: 0x8[0-9a-f]{7}: .*\.\.\.   \(more\)$' "$out" ||
  { echo "FAIL: failed render status"; sed 's/^/  | /' "$out"; fail=1; }
rm -f "$out.txt"

run --json "$media/mjpeg_pcm.avi"
python3 - "$out" <<'PY' || fail=1
import json, sys
doc = json.load(open(sys.argv[1]))[0]
r = doc["render"]
assert r["result"] == 1 and r["hr"] == "0x00000000", r
for key in ["source_media", "video_media", "audio_media", "splitter_other", "video_codec",
            "audio_codec", "render_status"]:
    assert key in r, key
graph = doc["graph"]
assert len(graph) >= 3, graph
pins = [(i, p) for i, f in enumerate(graph) for p in f["pins"]]
# Every connection is seen from both ends, with the same subtype.
for i, p in pins:
    j = p["connects_to"]
    if j is None:
        continue
    back = [q for q in graph[j]["pins"] if q["connects_to"] == i and q["direction"] != p["direction"]]
    assert back and any(q["subtype"] == p["subtype"] for q in back), (i, p)
subtypes = {p["subtype"] for _, p in pins if p["direction"] == "in"}
assert "PCM audio" in subtypes, subtypes
PY

run --formats --json
python3 - "$out" <<'PY' || fail=1
import json, sys
doc = json.load(open(sys.argv[1]))
assert doc["video"]["title"] == "VIDEO: Known Compression Formats"
assert len(doc["video"]["rows"]) > 100 and len(doc["audio"]["rows"]) > 50
PY
run --codecs --json
python3 - "$out" <<'PY' || fail=1
import json, sys
doc = json.load(open(sys.argv[1]))
rows = doc["video"]["rows"] + doc["audio"]["rows"]
assert rows and all(len(r["version"]) == 12 for r in rows)
assert any(r["version"]["CompanyName"] for r in rows), "no version texts at all"
PY
exit $fail
