#!/usr/bin/env bash
# Newer containers through tavro-cli, text and JSON: cli_containers_test.sh TAVRO_CLI MEDIA_DIR
set -u
cli="$1"
media="$2"
out=$(mktemp)
trap 'rm -f "$out"' EXIT
fail=0
# file|File Status|Type
cases="h264_aac.mp4|File is MPEG-4 (.MP4/.M4A)|video/mp4
aac.m4a|File is MPEG-4 audio (.M4A)|audio/mp4
quicktime.mov|File is Quicktime (.MOV/QT)|video/quicktime
h264_vorbis.mkv|File is Matroska (.MKV/.MKA)|video/x-matroska
vp8_opus.webm|File is WebM (.WEBM)|video/webm
flv1_mp3.flv|File is Flash Video (.FLV)|video/x-flv
mpeg2_mp2.ts|File is MPEG transport stream (.TS)|video/mp2t
tone.flac|File is FLAC audio (.FLAC)|audio/flac"
files=()
while IFS='|' read -r file status type; do
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
for obj, (name, status, mime) in zip(doc, want):
    assert obj["fields"]["file_status"] == status, (name, obj["fields"]["file_status"])
    container = status[len("File is "):]
    assert obj["facts"]["container"] == container, (name, obj["facts"])
    # Each container's own explanation: never the MPEG audio or unsupported-type text.
    text = obj["explanations"]["file"]
    assert text.startswith("This is ") and not text.startswith("This is This"), (name, text)
    assert 'Tavro names it "%s"' % container in text, (name, text)
    assert "MP3 (or MP2)" not in text and "unsupported filetype" not in text, (name, text)
PY
exit $fail
