#!/usr/bin/env bash
# Hostile inputs through tavro-cli: cli_hostile_test.sh TAVRO_CLI CRAFT_DIR. The files
# come from tests/media/craft. Every file gives a report and valid JSON; comment rows
# are bounded; control characters never reach the terminal; odd names are opened;
# natively, memory stays flat over 8 copies of a 100,000-comment Ogg file.
set -u
cli="$1"
craft="$2"
fail=0
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0
run() {
  ${TAVRO_CLI_RUNNER:-} "$cli" "$@" >"$work/out" 2>"$work/err"
  status=$?
  sed -i 's/\r$//' "$work/out" "$work/err"
}
check() {
  local what="$1"; shift
  "$@" || { echo "FAIL: $what"; fail=1; }
}

# The hostile files (the odd names below are checked natively; the Windows names
# belong to the wide-character file work).
run "$craft" --jsonl
check "every crafted file analysed (status $status)" test "$status" = 0
cat "$work/err"
python3 - "$work/out" "$craft" <<'PY' || fail=1
import json, os, sys
docs = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8")]
by = {os.path.basename(d["path"].replace("\\", "/")): d for d in docs}
want = [f for f in os.listdir(sys.argv[2]) if os.path.isfile(os.path.join(sys.argv[2], f))]
assert sorted(by) == sorted(want), (sorted(by), sorted(want))
for name, d in by.items():
    assert len(d["comments"]) <= 1025, name
for name, more in (("info_60k_zero.avi", 58976), ("info_10k_text.avi", 8976),
                   ("vorbis_100k_comments.ogg", 98977)):
    if name in by:
        last = by[name]["comments"][-1]
        assert last == {"code": "...", "name": "", "text": "%d more comments not listed" % more}, last
PY

if [ -z "${TAVRO_CLI_RUNNER:-}" ]; then
  run -r "$craft/names" --jsonl
  check "odd names are opened (status $status)" test "$status" = 0
  cat "$work/err"
  python3 - "$work/out" <<'PY' || fail=1
import json, sys
docs = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8")]
assert len(docs) == 6, len(docs)
for d in docs:
    assert d["fields"]["file_status"] == "File Length Correct", d["path"]
    assert d["comments"][0]["text"] == "odd name", d["path"]
    assert ("path_hex" in d) == ("latin1_caf" in d["path"]), d["path"]
assert max(len(d["path"]) for d in docs) > 300
PY
fi

# The text form: no control character of a file or a name reaches the terminal.
run "$craft/control_text.avi" "$craft/names/line
break.avi"
check "escape sequences are escaped" grep -qxF 'Comment INAM (Name): \x1b]0;owned\x07\x1b[31mred' "$work/out"
check "a forged line stays inside its comment" \
  grep -qxF 'Comment ICMT (Comments): x\nFile Status: File Length Correct\r\n' "$work/out"
[ -z "${TAVRO_CLI_RUNNER:-}" ] &&
  check "a line break in a name stays on the Path line" grep -q 'Path: .*line\\nbreak.avi$' "$work/out"
check "no raw control characters" test "$(tr -d '\n\t' <"$work/out" | tr -d '\040-\176\200-\377' | wc -c)" = 0

if [ -z "${TAVRO_CLI_RUNNER:-}" ] && [ -f "$craft/vorbis_100k_comments.ogg" ]; then
  mkdir "$work/copies"
  for i in $(seq -w 1 8); do ln -s "$craft/vorbis_100k_comments.ogg" "$work/copies/v$i.ogg"; done
  python3 - "$cli" "$work/copies" <<'PY' || fail=1
import os, resource, subprocess, sys
cli, folder = sys.argv[1], sys.argv[2]
# AddressSanitizer keeps freed memory in quarantine (up to 256 MB), which would grow
# with the number of files: a small quarantine shows what the program itself holds.
env = dict(os.environ)
env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":quarantine_size_mb=4"
def peak(argv):
    proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, env=env)
    _, status, usage = os.wait4(proc.pid, 0)
    assert status == 0, argv
    return usage.ru_maxrss / 1024
# The sanitizers add their own shadow memory: the limits hold for the release build
# and are checked here with that margin.
two = peak([cli, "--json", "--jobs", "2"] + [os.path.join(folder, "v0%d.ogg" % i) for i in (1, 2)])
eight = peak([cli, "--json", "--jobs", "2", folder])
print("peak RSS of --json --jobs 2: 2 files %.0f MB, 8 files %.0f MB" % (two, eight))
assert eight < 300, eight
assert eight < two * 1.5, (two, eight)  # does not grow with the number of files
PY
fi
exit $fail
