#!/usr/bin/env bash
# File names beyond ASCII and paths beyond MAX_PATH reach the analysis whole:
# cli_unicode_paths_test.sh TAVRO_CLI MEDIA_DIR WORK_DIR (run with LANG=C.UTF-8).
set -u
cli="$1"
media="$2"
work="$3"
fail=0
rm -rf "$work"
mkdir -p "$work"
work="$(cd "$work" && pwd)"

japanese="$work/テスト動画_ファイル.avi"
latin1="$work/canción_Ñandú.avi"
# Nested folders (a name holds at most 255 bytes) so that the whole path passes 300.
long="$work"
while [ ${#long} -lt 280 ]; do long="$long/$(printf 'folder%.0s' 1 2 3 4 5 6 7 8)"; done
mkdir -p "$long"
long="$long/a_long_path_file.avi"
for target in "$japanese" "$latin1" "$long"; do cp "$media/mjpeg_pcm.avi" "$target"; done
[ ${#long} -gt 300 ] || { echo "FAIL: the long path is only ${#long} characters"; fail=1; }

out="$work/out.json"
${TAVRO_CLI_RUNNER:-} "$cli" --json "$japanese" "$latin1" "$long" >"$out" 2>"$work/err.txt"
status=$?
if [ "$status" != 0 ]; then echo "FAIL: exit $status"; cat "$work/err.txt"; fail=1; fi
python3 - "$out" "$japanese" "$latin1" "$long" <<'PY' || fail=1
import json, sys
doc = json.load(open(sys.argv[1], encoding="utf-8"))
paths = sys.argv[2:]
assert len(doc) == len(paths), [d.get("path") for d in doc]
for record, path in zip(doc, paths):
    # The name comes back as given: no replacement characters, nothing cut.
    assert record["path"] == path, (record["path"], path)
    assert record["fields"]["file_status"] == "File Length Correct", record["fields"]
    assert record["facts"]["container"] == "AVI", record["facts"]
PY

# The text form names the file whole too.
${TAVRO_CLI_RUNNER:-} "$cli" "$japanese" >"$work/out.txt" 2>&1
grep -qF "テスト動画_ファイル.avi" "$work/out.txt" || { echo "FAIL: text form path"; fail=1; }

# A missing file with such a name is reported with its name, not mangled.
${TAVRO_CLI_RUNNER:-} "$cli" "$work/なし.avi" >/dev/null 2>"$work/err.txt"
[ $? = 1 ] || { echo "FAIL: missing file exit status"; fail=1; }
grep -qF "なし.avi" "$work/err.txt" || { echo "FAIL: missing file name"; cat "$work/err.txt"; fail=1; }

# A list of files whose own name is beyond ASCII opens too (wide, not through the
# ANSI code page), and its UTF-8 lines are names as given.
list="$work/一覧_liste_é.txt"
printf '%s\n' "$latin1" >"$list"
${TAVRO_CLI_RUNNER:-} "$cli" --json --files-from "$list" >"$work/list.json" 2>"$work/err.txt"
[ $? = 0 ] || { echo "FAIL: list exit status"; cat "$work/err.txt"; fail=1; }
python3 - "$work/list.json" "$latin1" <<'PY' || fail=1
import json, sys
doc = json.load(open(sys.argv[1], encoding="utf-8"))
assert [d["path"] for d in doc] == [sys.argv[2]], [d.get("path") for d in doc]
PY

[ $fail = 0 ] && rm -rf "$work"
exit $fail
