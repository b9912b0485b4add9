#!/usr/bin/env bash
# tavro-cli's export forms: --template records byte for byte, and the explanations
# of --json. cli_export_test.sh TAVRO_CLI MEDIA_DIR
set -u
cli="$1"
media="$2"
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
fail=0
run() { # run STATUS ARGS...
  local want="$1"; shift
  ${TAVRO_CLI_RUNNER:-} "$cli" "$@" >"$out" 2>"$err"
  local got=$?
  if [ "$got" != "$want" ]; then echo "FAIL: $* exited $got, wanted $want"; cat "$err"; fail=1; fi
}
run 2 --template
run 2 --template '%@' --json "$media/mjpeg_pcm.avi"
# The records exactly as the export appends them: the expansion, then CR LF, with
# no line-end translation of the console on Windows.
run 0 --template 'Title: %@\r\nDuration: %K\r\nType: %d\t%%\\%Z' "$media/mjpeg_pcm.avi" "$media/cut_5000.avi"
python3 - "$out" <<'PY' || fail=1
import sys
got = open(sys.argv[1], "rb").read()
want = (b"Title: mjpeg_pcm.avi\r\nDuration: 00h 00m 02s\r\nType: AVI\t\r\n"
        b"Title: cut_5000.avi\r\nDuration: 00h 00m 02s\r\nType: AVI\t\r\n")
assert got == want, got
PY
run 0 --json "$media/mjpeg_pcm.avi" "$media/mp3_in.wav"
python3 - "$out" <<'PY' || fail=1
import json, sys
doc = json.load(open(sys.argv[1], encoding="utf-8"))
e = doc[0]["explanations"]
assert set(e) == {"file", "video", "audio", "render"}, e
assert e["file"].startswith("This is a valid AVI file. The file's length is consistent"), e["file"]
assert e["file"].endswith("follows:~~ 346 KB   (354,910 bytes)"), e["file"]
assert "DirectShow rendering is currently disabled for the reason shown in its status bar. " in e["render"]
w = doc[1]["explanations"]["file"]
assert w.startswith('This file is "wrapped" to appear like a .wav file (presumably for compatibility '
                    'reasons). Inside the wav wrapper is an audio-only MP3 (or MP2) file.'), w
PY
exit $fail
