#!/usr/bin/env bash
# Codec status from the machine's own codecs (Windows build under Wine):
# cli_codec_status_test.sh TAVRO_CLI MEDIA_DIR, run through TAVRO_CLI_RUNNER.
set -u
cli="$1"
media="$2"
fail=0
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
report() { ${TAVRO_CLI_RUNNER:-} "$cli" "$@" 2>/dev/null | sed 's/\r$//' >"$out"; }
want() { # want LINE: the report holds exactly this line
  grep -qxF "$1" "$out" || { echo "FAIL: missing '$1'"; sed 's/^/  | /' "$out"; fail=1; }
}
# The own player's status comes first; what other kinds of player find follows
# it, and depends on what the prefix registers for them.
want_start() { # want_start TEXT: a line starts with this text
  awk -v p="$1" 'index($0, p) == 1 { found = 1 } END { exit !found }' "$out" ||
    { echo "FAIL: no line starting '$1'"; sed 's/^/  | /' "$out"; fail=1; }
}

# The stored settings decide; start from the defaults.
${TAVRO_CLI_RUNNER:-} reg delete 'HKCU\Software\Orlent\Tavro' /f >/dev/null 2>&1 || true

# Wine ships Cinepak (VfW) and the MS ADPCM ACM codec.
report "$media/cinepak_msadpcm.avi"
want "4CC: cvid"
want_start "Video Status: Codec IS Installed  (details...)"
want_start "Audio Status: Codec IS Installed  (details...)"
# No MPEG-4 part 2 decoder there for any kind of player; its MP3 decoder is.
report "$media/xvid_mp3.avi"
want "Video Status: Codec NOT Installed!  [more info...]"
want_start "Audio Status: Codec IS Installed  (details...)"
report "$media/raw_rgb.avi"
want "Video Status: No Codec Needed"
report "$media/mjpeg_pcm.avi"
want "Audio Status: PCM: No Codec Required"
# The static libogg/libvorbis of the Windows build read OGM files too.
report "$media/xvid_vorbis.ogm"
want "File Status: Ogg Media Stream (.OGM)"
want "4CC: XVID"
want "Video Status: Codec NOT Installed!  [more info...]"

# Per kind of player: the H.264 and AAC of an MP4 decode through the transforms
# the prefix registers, named in the JSON; a made-up FourCC decodes nowhere.
work="$(mktemp -d)"
trap 'rm -f "$out"; rm -rf "$work"' EXIT
perl -pe 's/XVID/ZQX9/g' "$media/xvid_mp3.avi" >"$work/made_up.avi"
cp "$media/h264_aac.mp4" "$work/"
${TAVRO_CLI_RUNNER:-} "$cli" --codecs --json 2>/dev/null >"$work/codecs.json"
(cd "$work" && ${TAVRO_CLI_RUNNER:-} "$cli" --json h264_aac.mp4 made_up.avi 2>/dev/null) >"$work/files.json"
python3 - "$work/codecs.json" "$work/files.json" <<'PY' || fail=1
import json, sys
codecs = json.load(open(sys.argv[1]))["mediaFoundation"]["rows"]
mp4, made_up = json.load(open(sys.argv[2]))
def decoders(report, kind):
    return next(d for d in report["decoders"] if d["kind"] == kind)["players"]
for kind, category in (("video", "Video Decoder"), ("audio", "Audio Decoder")):
    found = next(d for d in mp4["decoders"] if d["kind"] == kind)
    mf = found["players"]["mediaFoundation"]
    registered = {r["Transform"] for r in codecs if r["Category"] == category}
    assert mf, (kind, "no Media Foundation decoder")
    assert mf[0]["name"] in registered, (mf[0], registered)
    assert mf[0]["key"] in found["keys"], (mf[0], found["keys"])
    status = mp4["fields"][kind + "_status"]
    own = status.startswith("Codec IS Installed")
    assert own or status.endswith("Media Foundation)"), status
    assert "Installed" in status and "Media Foundation players" not in status, status
    assert mp4["explanations"][kind].find("Media Foundation: " + mf[0]["name"]) > 0, mp4["explanations"][kind]
# Empty for every kind read; null for a kind with nothing to read (no other
# architecture in a 32-bit prefix).
players = decoders(made_up, "video")
assert all(v == [] or v is None for v in players.values()), players
assert players["mediaFoundation"] == [], players
assert made_up["fields"]["video_status"] == "Codec NOT Installed!  [more info...]", made_up["fields"]
PY

${TAVRO_CLI_RUNNER:-} "$cli" --codecs --json 2>/dev/null >"$out"
python3 - "$out" <<'PY' || fail=1
import json, sys
doc = json.load(open(sys.argv[1]))
text = json.dumps(doc)
for name in ["IMA ADPCM", "Microsoft ADPCM", "GSM 6.10", "Cinepak", "WMAudio Decoder DMO"]:
    assert name in text, name
mf = doc["mediaFoundation"]
assert mf["title"] == "MEDIA FOUNDATION: Installed transforms", mf["title"]
assert mf["rows"], "no Media Foundation transforms listed"
for row in mf["rows"]:
    assert row["Arch"] in ("32-bit", "64-bit"), row
    assert row["Transform"] and row["CLSID"].startswith("{"), row
# Under Wine an H.264 decoder transform is registered; its input names the FourCC.
assert any(r["Category"] == "Video Decoder" and "H264" in r["Input Types"] for r in mf["rows"]), mf
PY
exit $fail
