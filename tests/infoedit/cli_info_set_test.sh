#!/usr/bin/env bash
# tavro-cli --set: cli_info_set_test.sh TAVRO_CLI GENERATE WORK_DIR. Edits in place and
# into a copy; refusals exit 1 with the dialog's message and leave every byte alone.
set -u
cli="$1"
work="$3"
"$2" "$work" >/dev/null || { echo "FAIL: media generation"; exit 1; }
cd "$work"
fail=0
out=/tmp/tavro_info_set_out.$$
err=/tmp/tavro_info_set_err.$$
expect() { # expect STATUS ARGS...
  local want="$1"; shift
  ${TAVRO_CLI_RUNNER:-} "$cli" "$@" >"$out" 2>"$err"
  local got=$?
  sed -i 's/\r$//' "$out" "$err"
  if [ "$got" != "$want" ]; then echo "FAIL: $* exited $got, wanted $want"; cat "$err"; fail=1; fi
}
has() { grep -qF -- "$2" "$1" || { echo "FAIL: '$2' missing from $1:"; cat "$1"; fail=1; }; }

cp tags_pcm.avi edit.avi
expect 0 --set INAM="Edited title" --set IART= --set ICMT="A comment" edit.avi
[ "$(stat -c %s edit.avi)" = "$(stat -c %s tags_pcm.avi)" ] || { echo "FAIL: length changed"; fail=1; }
expect 0 edit.avi
has "$out" "Comment INAM (Name): Edited title"
has "$out" "Comment ICMT (Comments): A comment"
grep -q "IART" "$out" && { echo "FAIL: IART not deleted"; fail=1; }

# Into a copy: the source stays as it was.
cp no_info.avi source.avi
expect 0 --set ISBJ="Subject" --output copy.avi source.avi
cmp -s source.avi no_info.avi || { echo "FAIL: source changed"; fail=1; }
expect 0 copy.avi
has "$out" "Comment ISBJ (Subject): Subject"
has "$out" "Comment ISFT (Software): Tavro"
expect 1 --set INAM=x --output source.avi source.avi
has "$err" "File will not be modified"

# Refusals: unknown id, no room, not an AVI; nothing is written.
cp tags_pcm.avi keep.avi
expect 1 --set IXYZ=1 keep.avi
has "$err" "IARL IART ICMS"
long="$(printf 'x%.0s' $(seq 1 63))"
sets=()
for id in IARL IART ICMS ICMT ICOP ICRD ICRP IDIM IDPI IENC IENG IGNR IKEY ILGT IMED INAM IPLT IPRD ISBJ ISFT ISHP ISRC ISRF; do
  sets+=(--set "$id=$long")
done
expect 1 "${sets[@]}" keep.avi
has "$err" "No Room to Reorganize: Edit Failed. File will not be modified"
cmp -s keep.avi tags_pcm.avi || { echo "FAIL: refused edit changed the file"; fail=1; }
rm -f readonly.avi
cp tags_pcm.avi readonly.avi
chmod 444 readonly.avi
expect 1 --set INAM=x readonly.avi
has "$err" "Unable to open file"
cmp -s readonly.avi tags_pcm.avi || { echo "FAIL: read-only file changed"; fail=1; }
rm -f readonly.avi
# Saves cut short by the test hook (exit 86 at the n-th changing call: create, write
# and flush the recovery file, write and flush the head, remove the recovery file).
stopped() { # stopped PLAN ARGS...
  local plan="$1"; shift
  TAVRO_TEST_STOP_SAVE="$plan" ${TAVRO_CLI_RUNNER:-} "$cli" "$@" >/dev/null 2>&1
  [ $? = 86 ] || { echo "FAIL: the save $* was not stopped at $plan"; fail=1; }
}
# The head torn among its changed bytes: the file no longer opens; --restore mends it.
cp tags_pcm.avi torn.avi
stopped 3:8950 --set INAM="Torn title here" torn.avi
cmp -s torn.avi tags_pcm.avi && { echo "FAIL: the head was not torn"; fail=1; }
[ -f torn.avi.tavro-recovery ] || { echo "FAIL: no recovery file"; fail=1; }
expect 0 --restore torn.avi
has "$out" "The old header of torn.avi was put back."
cmp -s torn.avi tags_pcm.avi || { echo "FAIL: --restore did not give the old file"; fail=1; }
[ -f torn.avi.tavro-recovery ] && { echo "FAIL: recovery file left"; fail=1; }
expect 0 --restore torn.avi
has "$out" "nothing to restore"
# Stopped while the recovery file was written: the file is untouched.
stopped 1 --set INAM="Never" torn.avi
cmp -s torn.avi tags_pcm.avi || { echo "FAIL: a save stopped early changed the file"; fail=1; }
expect 0 --restore torn.avi
has "$out" "never began"
# Stopped before the recovery file went: the save had finished.
stopped 5 --set INAM="Finished" torn.avi
expect 0 --restore torn.avi
has "$out" "had finished"
expect 0 torn.avi
has "$out" "Comment INAM (Name): Finished"
# A copy stopped before its rename leaves no file under the target's name.
rm -f stopped.avi
stopped 3 --set INAM="Copy" --output stopped.avi tags_pcm.avi
[ -e stopped.avi ] && { echo "FAIL: a half-made copy under the target name"; fail=1; }
rm -f stopped.avi.tavro-tmp torn.avi

printf 'RIFF\4\0\0\0WAVE' > plain.wav
expect 1 --set INAM=x plain.wav
cmp -s plain.wav <(printf 'RIFF\4\0\0\0WAVE') || { echo "FAIL: wav changed"; fail=1; }
expect 2 --set INAM=x
expect 2 --set INAMx edit.avi

rm -f "$out" "$err"
[ "$fail" = 0 ] && echo "cli --set: all passed"
exit "$fail"
