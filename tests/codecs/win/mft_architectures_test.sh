#!/usr/bin/env bash
# The 64-bit build and the 32-bit build, run in the same 64-bit prefix, list
# the same Media Foundation transforms: what one enumerates for its own
# architecture the other reads from that architecture's registry view.
# mft_architectures_test.sh PRINT64 PRINT32 WIN64_TREE
# Exits 77 (skipped) where the 32-bit build or a 32-bit Wine to run it is missing.
set -u
print64="$1"; print32="$2"; tree64="$3"
root="$(cd "$(dirname "$0")/../../.." && pwd)"
if [ ! -f "$print32" ]; then echo "skipped: no 32-bit build at $print32"; exit 77; fi
arch="$("$root/scripts/probe-32bit")"
case "$arch" in
  native|emulated) ;;
  *) echo "skipped: $arch"; exit 77 ;;
esac
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then echo "skipped: 32-bit Wine does not start"; exit 77; fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The 64-bit one through the tree's emulator (which readies the prefix); the
# 32-bit one in that same prefix through Wine's 32-bit loader, as WoW64 runs it.
TAVRO_BUILD_DIR="$tree64" "$root/cmake/wine-emulator" "$print64" --json >"$work/64.json" 2>/dev/null
cp -f "$(dirname "$print64")/Tavro21.dat" "$(dirname "$print32")/Tavro21.dat" 2>/dev/null
(cd "$(dirname "$print32")" && WINEPREFIX="$tree64/wineprefix" WINEDEBUG=-all \
  /usr/lib/wine/wine "$print32" --json) >"$work/32.json" 2>/dev/null
python3 - "$work/64.json" "$work/32.json" <<'PY'
import json, sys
def rows(path):
    doc = json.loads(open(path, encoding="utf-8", errors="replace").read())
    by_arch = {}
    for r in doc["mediaFoundation"]["rows"]:
        key = (r["Category"], r["Transform"], r["CLSID"], r["Input Types"], r["Output Types"])
        by_arch.setdefault(r["Arch"], set()).add(key)
    return doc, by_arch
doc64, from64 = rows(sys.argv[1])
doc32, from32 = rows(sys.argv[2])
fail = False
for arch in ("32-bit", "64-bit"):
    a, b = from64.get(arch, set()), from32.get(arch, set())
    if not a or a != b:
        fail = True
        print(f"FAIL: {arch} transforms differ between the builds")
        print("  only in the 64-bit build's list:", sorted(a - b)[:5])
        print("  only in the 32-bit build's list:", sorted(b - a)[:5])
    else:
        print(f"{arch}: {len(a)} transforms listed alike by both builds")
# Each build's list of the other architecture's DMO decoders and decoding
# filters is the other's own list of them.
def listed(doc, arch, kind_type):
    return {r["Codec"] for kind in ("video", "audio") for r in doc[kind]["rows"]
            if r["Type"] == kind_type and r["Arch"] == arch}
for kind_type in ("DMO", "DSH"):
    for arch in ("32-bit", "64-bit"):
        a, b = listed(doc64, arch, kind_type), listed(doc32, arch, kind_type)
        if not a or a != b:
            fail = True
            print(f"FAIL: {arch} {kind_type} rows differ:", sorted(a), sorted(b))
        else:
            print(f"{arch}: {len(a)} {kind_type} decoders listed alike by both builds")
sys.exit(1 if fail else 0)
PY
