#!/usr/bin/env bash
# tavro-cli's exit status and output forms: cli_exit_test.sh TAVRO_CLI MEDIA_DIR
set -u
cli="$1"
media="$2"
fail=0
expect() { # expect STATUS COMMAND...
  local want="$1"; shift
  ${TAVRO_CLI_RUNNER:-} "$@" >/tmp/tavro_cli_out.$$ 2>/tmp/tavro_cli_err.$$
  local got=$?
  # The Windows build writes CRLF line ends, as a console program there should.
  sed -i 's/\r$//' /tmp/tavro_cli_out.$$ /tmp/tavro_cli_err.$$
  if [ "$got" != "$want" ]; then echo "FAIL: $* exited $got, wanted $want"; fail=1; fi
}
expect 2 "$cli"
expect 2 "$cli" --json
expect 2 "$cli" --bogus "$media/mjpeg_pcm.avi"
expect 0 "$cli" -- "$media/tune.mid"
expect 0 "$cli" "$media/mjpeg_pcm.avi" "$media/tune.mid" "$media/cooked.avi"
grep -q '^File Status: File Length Correct$' /tmp/tavro_cli_out.$$ || { echo "FAIL: text form"; fail=1; }
grep -q '^Comment INAM (Name): Tavro test$' /tmp/tavro_cli_out.$$ || { echo "FAIL: comment row"; fail=1; }
expect 1 "$cli" "$media/no_such_file.avi" "$media/tune.mid"
grep -q 'no_such_file.avi' /tmp/tavro_cli_err.$$ || { echo "FAIL: error names the file"; fail=1; }
grep -q '^File Status: File is MIDI' /tmp/tavro_cli_out.$$ || { echo "FAIL: other files still run"; fail=1; }
expect 0 "$cli" --json "$media/mjpeg_pcm.avi" "$media/three_audio.avi"
python3 - /tmp/tavro_cli_out.$$ <<'PY' || fail=1
import json, sys
doc = json.load(open(sys.argv[1]))
assert len(doc) == 2, doc
a = doc[0]
assert a["fields"]["file_status"] == "File Length Correct", a["fields"]
assert a["fields"]["aspect_ratio"] == "160 x 120  (1.333 : 1)"
assert a["fields"]["imrr"] == "Not supported." and a["fields"]["interleave"] == "n.s."
assert {"code": "INAM", "name": "Name", "text": "Tavro test"} in a["comments"]
f = a["facts"]
assert f["container"] == "AVI" and f["width"] == 160 and f["frames"] == 50, f
assert f["video_fourcc"] == "MJPG"
assert f["audio"][0] == {"format_tag": 1, "channels": 1, "sample_rate": 44100,
                         "avg_bytes_per_sec": 88200, "vbr": False}, f["audio"]
assert len(doc[1]["facts"]["audio"]) == 3
PY
rm -f /tmp/tavro_cli_out.$$ /tmp/tavro_cli_err.$$
exit $fail
