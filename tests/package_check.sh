#!/usr/bin/env bash
# The Debian package as a user gets it: unpacked into a scratch root, each
# program started offscreen with a fresh HOME, through the command line of its
# menu entry. Checks that the first start makes the user's working folder
# with the factory set, that the window opens, and that a second start keeps
# the set the first one saved.
#   package_check.sh PACKAGE.deb
set -uo pipefail
deb="${1:?usage: package_check.sh PACKAGE.deb}"
root=$(mktemp -d /tmp/velarto-package-XXXXXX)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root/fs" || { echo "FAIL: dpkg -x $deb"; exit 1; }
status=0
fail() { echo "FAIL ($1): $2"; status=1; }
for entry in velarto-drav-prof:DRAV_PROF:vl2 velarto-bornace-drav:BORNACE_DRAV:ole; do
  IFS=: read -r desktop edition ext <<<"$entry"
  file="$root/fs/usr/share/applications/$desktop.desktop"
  [[ -f $file ]] || { fail "$edition" "no menu entry $desktop.desktop"; continue; }
  [[ -f $root/fs/usr/share/icons/hicolor/scalable/apps/$desktop.svg ]] || fail "$edition" "no icon"
  exec_line=$(sed -n 's/^Exec=//p' "$file" | sed 's/ %[fFuU]//')
  home="$root/home-$edition"
  mkdir -p "$home"
  start() {  # start <VELARTO_CHECK value>: from the menu, in HOME, with no argument
    (cd "$home" && env -u XDG_DATA_HOME HOME="$home" PATH="$root/fs/usr/bin:$PATH" QT_QPA_PLATFORM=offscreen \
      VELARTO_CHECK="$1" timeout 60 $exec_line) >"$root/out-$edition" 2>&1
  }
  folder="$home/.local/share/velarto-quendrel/$edition"
  start "save:Prueba" || fail "$edition" "the first start failed: $(cat "$root/out-$edition")"
  grep -q "^window open: 1" "$root/out-$edition" || fail "$edition" "no window: $(cat "$root/out-$edition")"
  grep -q "^working folder: $folder\$" "$root/out-$edition" || fail "$edition" "not in $folder: $(cat "$root/out-$edition")"
  [[ -f $folder/datos/Original.$ext && -d $folder/datos/Original ]] || fail "$edition" "no factory set in $folder"
  [[ -f $folder/datos/Prueba.$ext ]] || fail "$edition" "the set saved by the first start is not there"
  sum=$(cat "$folder/datos/Prueba.$ext" "$folder/datos/Original.$ext" | md5sum)
  start "open" || fail "$edition" "the second start failed: $(cat "$root/out-$edition")"
  [[ -f $folder/datos/Prueba.$ext ]] || fail "$edition" "the second start lost the saved set"
  [[ "$(cat "$folder/datos/Prueba.$ext" "$folder/datos/Original.$ext" | md5sum)" == "$sum" ]] ||
    fail "$edition" "the second start changed the sets"
  [[ $status -eq 0 ]] && echo "$edition: installed, started from its menu entry, working folder made, set kept"
done
exit $status
