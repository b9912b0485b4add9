#!/usr/bin/env python3
"""Writes Tavro21.dat from the mingw-w64 headers and codec_db_extra.tsv.

The headers give the numbers (wave format tags, result codes, GUIDs); the
hand-kept list gives which of them Tavro names and every text the user reads.
The output is checked against the loader's limits before it is written:
CR LF line ends, tab-separated fields, at most 100000 bytes, and the slot
counts of the four tables (video 399, audio 149, results 199, guids 399).

mmreg.h defines more WAVE_FORMAT_* tags than the audio table can hold; the
hand list keeps the 149 most useful ones (common formats first, then the
better-known vendor codecs) and this script prints the tags it left out.
Tags that real files carry but mmreg.h does not define (Vorbis's 0x566f) are
listed with their number and share the same 149 slots.

Usage: gen_codec_db.py [--include DIR] [--extra FILE] [--out FILE] [--check]
"""

import argparse
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
MAX_BYTES = 100000
SLOTS = {"video": 399, "audio": 149, "results": 199, "guids": 399}
# GUID of a subtype made from a FourCC or a wave format tag: {xxxxxxxx-0000-0010-8000-00AA00389B71}
BASE_TAIL = (0x0000, 0x0010, [0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71])


class GenError(Exception):
    pass


def read_text(path):
    with open(path, encoding="latin-1") as f:
        return f.read()


def c_int(text):
    """Value of a C integer literal such as 0x0055, 12L or __MSABI_LONG(2)."""
    text = text.strip()
    m = re.fullmatch(r"__MSABI_LONG\((.*)\)", text)
    if m:
        text = m.group(1).strip()
    text = text.strip("()").strip()
    text = re.sub(r"[uUlL]+$", "", text)
    return int(text, 0)


def wave_formats(include):
    """WAVE_FORMAT_* name -> tag, with aliases such as IMA_ADPCM resolved."""
    raw = {}
    for m in re.finditer(r"^\s*#\s*define\s+(WAVE_FORMAT_\w+)\s+(.+?)\s*(?:/[/*].*)?$",
                         read_text(os.path.join(include, "mmreg.h")), re.M):
        name, value = m.group(1), m.group(2).strip()
        if name in raw and raw[name] != value:
            raise GenError("mmreg.h defines %s twice (%s, %s)" % (name, raw[name], value))
        raw[name] = value
    tags = {}

    def resolve(name, depth=0):
        value = raw[name].strip("()").strip()
        if value in raw and depth < 8:
            return resolve(value, depth + 1)
        return c_int(value)

    for name in raw:
        try:
            tags[name] = resolve(name)
        except ValueError:
            pass  # a macro that is not a plain tag
    return tags


def result_codes(include):
    """Symbol -> 32-bit code from vfwmsgs.h and winerror.h; ERROR_* become HRESULTs."""
    codes = {}
    pattern = re.compile(
        r"^\s*#\s*define\s+(\w+)\s+(?:_HRESULT_TYPEDEF_\((0x[0-9A-Fa-f]+)L?\)"
        r"|\(\(HRESULT\)\s*(0x[0-9A-Fa-f]+)L?\)|(__MSABI_LONG\(\d+\)|\d+L?))\s*$", re.M)
    for header in ("vfwmsgs.h", "winerror.h"):
        for m in pattern.finditer(read_text(os.path.join(include, header))):
            name = m.group(1)
            value = m.group(2) or m.group(3)
            if value:
                codes.setdefault(name, int(value, 16) & 0xFFFFFFFF)
            elif name.startswith("ERROR_"):
                win32 = c_int(m.group(4))
                # An HRESULT that carries a Win32 error: facility 7, severity bit set.
                codes.setdefault(name, win32 if win32 == 0 else (win32 & 0xFFFF) | 0x80070000)
    return codes


def guid_entries(include):
    """Symbol -> GUID (Data1, Data2, Data3, [8 bytes]) from uuids.h and ksuuids.h."""
    guids = {}
    for header in ("uuids.h", "ksuuids.h"):
        text = read_text(os.path.join(include, header))
        for m in re.finditer(r"OUR_GUID_ENTRY\(\s*(\w+)\s*,([^)]*)\)", text):
            parts = [p.strip() for p in m.group(2).split(",")]
            if len(parts) != 11:
                continue
            try:
                nums = [c_int(p) for p in parts]
            except ValueError:
                continue
            guids.setdefault(m.group(1), (nums[0], nums[1], nums[2], nums[3:]))
    return guids


