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

# The stored settings decide; start from the defaults.
${TAVRO_CLI_RUNNER:-} reg delete 'HKCU\Software\Orlent\Tavro' /f >/dev/null 2>&1 || true

# Wine ships Cinepak (VfW) and the MS ADPCM ACM codec.
report "$media/cinepak_msadpcm.avi"
want "4CC: cvid"
want "Video Status: Codec IS Installed  (details...)"
want "Audio Status: Codec IS Installed  (details...)"
# No MPEG-4 part 2 decoder there; its MP3 decoder is.
report "$media/xvid_mp3.avi"
want "Video Status: Codec NOT Installed!  [more info...]"
want "Audio Status: Codec IS Installed  (details...)"
report "$media/raw_rgb.avi"
want "Video Status: No Codec Needed"
report "$media/mjpeg_pcm.avi"
want "Audio Status: PCM: No Codec Required"
# The static libogg/libvorbis of the Windows build read OGM files too.
report "$media/xvid_vorbis.ogm"
want "File Status: Ogg Media Stream (.OGM)"
want "4CC: XVID"
want "Video Status: Codec NOT Installed!  [more info...]"

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
