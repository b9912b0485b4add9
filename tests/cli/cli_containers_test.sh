#!/usr/bin/env bash
# Newer containers through tavro-cli, text and JSON: cli_containers_test.sh TAVRO_CLI MEDIA_DIR
set -u
cli="$1"
media="$2"
out=$(mktemp)
trap 'rm -f "$out"' EXIT
fail=0
# file|File Status|Type|identification row (a read container adds its findings and brand)
cases="h264_aac.mp4|File is MPEG-4 (.MP4/.M4A) - Index at the end of the file|MPEG-4 (isom)|MPEG-4 (.MP4/.M4A)
aac.m4a|File is MPEG-4 audio (.M4A) - Index at the end of the file|MPEG-4 (M4A)|MPEG-4 audio (.M4A)
quicktime.mov|File is Quicktime (.MOV/QT) - Index at the end of the file|QuickTime (qt)|Quicktime (.MOV/QT)
h264_vorbis.mkv|File is Matroska (.MKV/.MKA)|video/x-matroska|Matroska (.MKV/.MKA)
vp8_opus.webm|File is WebM (.WEBM)|video/webm|WebM (.WEBM)
flv1_mp3.flv|File is Flash Video (.FLV)|video/x-flv|Flash Video (.FLV)
mpeg2_mp2.ts|File is MPEG transport stream (.TS)|video/mp2t|MPEG transport stream (.TS)
tone.flac|File is FLAC audio (.FLAC)|audio/flac|FLAC audio (.FLAC)"
files=()
while IFS='|' read -r file status type row; do
  files+=("$media/$file")
  ${TAVRO_CLI_RUNNER:-} "$cli" "$media/$file" >"$out" 2>&1 || { echo "FAIL: $file exit $?"; fail=1; }
  sed -i 's/\r$//' "$out"
  grep -qxF "File Status: $status" "$out" || { echo "FAIL: $file status"; cat "$out"; fail=1; }
  grep -qxF "Type: $type" "$out" || { echo "FAIL: $file type"; fail=1; }
done <<<"$cases"
${TAVRO_CLI_RUNNER:-} "$cli" --json "${files[@]}" >"$out" || { echo "FAIL: --json exit"; fail=1; }
python3 - "$out" "$cases" <<'PY' || fail=1
import json, sys
doc = json.load(open(sys.argv[1]))
want = [line.split("|") for line in sys.argv[2].splitlines()]
assert len(doc) == len(want), len(doc)
for obj, (name, status, mime, container) in zip(doc, want):
    assert obj["fields"]["file_status"] == status, (name, obj["fields"]["file_status"])
    assert obj["facts"]["container"] == container, (name, obj["facts"])
    # Each container's own explanation: never the MPEG audio or unsupported-type text.
    text = obj["explanations"]["file"]
    assert text.startswith("This is ") and not text.startswith("This is This"), (name, text)
    if "streams" in obj:
        assert obj["streams"] and ("Video #" in text or "Audio #" in text), (name, text)
    else:
        assert 'Tavro names it "%s"' % container in text, (name, text)
    assert "MP3 (or MP2)" not in text and "unsupported filetype" not in text, (name, text)
PY
exit $fail