def guid_text(g):
    d1, d2, d3, d4 = g
    return "{%08X-%04X-%04X-%02X%02X-%s}" % (d1, d2, d3, d4[0], d4[1],
                                             "".join("%02X" % b for b in d4[2:]))


def base_guid(data1):
    return (data1, BASE_TAIL[0], BASE_TAIL[1], BASE_TAIL[2])


def fourcc_guid(fourcc):
    b = fourcc.encode("latin-1")
    return base_guid(b[0] | b[1] << 8 | b[2] << 16 | b[3] << 24)


def read_extra(path):
    """Section name -> list of field lists, from the hand-kept list."""
    sections = {}
    current = None
    for number, line in enumerate(read_text(path).split("\n"), 1):
        line = line.rstrip("\r")
        if not line or line.startswith("#"):
            continue
        m = re.fullmatch(r"\[(.+)\]", line)
        if m:
            current = sections.setdefault(m.group(1), [])
            continue
        if current is None:
            raise GenError("%s:%d: entry before the first section" % (path, number))
        current.append((number, line.split("\t")))
    return sections


def expect_fields(path, number, fields, count):
    if len(fields) != count or not fields[0]:
        raise GenError("%s:%d: expected %d tab-separated fields" % (path, number, count))


def build(include, extra_path):
    extra = read_extra(extra_path)
    tags = wave_formats(include)
    codes = result_codes(include)
    guids = guid_entries(include)
    tables = {"video": [], "audio": [], "results": [], "guids": []}

    video_names = {}
    seen_video = {}
    # Only the first section's FourCCs get subtype GUIDs (the GUID table is full).
    with_guid = set()
    video_rows = [(n, f, True) for n, f in extra.get("video", [])]
    video_rows += [(n, f, False) for n, f in extra.get("video without guid", [])]
    for number, f, guid in video_rows:
        expect_fields(extra_path, number, f, 3)
        key = f[0]
        if len(key) != 4:
            raise GenError("%s:%d: FourCC %r is not four characters" % (extra_path, number, key))
        # The lookup ignores case, so a second key differing only in case is never found.
        if key.lower() in seen_video:
            raise GenError("%s:%d: %s repeats %s" % (extra_path, number, key,
                                                     seen_video[key.lower()]))
        seen_video[key.lower()] = key
        video_names[key] = f[1]
        if guid:
            with_guid.add(key)
        tables["video"].append((key, f[1], f[2]))

    kept = set()
    audio = []
    for number, f in extra.get("audio", []):
        expect_fields(extra_path, number, f, 2)
        if f[0] not in tags:
            raise GenError("%s:%d: mmreg.h does not define %s" % (extra_path, number, f[0]))
        tag = tags[f[0]]
        if tag in kept:
            raise GenError("%s:%d: tag 0x%04x is listed twice" % (extra_path, number, tag))
        kept.add(tag)
        audio.append((tag, f[0], f[1]))
    # Tags files carry that mmreg.h has no symbol for: the number is written out.
    for number, f in extra.get("audio without header name", []):
        expect_fields(extra_path, number, f, 3)
        if not re.fullmatch(r"0x[0-9a-f]{4}", f[0]):
            raise GenError("%s:%d: tag %r is not written as 0x and four lower-case hex digits"
                           % (extra_path, number, f[0]))
        tag = int(f[0], 16)
        if tag in kept or tag in tags.values():
            raise GenError("%s:%d: tag %s is listed twice or has a header name"
                           % (extra_path, number, f[0]))
        kept.add(tag)
        audio.append((tag, f[1], f[2]))
    audio.sort()
    tables["audio"] = [("0x%04x" % t, n, d) for t, n, d in audio]
    left_out = sorted({(t, n) for n, t in tags.items() if t not in kept})

    for number, f in extra.get("results", []):
        expect_fields(extra_path, number, f, 2)
        if f[0] not in codes:
            raise GenError("%s:%d: no header defines %s" % (extra_path, number, f[0]))
        tables["results"].append(("0x%08x" % codes[f[0]], f[0], f[1]))
    result_keys = [k for k, _, _ in tables["results"]]
    if len(set(result_keys)) != len(result_keys):
        raise GenError("two result symbols share a code")

    seen_guids = set()

    def add_guid(g, name, detail):
        text = guid_text(g)
        if text not in seen_guids:
            seen_guids.add(text)
            tables["guids"].append((text, name, detail))

    for number, f in extra.get("guids", []):
        expect_fields(extra_path, number, f, 2)
        if f[0] not in guids:
            raise GenError("%s:%d: no header defines %s" % (extra_path, number, f[0]))
        add_guid(guids[f[0]], f[0], f[1])
    for number, f in extra.get("audio subtypes", []):
        expect_fields(extra_path, number, f, 2)
        if f[0] not in tags:
            raise GenError("%s:%d: mmreg.h does not define %s" % (extra_path, number, f[0]))
        add_guid(base_guid(tags[f[0]]), "MEDIASUBTYPE_" + f[0][len("WAVE_FORMAT_"):], f[1])
    for key, name, _ in tables["video"]:
        if key in with_guid and not key.startswith("_"):
            add_guid(fourcc_guid(key), "FOURCC_" + key.strip(), "%s - %s" % (key.strip(), name))
    for number, f in extra.get("video subtype aliases", []):
        expect_fields(extra_path, number, f, 2)
        if f[1] not in video_names:
            raise GenError("%s:%d: no video entry %s" % (extra_path, number, f[1]))
        add_guid(fourcc_guid(f[0]), "FOURCC_" + f[0].strip(),
                 "%s - %s" % (f[0].strip(), video_names[f[1]]))
    return tables, left_out


