#!/usr/bin/env bash
# The phone link against a real Avahi daemon: starts a system bus and
# avahi-daemon when none runs (this needs root), runs the window test that
# registers the service and is found by browsing (and, with a daemon of its
# own, the one that restarts it under the running window), and stops what it
# started.
# Exit 77 (skipped) where the daemons cannot run.
set -u
gui_tests="$1"
[ "$(id -u)" -eq 0 ] || { echo "not root: skipped"; exit 77; }
for c in dbus-daemon dbus-send avahi-daemon avahi-browse; do
  command -v "$c" >/dev/null || { echo "$c is not installed: skipped"; exit 77; }
done
started_dbus=0
started_avahi=0
if ! avahi-daemon --check 2>/dev/null; then
  # A system bus that answers, or a new one (a socket left by a bus that
  # has gone is removed first).
  if ! dbus-send --system --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetId >/dev/null 2>&1; then
    mkdir -p /run/dbus
    rm -f /run/dbus/system_bus_socket /run/dbus/pid
    dbus-daemon --system --fork >/dev/null 2>&1 || { echo "no system bus: skipped"; exit 77; }
    started_dbus=1
  fi
  if ! avahi-daemon --daemonize --no-drop-root --no-chroot >/dev/null 2>&1; then
    [ $started_dbus -eq 1 ] && kill "$(cat /run/dbus/pid 2>/dev/null)" 2>/dev/null
    echo "avahi-daemon does not start here: skipped"
    exit 77
  fi
  started_avahi=1
  # Ready once a service published now can be browsed (a new daemon first
  # probes its host name).
  ready=0
  for _ in $(seq 1 40); do
    timeout 2 avahi-publish -s velarto-probe _velartoprobe._tcp 9 >/dev/null 2>&1 &
    sleep 0.5
    if timeout 3 avahi-browse -t -p _velartoprobe._tcp 2>/dev/null | grep -q velarto-probe; then ready=1; wait; break; fi
    wait
  done
  [ $ready -eq 1 ] || echo "avahi-daemon never got ready"
fi
# The restart case stops and starts the daemon: only one this script started.
VELARTO_DNSSD_DAEMON=1 VELARTO_AVAHI_RESTARTABLE=$started_avahi QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
  "$gui_tests" --gtest_filter='PhoneWindowTest.AnAppFindsTheServiceByBrowsingAndIsAnswered:PhoneWindowTest.TheServiceComesBackWhenTheDaemonRestarts'
status=$?
[ $started_avahi -eq 1 ] && avahi-daemon --kill >/dev/null 2>&1
[ $started_dbus -eq 1 ] && kill "$(cat /run/dbus/pid 2>/dev/null)" 2>/dev/null && rm -f /run/dbus/pid
exit $status
