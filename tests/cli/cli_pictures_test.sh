#!/usr/bin/env bash
# The file map and graph pictures through tavro-cli over media made here with ffmpeg:
# cli_pictures_test.sh TAVRO_CLI WORK_DIR. Every SVG is parsed with an XML parser.
set -u
cli="$1"
work="$2"
rm -rf "$work"
mkdir -p "$work/media" "$work/maps" "$work/other"
cd "$work/media" || exit 1
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
video="-f lavfi -i testsrc=size=160x120:rate=25"
tone() { echo "-f lavfi -i sine=frequency=$1:sample_rate=${2:-44100}"; }
ff $video $(tone 440) -t 2 -c:v mjpeg -c:a pcm_s16le interleaved.avi
# Two seconds of audio preload put every audio chunk ahead of the video.
ff $video $(tone 440) -t 2 -c:v mjpeg -c:a pcm_s16le -audio_preload 2000000 apart.avi
head -c 100000 interleaved.avi > cut.avi
# Serial numbers 0 and 1, so the Ogg reader takes both streams.
ff $(tone 440) $(tone 660 22050) -t 2 -map 0:a -map 1:a -c:a libvorbis -serial_offset 0 \
  -fflags +bitexact two_streams.ogg
ff $(tone 440) -t 2 -c:a libmp3lame -b:a 128k tone.mp3
cp tone.mp3 "$work/other/tone.mp3" # a second file of the same name, for the folder names
# The modern containers, from one MPEG-4 Visual and AAC recording: the index before and
# after the samples, cut short, and remuxed.
ff $video $(tone 440) -t 2 -c:v mpeg4 -q:v 3 -c:a aac -movflags +faststart moov_first.mp4
ff -i moov_first.mp4 -c copy moov_last.mp4
head -c $(($(stat -c %s moov_first.mp4) * 3 / 5)) moov_first.mp4 > cut.mp4
if command -v mkvmerge >/dev/null; then mkvmerge -q -o two.mkv moov_first.mp4; else ff -i moov_first.mp4 -c copy two.mkv; fi
ff -i moov_first.mp4 -c copy stream.ts
ff $video $(tone 440) -t 2 -c:v flv1 -c:a libmp3lame -ar 44100 -flvflags add_keyframe_index tags.flv
modern=(moov_first.mp4 moov_last.mp4 cut.mp4 two.mkv stream.ts tags.flv)
files=(interleaved.avi apart.avi cut.avi two_streams.ogg tone.mp3 "${modern[@]}")
fail=0
run() { ${TAVRO_CLI_RUNNER:-} "$cli" "$@"; }

# One input, one picture file each; the graph pictures are written even when no
# render test ran (natively it never does).
run --map "$work/one.svg" --graph-svg "$work/graph.svg" --graph-dot "$work/graph.dot" \
  interleaved.avi >/dev/null || { echo "FAIL: single map exit"; fail=1; }
grep -q '^digraph' "$work/graph.dot" || { echo "FAIL: graph.dot"; fail=1; }
# A folder: one picture per file, same names kept apart.
run --json --map "$work/maps" "${files[@]}" "$work/other/tone.mp3" >"$work/report.json" ||
  { echo "FAIL: batch exit"; fail=1; }
# A file named for several inputs is bad usage, and a picture never replaces its input.
run --map "$work/x.svg" interleaved.avi tone.mp3 >/dev/null 2>&1
[ $? -eq 2 ] || { echo "FAIL: --map FILE with two inputs"; fail=1; }
cp tone.mp3 "$work/victim.mp3"
run --map "$work/victim.mp3" "$work/victim.mp3" >/dev/null 2>&1 && { echo "FAIL: overwrote input"; fail=1; }
cmp -s tone.mp3 "$work/victim.mp3" || { echo "FAIL: input changed"; fail=1; }

python3 - "$work" <<'PY' || fail=1
import json, os, sys
import xml.etree.ElementTree as ET
work = sys.argv[1]
NS = "{http://www.w3.org/2000/svg}"
ok = True
def check(cond, what):
    global ok
    if not cond:
        print("FAIL:", what)
        ok = False

def svg(path):
    root = ET.parse(path).getroot()  # raises on a malformed file
    check(root.tag == NS + "svg", path + " root")
    return root

def group(root, id_):
    return [g for g in root.iter(NS + "g") if g.get("id") == id_]

for name in ["graph.svg"]:
    root = svg(os.path.join(work, name))
    check(any("No graph was built" in (t.text or "") for t in root.iter(NS + "text")), "empty graph text")

doc = json.load(open(os.path.join(work, "report.json")))
check(len(doc) == 12, "twelve reports")
maps = {os.path.basename(o["path"]) + ("#2" if "/other/" in o["path"] else ""): o["map"] for o in doc}
pictures = sorted(os.listdir(os.path.join(work, "maps")))
modern = ["moov_first.mp4", "moov_last.mp4", "cut.mp4", "two.mkv", "stream.ts", "tags.flv"]
check(pictures == sorted(["interleaved.avi.map.svg", "apart.avi.map.svg", "cut.avi.map.svg",
                          "two_streams.ogg.map.svg", "tone.mp3.map.svg", "tone.mp3-2.map.svg"] +
                         [name + ".map.svg" for name in modern]),
      "picture names %s" % pictures)
