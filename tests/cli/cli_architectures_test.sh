#!/usr/bin/env bash
# The 32-bit and the 64-bit tavro-cli give the same text for the same file: the
# report lines, the JSON and the export template, over the generated and the crafted
# media. cli_architectures_test.sh CLI64 CLI32 WIN32_TREE DIR...
# Exits 77 (skipped) where the 32-bit build or a 32-bit Wine to run it is missing.
set -u
cli64="$1"; cli32="$2"; tree32="$3"; shift 3
root="$(cd "$(dirname "$0")/../.." && pwd)"
if [ ! -f "$cli32" ]; then echo "skipped: no 32-bit build at $cli32"; exit 77; fi
arch="$("$root/scripts/probe-32bit")"
case "$arch" in
  native|emulated) ;;
  *) echo "skipped: $arch"; exit 77 ;;
esac
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then echo "skipped: 32-bit Wine does not start"; exit 77; fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Every report field and the file name, as one export record.
template='%@'
for f in A B C D E F G H I J K L M N O P Q R S T U V W X; do template+="\\t%$f"; done

# What each kind of player finds is seen from the build's own side: its own
# codecs through their systems, the other architecture's from the registry
# view, which need not list the same (Wine keeps VfW drivers in system.ini).
# That part of the status, the per-player lists and paragraphs, what a missing
# codec needs, and the Media Foundation test (each build asks its own Media Foundation) are left out.
normalise() {
  python3 - "$1" <<'PY'
import json, re, sys
path = sys.argv[1]
lines = open(path, encoding="utf-8", errors="surrogateescape").read().split("\n")
suffix = re.compile(r"  (Not installed for [^\t\n]* players|Installed \([^)\t\n]*\))")
paragraph = re.compile(r"~~Decoders each kind of player would find:.*$")
# What a missing codec needs names the decoders each side can see and its own bits.
missing = re.compile(r"~~ What is needed: .*?Install it, then check the file again with Tavro\.")
text = "\n".join(lines)
try:
    body, code = text.rstrip("\n").rsplit("\n", 1)
    doc = json.loads(body)
except ValueError:
    open(path, "w", encoding="utf-8", errors="surrogateescape").write(suffix.sub("", text))
    sys.exit(0)
for report in doc if isinstance(doc, list) else []:
    report.pop("decoders", None)
    report.pop("mediaFoundationPlay", None)
    for key, value in report.get("fields", {}).items():
        report["fields"][key] = suffix.sub("", value)
    for key, value in report.get("explanations", {}).items():
        report["explanations"][key] = missing.sub("", paragraph.sub("", value))
open(path, "w", encoding="utf-8", errors="surrogateescape").write(
    json.dumps(doc, indent=1, sort_keys=True) + "\n" + code + "\n")
PY
}

# GUI tests may leave stored settings (a run mode) in a prefix: both sides run with the
# defaults, or they would differ by what ran before them.
for tree in "$tree32" "$(dirname "$(dirname "$cli64")")"; do
  TAVRO_BUILD_DIR="$tree" "$root/cmake/wine-emulator" reg delete \
    'HKCU\Software\Orlent\Tavro\Settings' /f >/dev/null 2>&1 || true
done

fail=0
for dir in "$@"; do
  [ -d "$dir" ] || { echo "FAIL: no folder $dir"; fail=1; continue; }
  # Relative names, so both runs print the same paths.
  mapfile -t files < <(cd "$dir" && find . -maxdepth 1 -type f ! -name '*.json' | sort)
  name="$(basename "$dir")"
  for bits in 32 64; do
    if [ "$bits" = 32 ]; then cli="$cli32"; tree="$tree32"; else cli="$cli64"; tree=""; fi
    for form in text json template; do
      case "$form" in
        text) args=() ;;
        json) args=(--json) ;;
        template) args=(--template "$template") ;;
      esac
      (cd "$dir" && TAVRO_BUILD_DIR="$tree" "$root/cmake/wine-emulator" "$cli" "${args[@]}" -- "${files[@]}") \
        >"$work/$name.$form.$bits" 2>"$work/$name.$form.$bits.err"
      echo "$?" >>"$work/$name.$form.$bits"
    done
  done
  for form in text json template; do
    for bits in 32 64; do normalise "$work/$name.$form.$bits"; done
    if ! diff "$work/$name.$form.32" "$work/$name.$form.64" >"$work/diff"; then
      echo "FAIL: the $form output over $name differs between the 32-bit and the 64-bit build:"
      head -n 40 "$work/diff"
      fail=1
    fi
  done
  echo "$name: ${#files[@]} files compared"
done
exit "$fail"
