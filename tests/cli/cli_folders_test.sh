#!/usr/bin/env bash
# Folders and libraries: cli_folders_test.sh TAVRO_CLI MEDIA_DIR. A tree with nested
# folders, a link loop, a FIFO, a vanished entry and 2,000 files; the order and exit
# status, --jobs 1 against --jobs 4, the JSON forms and --files-from.
set -u
cli="$1"
media="$2"
fail=0
work="$(mktemp -d)"
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
cd "$work"
mkdir -p tree/a/b tree/many
cp "$media/tune.mid" tree/a/z.mid
cp "$media/cut_300.avi" tree/a/b/c.avi
cp "$media/tone.au" tree/top.au
ln -s .. tree/a/b/loop        # a link back up: never followed
mkfifo tree/pipe              # never opened, never waited on
ln -s nowhere tree/gone.avi   # vanished (Wine does not list it at all)
python3 - "$media/tone.au" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
for i in range(1, 2001):
    open("tree/many/f%04d.au" % i, "wb").write(data)
PY
status=0
run() { # run ARGS...: output in out, messages in err, exit status in $status
  ${TAVRO_CLI_RUNNER:-} "$cli" "$@" >out 2>err
  status=$?
  sed -i 's/\r$//' out err
  sed -i 's#\\#/#g' err # Windows separators, so both builds compare alike
}
check() { # check CONDITION-TEXT COMMAND...
  local what="$1"; shift
  "$@" || { echo "FAIL: $what"; fail=1; }
}
paths() { sed -n 's/^Path: //p' out | sed 's#\\#/#g'; }

{ echo tree/a/b/c.avi; echo tree/a/z.mid; seq -f 'tree/many/f%04g.au' 1 2000; echo tree/top.au; } >want
run -r tree --jobs 1
check "status 1 with a FIFO in the tree" test "$status" = 1
paths >got
check "depth-first name order over the tree" cmp -s want got
check "the FIFO is named with a reason" grep -q '^tavro-cli: tree/pipe: Is a ' err
# The run's last entry is the last file: n/N with n = N past 2,000 (the FIFO and the
# vanished link count as entries).
last="$(sed -n 's/^Counter: //p' out | tail -1)"
check "the counter counts the whole run ($last)" test "${last%/*}" = "${last#*/}" -a "${last%/*}" -gt 2002
cp out out.1
cp err err.1
run tree -r --jobs 4 # options after a path too
check "--jobs 4 prints what --jobs 1 prints" cmp -s out out.1
check "--jobs 4 reports what --jobs 1 reports" cmp -s err err.1

run tree
check "a folder without -r: only its files" test "$(paths)" = tree/top.au

run --jsonl tree/many --jobs 2
check "--jsonl exit status" test "$status" = 0
python3 - out <<'PY' || fail=1
import json, sys
lines = open(sys.argv[1]).read().split("\n")
assert lines[-1] == "" and len(lines) == 2001, len(lines)
docs = [json.loads(l) for l in lines[:-1]]
assert [d["path"].replace("\\", "/") for d in docs] == ["tree/many/f%04d.au" % i for i in range(1, 2001)]
assert docs[-1]["fields"]["counter"] == "2000/2000", docs[-1]["fields"]["counter"]
PY
run tree/many/f0001.au tree/a --json
python3 - out <<'PY' || fail=1
import json, sys
doc = json.load(open(sys.argv[1]))
assert [d["path"].replace("\\", "/") for d in doc] == ["tree/many/f0001.au", "tree/a/z.mid"], doc
PY
run tree/pipe --json
check "an entry that failed alone: status 1" test "$status" = 1
check "an entry that failed alone: an empty array" test "$(tr -d ' \n' <out)" = "[]"

printf 'tree/top.au\r\n\ntree/a\n' >list
if [ -z "${TAVRO_CLI_RUNNER:-}" ]; then # the Wine runner gives programs no standard input
  "$cli" --files-from - <list >out 2>err
  check "--files-from - reads standard input" test "$(paths | tr '\n' ' ')" = "tree/top.au tree/a/z.mid "
fi
run --files-from list
check "--files-from LIST" test "$(paths | tr '\n' ' ')" = "tree/top.au tree/a/z.mid "

run --help
check "--help exits 0 and lists --jobs" grep -q -- '--jobs N' out

if [ -z "${TAVRO_CLI_RUNNER:-}" ] && command -v script >/dev/null; then
  # On a terminal the progress line is drawn on stderr, then cleared.
  script -qec "'$cli' tree/many >/dev/null" /dev/null >pty 2>&1
  check "progress n/N files, x files/s on a terminal" grep -aq '/2000 files, [0-9.]* files/s' pty
  check "the progress line is cleared at the end" test "$(tail -c 1 pty | od -An -c | tr -d ' ')" = '\r'
fi
if [ -z "${TAVRO_CLI_RUNNER:-}" ]; then
  run tree/gone.avi tree/top.au
  check "a vanished entry: status 1, the run goes on" test "$status" = 1 -a "$(paths)" = tree/top.au
  check "a vanished entry names the system's reason" grep -q 'gone.avi: No such file' err
  # A name that is not UTF-8 is opened, and its bytes come back as path_hex.
  cp tree/top.au "$(printf 'tree/caf\351.au')"
  run --jsonl "$(printf 'tree/caf\351.au')"
  check "a name that is not UTF-8 is analysed" test "$status" = 0
  check "path_hex holds its bytes" grep -q '"path_hex":"747265652f636166e92e6175"' out
  if [ "$(id -u)" != 0 ]; then # root reads every file
    chmod 000 tree/top.au
    run tree/top.au tree/a
    check "an unreadable file: status 1, the run goes on" test "$status" = 1 -a "$(paths)" = tree/a/z.mid
    check "an unreadable file names the reason" grep -q 'Permission denied' err
  fi
fi
exit $fail
