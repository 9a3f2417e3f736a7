# JACK's dummy driver and jack_capture for the real-time checks of the sound
# output; sourced by bench/realtime and tests/realtime_check.sh.
#
# Every process started here is a child of the calling shell, remembered by
# its id and ended by rt_cleanup (which the caller traps on EXIT, INT and
# TERM); the server and the recorder also run under `timeout` (RT_LIMIT
# seconds), so that even a caller killed outright leaves nothing running for
# long. Each run has its own server name, so it never meets another JACK
# server on the machine, and clients never start one themselves.

RT_LIMIT=${RT_LIMIT:-3600}
RT_PIDS=()
RT_JACKD_PID=
RT_CAPTURE_PID=
RT_MODE=

export JACK_NO_START_SERVER=1
export JACK_NO_AUDIO_RESERVATION=1

# Ends a process this shell started: TERM (or the signal given), then after
# a few seconds KILL for it and its own children (the program that a
# `timeout` runs).
rt_stop_pid() {  # rt_stop_pid PID [SIGNAL]
  local pid=$1 sig=${2:-TERM} i children
  [[ -n $pid ]] || return 0
  kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
  kill -s "$sig" "$pid" 2>/dev/null
  for ((i = 0; i < 50; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    children=$(pgrep -P "$pid")
    kill -s KILL "$pid" $children 2>/dev/null
  fi
  wait "$pid" 2>/dev/null
  return 0
}

# Takes a process that has ended off the list rt_cleanup ends.
rt_forget() {  # rt_forget PID
  local pid keep=()
  for pid in "${RT_PIDS[@]}"; do [[ $pid == "$1" ]] || keep+=("$pid"); done
  RT_PIDS=("${keep[@]}")
}

rt_cleanup() {
  local pid
  for pid in "${RT_PIDS[@]}"; do rt_stop_pid "$pid"; done
  RT_LIMIT=${RT_LIMIT:-3600}
RT_PIDS=()
  rt_stop_pid "$RT_CAPTURE_PID" INT
  RT_CAPTURE_PID=
  rt_stop_pid "$RT_JACKD_PID"
  RT_JACKD_PID=
}

# True when this machine lets us run threads with real-time scheduling.
rt_realtime_allowed() {
  command -v chrt >/dev/null && chrt -f 1 true 2>/dev/null
}

# The scheduling of a process's threads: "real-time (SCHED_FIFO ...)" when
# any runs under a real-time class, else "not real-time".
rt_thread_classes() {  # rt_thread_classes PID
  local cls
  cls=$(ps -L -o cls=,rtprio= -p "$1" 2>/dev/null | awk '$1=="FF"{print "SCHED_FIFO "$2} $1=="RR"{print "SCHED_RR "$2}' | sort | uniq -c |
        awk '{printf "%s%d thread%s %s prio %s", (NR > 1 ? ", " : ""), $1, ($1 > 1 ? "s" : ""), $2, $3}')
  if [[ -n $cls ]]; then echo "real-time ($cls)"; else echo "not real-time"; fi
}

# Starts the dummy driver: jackd -R when real-time scheduling is allowed,
# else jackd -r. Sets JACK_DEFAULT_SERVER, RT_JACKD_PID and RT_MODE.
rt_jack_start() {  # rt_jack_start NAME RATE LOG
  local name=$1 rate=$2 log=$3 flag i sched note=
  if rt_realtime_allowed; then flag=-R; else flag=-r note=" (real-time not allowed here)"; fi
  export JACK_DEFAULT_SERVER=$name
  while :; do
    timeout -k 5 "$RT_LIMIT" jackd -n "$name" "$flag" -d dummy -r "$rate" -p 256 </dev/null >"$log" 2>&1 &
    RT_JACKD_PID=$!  # timeout's: it hands TERM on to jackd
    for ((i = 0; i < 100; i++)); do
      kill -0 "$RT_JACKD_PID" 2>/dev/null || break
      jack_lsp 2>/dev/null | grep -q '^system:playback_1$' && break
      sleep 0.1
    done
    jack_lsp 2>/dev/null | grep -q '^system:playback_1$' && break
    rt_stop_pid "$RT_JACKD_PID"
    RT_JACKD_PID=
    if [[ $flag == -R ]]; then  # refused after all: without real-time
      echo "jackd -R did not start; trying jackd -r:" >&2
      tail -5 "$log" >&2
      flag=-r note=" (jackd -R failed)"
      continue
    fi
    echo "jackd did not start:" >&2
    tail -20 "$log" >&2
    return 1
  done
  sched=$(rt_thread_classes "$(pgrep -P "$RT_JACKD_PID" -x jackd)")
  RT_MODE="$flag$note, $sched"
  return 0
}

# Starts jack_metro, 120 bpm, as a clock for the recording: a client of its
# own, beside the program in the server's graph. Sets RT_METRO_PORT.
rt_metro_start() {
  local i
  timeout -k 5 "$RT_LIMIT" jack_metro -n velarto_clock -b 120 -f 1000 -A 0.5 -D 10 </dev/null >/dev/null 2>&1 &
  RT_PIDS+=($!)
  RT_METRO_PORT=velarto_clock:120_bpm
  for ((i = 0; i < 100; i++)); do
    jack_lsp 2>/dev/null | grep -qx "$RT_METRO_PORT" && return 0
    sleep 0.1
  done
  echo "jack_metro did not start" >&2
  return 1
}

# Starts jack_capture on what reaches system:playback (channels 1 and 2, the
# ports jack_capture takes by default), and on each extra port given, 32-bit
# float, and waits until its ports are there.
rt_capture_start() {  # rt_capture_start FILE LOG [PORT...]
  local file=$1 log=$2 i ports=()
  shift 2
  if (($#)); then
    ports=(-c $((2 + $#)) -p system:playback_1 -p system:playback_2)
    for i in "$@"; do ports+=(-p "$i"); done
  fi
  timeout -s INT -k 10 "$RT_LIMIT" jack_capture -ns -dc -b FLOAT -f wav "${ports[@]}" "$file" </dev/null >"$log" 2>&1 &
  RT_CAPTURE_PID=$!  # timeout's: it hands INT on to jack_capture
  for ((i = 0; i < 100; i++)); do
    kill -0 "$RT_CAPTURE_PID" 2>/dev/null || break
    jack_lsp 2>/dev/null | grep -q '^jack_capture.*:input2$' && return 0
    sleep 0.1
  done
  echo "jack_capture did not start:" >&2
  tail -20 "$log" >&2
  return 1
}

# Stops the recording (Ctrl-C, as a user would) and waits until the file is
# written.
rt_capture_stop() {
  rt_stop_pid "$RT_CAPTURE_PID" INT
  RT_CAPTURE_PID=
}

# Xruns jackd itself logged: one "JackEngine::XRun" line per late client
# per cycle. Lines FROM.. of the log (1-based).
rt_xruns() {  # rt_xruns LOG [FROM]
  tail -n +"${2:-1}" "$1" | grep -c 'JackEngine::XRun' || true
}

# The same, by client: "PortAudio 3, jack_capture 2" ("" when none).
rt_xruns_by_client() {  # rt_xruns_by_client LOG [FROM]
  tail -n +"${2:-1}" "$1" | sed -n 's/.*JackEngine::XRun: client = \([^ ]*\).*/\1/p' | sort | uniq -c |
    awk '{printf "%s%s %d", (NR > 1 ? ", " : ""), $2, $1}'
}
