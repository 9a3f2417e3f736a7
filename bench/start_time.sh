#!/usr/bin/env bash
# The time from starting the program to its window's first paint on a real X
# server (an Xvfb of its own when there is no display), on the full set:
# RUNS starts one after the other, the median of each step in ms from the
# moment the process was started (VELARTO_START_TIMES, app/window/start_times.h),
# the main thread's processor time until the paint (cpu), and the median
# peak RSS in KiB.
#   bench/start_time.sh [BUILD_DIR] [RUNS] [SET]
# SET is "Completo" (the benchmarks' full set, the default) or "Original"
# (the factory set).
set -uo pipefail
if [[ -z ${DISPLAY:-} ]]; then exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"; fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-5}
set_name=${3:-Completo}
work=$(mktemp -d /tmp/velarto-start-time-XXXXXX)
trap 'rm -rf "$work"' EXIT
"$build/make_factory" "$work" >/dev/null && "$build/bench/write_full_set" "$work" || exit 1
cd "$work" || exit 1
# A first start writes the settings and warms the disk cache; it is not counted.
VELARTO_START_TIMES=quit "$build/DRAV_PROF" "datos/$set_name.vl2" >/dev/null 2>&1
for ((i = 0; i < runs; ++i)); do
  t0=$EPOCHREALTIME
  VELARTO_START_TIMES=quit /usr/bin/time -f "rss %M" "$build/DRAV_PROF" "datos/$set_name.vl2" 2>&1 >/dev/null |
    awk -v t0="${t0/./}" '/^start / { printf "%s %.1f\n", $2, ($3 - t0) / 1000 } /^cpu / { printf "cpu %.1f\n", $2 / 1000 } /^rss / { print "rss", $2 }'
done >"$work/steps"
echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "set $set_name, $runs starts, medians (ms from the process's start):"
for step in main application window startup dialogs shown painted cpu rss; do
  awk -v s="$step" '$1 == s { print $2 }' "$work/steps" | sort -n |
    awk -v s="$step" '{ v[NR] = $1 } END { if (NR) printf "  %-12s %8.1f   (%s .. %s)\n", s, v[int((NR + 1) / 2)], v[1], v[NR] }'
done
