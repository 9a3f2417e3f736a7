#!/usr/bin/env bash
# The WAV export of a dense song of ten minutes, the whole process, beside
# Hydrogen's command-line export (h2cli) of a song as dense, in one run:
# wall time and peak RSS of each process by /usr/bin/time -v, the median of
# RUNS runs made alternately.
#   bench/export_compare.sh [BUILD_DIR] [RUNS]
# Ours: DRAV_PROF started on the full set whose first theme is the song
# (write_full_set --song 600: 120 bpm, 1200 beats, 16 tracks of 8 strokes a
# beat), exporting it as the theme panel's WAV button does (VELARTO_CHECK=
# export:, on an Xvfb of its own when there is no display), then ending.
# Hydrogen's: a song we write here on the GMRockKit drumkit Debian's
# hydrogen-drumkits installs, 16 instruments of 8 notes a beat at velocities
# 1.0 and 0.7, 120 bpm, 300 patterns of 4 beats (1200 beats), exported to a
# 16-bit 44.1 kHz WAV. Without h2cli, or without its drumkit, that half is
# skipped with a word.
set -uo pipefail
# Our window needs an X server: one for the whole run.
if [[ -z ${DISPLAY:-} ]]; then exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"; fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-3}
work=$(mktemp -d /tmp/velarto-export-compare-XXXXXX)
trap 'rm -rf "$work"' EXIT

# One process under /usr/bin/time -v: "<wall s> <peak RSS KiB>".
measure() {
  /usr/bin/time -v "$@" >"$work/out" 2>"$work/time" || { echo "FAILED"; sed -n 1,20p "$work/out" "$work/time" >&2; return; }
  awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; ++i) s = s * 60 + t[i] }
              /Maximum resident set size/ { rss = $2 } END { printf "%.3f %d\n", s, rss }' "$work/time"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Ours.
ours="$work/ours"
mkdir -p "$ours"
"$build/make_factory" "$ours" >/dev/null && "$build/bench/write_full_set" "$ours" --song 600 || exit 1

# Hydrogen's.
kit=/usr/share/hydrogen/data/drumkits/GMRockKit
h2=""
if ! command -v h2cli >/dev/null; then
  echo "h2cli is not installed (Debian: apt-get install hydrogen): Hydrogen's export is not measured"
elif [[ ! -f $kit/drumkit.xml ]]; then
  echo "no GMRockKit drumkit in $kit (Debian: hydrogen-drumkits): Hydrogen's export is not measured"
else
  h2="$work/dense.h2song"
  python3 - "$kit/drumkit.xml" "$h2" <<'EOF'
import re, sys
kit = open(sys.argv[1], encoding="utf-8").read()
instruments = re.findall(r"<instrument>.*?</instrument>", kit, re.S)[:16]
# A song's instrument names its drumkit.
instruments = [i.replace("</name>", "</name>\n   <drumkit>GMRockKit</drumkit>\n   <drumkitLookup>2</drumkitLookup>", 1)
               for i in instruments]
notes = []
for tick in range(0, 192, 6):  # 8 notes a beat, 48 ticks a beat
    velocity = "1" if (tick // 6) % 2 == 0 else "0.7"
    for k in range(len(instruments)):
        notes.append(f"<note><position>{tick}</position><leadlag>0</leadlag><velocity>{velocity}</velocity>"
                     f"<pan>0</pan><pitch>0</pitch><probability>1</probability><key>C0</key><length>-1</length>"
                     f"<instrument>{k}</instrument><note_off>false</note_off></note>")
groups = "".join("<group><patternID>dense</patternID></group>" for _ in range(300))
song = f"""<?xml version="1.0" encoding="UTF-8"?>
<song>
 <version>1.2.0</version>
 <bpm>120</bpm>
 <volume>0.5</volume>
 <metronomeVolume>0.5</metronomeVolume>
 <name>dense</name>
 <author>velarto bench</author>
 <notes></notes>
 <license>CC0</license>
 <loopEnabled>false</loopEnabled>
 <patternModeMode>true</patternModeMode>
 <mode>song</mode>
 <humanize_time>0</humanize_time>
 <humanize_velocity>0</humanize_velocity>
 <swing_factor>0</swing_factor>
 <componentList><drumkitComponent><id>0</id><name>Main</name><volume>1</volume></drumkitComponent></componentList>
 <instrumentList>
  {"".join(instruments)}
 </instrumentList>
 <patternList>
  <pattern><name>dense</name><category></category><size>192</size><denominator>4</denominator><info></info>
   <noteList>{"".join(notes)}</noteList>
  </pattern>
 </patternList>
 <virtualPatternList></virtualPatternList>
 <patternSequence>{groups}</patternSequence>
 <ladspa></ladspa>
 <BPMTimeLine/>
 <timeLineTag/>
</song>
"""
open(sys.argv[2], "w", encoding="utf-8").write(song)
EOF
fi

: >"$work/ours.txt"
: >"$work/h2.txt"
for ((i = 0; i < runs; ++i)); do
  r=$(cd "$ours" && VELARTO_CHECK=export:song measure "$build/DRAV_PROF" datos/Cancion.vl2)
  grep -q "^exported song: 1" "$work/out" || { echo "our export failed: $(cat "$work/out")"; exit 1; }
  echo "$r" >>"$work/ours.txt"
  if [[ -n $h2 ]]; then
    rm -f "$work/h2.wav"
    r=$(cd "$work" && measure h2cli -s "$h2" -o "$work/h2.wav" -r 44100 -b 16)
    [[ -s $work/h2.wav ]] || { echo "h2cli wrote no file: $(tail -5 "$work/out" "$work/time")"; h2=""; continue; }
    echo "$r" >>"$work/h2.txt"
  fi
done

report() {  # report NAME FILE WAV
  [[ -s $2 ]] || return
  local wall rss secs
  wall=$(cut -d' ' -f1 "$2" | median)
  rss=$(cut -d' ' -f2 "$2" | median)
  secs=$(python3 -c "import wave,sys; w=wave.open(sys.argv[1]); print('%.1f' % (w.getnframes() / w.getframerate()))" "$3" 2>/dev/null || echo "?")
  printf "%-10s %s s of music: wall %s s (runs: %s), peak RSS %s MiB (runs: %s KiB)\n" "$1" "$secs" "$wall" \
    "$(cut -d' ' -f1 "$2" | tr '\n' ' ' | sed 's/ $//')" "$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')" \
    "$(cut -d' ' -f2 "$2" | tr '\n' ' ' | sed 's/ $//')"
}
echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs, load average $(cut -d' ' -f1-3 /proc/loadavg)"
report "DRAV_PROF" "$work/ours.txt" "$ours/datos/wavs/song.wav"
report "h2cli" "$work/h2.txt" "$work/h2.wav"
if [[ -s $work/h2.txt ]]; then
  awk -v a="$(cut -d' ' -f1 "$work/ours.txt" | median)" -v b="$(cut -d' ' -f1 "$work/h2.txt" | median)" \
    'BEGIN { printf "h2cli / DRAV_PROF, median wall times: %.0f times\n", b / a }'
fi