def render(tables):
    lines = [
        "# Tavro codec data base: video FourCCs, wave format tags, result codes, GUID names.",
        "# Written by codecs/data/gen_codec_db.py from codec_db_extra.tsv; edit those instead.",
    ]
    headers = [("video", "[video codecs]"), ("audio", "[audio codecs]"),
               ("results", "[vfw messages]"), ("guids", "[guids]")]
    for table, header in headers:
        lines.append(header)
        for fields in tables[table]:
            for field in fields:
                if re.search(r"[\t\r\n]", field):
                    raise GenError("field %r holds a tab or line break" % field)
            if fields[0][0] in "#@[ \t":
                raise GenError("key %r would not read as an entry" % fields[0])
            lines.append("\t".join(fields))
    return ("\r\n".join(lines) + "\r\n").encode("latin-1")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--include", default="/usr/share/mingw-w64/include")
    parser.add_argument("--extra", default=os.path.join(HERE, "codec_db_extra.tsv"))
    parser.add_argument("--out", default=os.path.join(HERE, "Tavro21.dat"))
    parser.add_argument("--check", action="store_true",
                        help="fail if the output file differs instead of writing it")
    args = parser.parse_args()
    try:
        tables, left_out = build(args.include, args.extra)
        for table, limit in SLOTS.items():
            if len(tables[table]) > limit:
                raise GenError("%s: %d entries, the loader holds %d" %
                               (table, len(tables[table]), limit))
        data = render(tables)
        if len(data) > MAX_BYTES:
            raise GenError("output is %d bytes, the loader accepts %d" % (len(data), MAX_BYTES))
    except (GenError, OSError) as e:
        print("gen_codec_db: %s" % e, file=sys.stderr)
        return 1
    if args.check:
        with open(args.out, "rb") as f:
            if f.read() != data:
                print("gen_codec_db: %s is out of date" % args.out, file=sys.stderr)
                return 1
    else:
        with open(args.out, "wb") as f:
            f.write(data)
    counts = ", ".join("%s %d/%d" % (t, len(tables[t]), SLOTS[t]) for t in SLOTS)
    print("%s: %d bytes; %s" % (args.out, len(data), counts))
    if left_out:
        print("left out %d tags of mmreg.h: %s" %
              (len(left_out), " ".join("%s(0x%04x)" % (n[12:], t) for t, n in left_out)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