for p in pictures:
    root = svg(os.path.join(work, "maps", p))
    for id_ in ("byte-band", "time-band", "legend"):
        check(len(group(root, id_)) == 1, p + " has " + id_)
svg(os.path.join(work, "one.svg"))

for name, m in maps.items():
    check(m["bins"] <= 2048 and m["bins"] * m["bin_bytes"] >= m["file_size"], name + " bins")
    for key, values in m["layers"].items():
        check(len(values) == m["bins"], name + " layer length " + key)

def shared_bins(m, a, b):
    sa, sb = m["streams"][a], m["streams"][b]
    return [(sa["time_first_offset"][i], sb["time_first_offset"][i])
            for i in range(m["time_bins"])
            if sa["time_first_offset"][i] is not None and sb["time_first_offset"][i] is not None]

def stream_names(m):
    return [s["name"] for s in m["streams"]]

# Interleaved: at every time both streams lie close together in the file.
m = maps["interleaved.avi"]
check(stream_names(m) == ["Video MJPG", "Audio 1"], "interleaved streams %s" % stream_names(m))
pairs = shared_bins(m, 0, 1)
check(len(pairs) > 10 and all(abs(v - a) < m["file_size"] / 10 for v, a in pairs), "interleaved near")
check(not m["truncated"] and "missing" not in m["layers"], "interleaved not cut")
check("index" in m["layers"] and "header" in m["layers"], "interleaved header and index")

# Apart: the audio of each moment lies far before its video.
m = maps["apart.avi"]
pairs = shared_bins(m, 0, 1)
check(len(pairs) > 10 and all(v - a > m["file_size"] / 3 for v, a in pairs), "apart far")

# Cut: declared end past the file, the tail drawn as missing, and the marks in the picture.
m = maps["cut.avi"]
check(m["truncated"] and m["declared_end"] > m["file_size"] and "missing" in m["layers"], "cut map")
root = svg(os.path.join(work, "maps", "cut.avi.map.svg"))
check(len(group(root, "file-end")) == 1 and len(group(root, "declared-end")) == 1, "cut marks")

# Ogg: two Vorbis streams with their pages, and header pages.
m = maps["two_streams.ogg"]
check(stream_names(m) == ["Vorbis 1", "Vorbis 2"], "ogg streams %s" % stream_names(m))
check(all(s["bytes"] > 0 for s in m["streams"]) and "header" in m["layers"], "ogg bytes")
check(1.9 < m["duration_s"] < 2.1, "ogg duration %s" % m["duration_s"])

# MP3: frames cover nearly the whole file, along two seconds.
for name in ("tone.mp3", "tone.mp3#2"):
    m = maps[name]
    check(stream_names(m) == ["MPEG audio"], name + " stream")
    check(m["streams"][0]["bytes"] > 0.95 * m["file_size"], name + " frames")
    check(1.9 < m["duration_s"] < 2.2, name + " duration")
# The modern containers: a video and an audio stream named as the report lists them,
# their data where the samples lie and interleaved along the time, about two seconds,
# and each container's structure and index where it puts them.
def bins_of(m, layer):
    return [i for i, v in enumerate(m["layers"].get(layer, [])) if v]

def near_start(m, layer):
    b = bins_of(m, layer)
    return bool(b) and max(b) < m["bins"] // 10

def near_end(m, layer):
    b = bins_of(m, layer)
    return bool(b) and min(b) >= m["bins"] * 9 // 10

start_size = maps["moov_first.mp4"]["file_size"]
expect = {
    "moov_first.mp4": [lambda m: near_start(m, "index") and near_start(m, "header"),
                       lambda m: m["declared_end"] == m["file_size"] and not m["truncated"]],
    "moov_last.mp4": [lambda m: near_end(m, "index"), lambda m: not m["truncated"]],
    "cut.mp4": [lambda m: m["truncated"] and m["declared_end"] == start_size,
                lambda m: near_start(m, "index") and
                min(bins_of(m, "missing")) == m["file_size"] // m["bin_bytes"]],
    # The SeekHead first, the Cues after the clusters, a header before each cluster.
    "two.mkv": [lambda m: min(bins_of(m, "index")) < m["bins"] // 10 and
                max(bins_of(m, "index")) >= m["bins"] * 9 // 10,
                lambda m: 0 in bins_of(m, "header") and m["declared_end"] == m["file_size"]],
    "stream.ts": [lambda m: bool(bins_of(m, "header")), lambda m: m["declared_end"] is None],
    "tags.flv": [lambda m: near_start(m, "index") and near_start(m, "header")],
}
for name in modern:
    m = maps[name]
    names = stream_names(m)
    check(len(names) == 2 and names[0].startswith("Video #") and names[1].startswith("Audio #"),
          name + " streams %s" % names)
    check(all(s["bytes"] > 0 for s in m["streams"]), name + " stream bytes")
    check(1.9 < m["duration_s"] < 2.2, name + " duration %s" % m["duration_s"])
    # The data of each moment lies close together in the file.
    pairs = shared_bins(m, 0, 1)
    check(len(pairs) > 10 and all(abs(v - a) < m["file_size"] / 5 for v, a in pairs),
          name + " interleaved")
    for n, test in enumerate(expect[name]):
        check(test(m), "%s regions %d" % (name, n))
sys.exit(0 if ok else 1)
PY
exit $fail
