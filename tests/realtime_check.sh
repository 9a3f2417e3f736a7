#!/usr/bin/env bash
# The paced output on JACK, about 5 s: starts JACK's dummy driver at 44100 Hz
# (a server of its own), plays a loop of clicks through the program's window
# and its real PortAudio output (VELARTO_AUDIO_HOST=jack), records what
# reaches system:playback with jack_capture, and fails unless every click
# comes exactly one beat (SamplesPerBeat frames) after the one before and
# none is missing (frames the recorder itself lost, which a clock recorded
# beside shows, are not held against the program). Needs no sound card and
# no running daemon.
#
#   realtime_check.sh REALTIME_PLAY REALTIME_ONSETS
#
# Exit status: 0 passed, 1 failed, 77 skipped (jackd is not installed).
set -uo pipefail
PLAY=${1:?usage: realtime_check.sh REALTIME_PLAY REALTIME_ONSETS}
ONSETS=${2:?usage: realtime_check.sh REALTIME_PLAY REALTIME_ONSETS}
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

if ! command -v jackd >/dev/null; then
  echo "SKIP: jackd is not installed"
  exit 77
fi
if ! command -v jack_capture >/dev/null; then
  echo "FAIL: jackd is installed but jack_capture is not"
  exit 1
fi
RT_LIMIT=150  # nothing of this check outlives it by more than that
source "$HERE/../bench/realtime_jack.sh"

WORK=$(mktemp -d /tmp/velarto-jack-check-XXXXXX)
finish() {
  local status=$?
  rt_cleanup
  if [[ $status -ne 0 ]]; then
    for f in jackd.log capture.log play.log onsets.log; do
      [[ -s $WORK/$f ]] && { echo "--- $f"; tail -40 "$WORK/$f"; }
    done
  fi
  rm -rf "$WORK"
  exit $status
}
trap finish EXIT
trap 'exit 130' INT TERM

rt_jack_start "velarto-check-$$" 44100 "$WORK/jackd.log" || exit 1
echo "jackd: dummy driver at 44100 Hz, period 256, $RT_MODE"
# jack_metro beside the program, recorded as a third channel, shows any
# cycle the recorder itself lost, so that such a loss is not taken for the
# program's.
rt_metro_start || exit 1
rt_capture_start "$WORK/rec.wav" "$WORK/capture.log" "$RT_METRO_PORT" || exit 1

VELARTO_AUDIO_HOST=jack timeout 120 "$PLAY" --folder "$WORK/work" --click --bpm 120 --seconds 5 --settle 1 \
  --out "$WORK/click" </dev/null >"$WORK/play.log" 2>&1
play=$?
rt_capture_stop
xruns=$(rt_xruns "$WORK/jackd.log")
byclient=$(rt_xruns_by_client "$WORK/jackd.log")
rt_cleanup
grep -E '^(output:|playing |played )' "$WORK/play.log"
if [[ $play -ne 0 ]]; then
  echo "FAIL: realtime_play exited with $play"
  exit 1
fi
echo "jackd logged $xruns xrun(s)${byclient:+ ($byclient)}"

"$ONSETS" --click --recording "$WORK/rec.wav" --played "$WORK/click-played.wav" --beats "$WORK/click-beats.txt" \
  >"$WORK/onsets.log" 2>&1
onsets=$?
grep -v '^ ' "$WORK/onsets.log" | grep -v '^  beat'
frames=$(awk '!/^#/ {print $3}' "$WORK/click-beats.txt" | sort -u)
measured=$(sed -n 's/^RESULT .*measured=\([0-9]*\).*/\1/p' "$WORK/onsets.log")
if [[ $onsets -ne 0 ]]; then
  echo "FAIL: a click is off or missing:"
  grep -E 'OFF|MISSING' "$WORK/onsets.log" | head -20
  exit 1
fi
# 5 s at 120 bpm: about ten beats of 22049 frames, all of one length.
if [[ $frames != 22049 ]]; then
  echo "FAIL: beats of $frames frames, expected 22049 at 120 bpm"
  exit 1
fi
if [[ -z $measured || $measured -lt 8 ]]; then
  echo "FAIL: only ${measured:-0} clicks heard in 5 s"
  exit 1
fi
lost=$(sed -n 's/^RESULT .*recorder_lost=\([0-9]*\).*/\1/p' "$WORK/onsets.log")
echo "PASS: $measured clicks, each exactly $frames frames after the one before${lost:+$([[ $lost != 0 ]] && echo " (but for $lost frames the recorder itself lost)")}"
exit 0
