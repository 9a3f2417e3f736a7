#!/bin/bash
# The include graph of the sources keeps its layers:
#   - platform/ at the bottom includes nothing above it;
#   - the subsystems (rhythm, engine, guitar, tuner, links, content and the
#     basic edition's logic in basic/) include each other and platform, never
#     app/ or basic/window/;
#   - app/ composes on top of them; basic/window/ composes the basic window on
#     top of app/ (it takes app/window's shared steps), and app/ never
#     includes it;
#   - the programs (a file with main()), tests/ and bench/ stand above all;
#   - code outside a window/ folder includes no window/ header and, but for
#     platform/ui/ (the widgets' own layer), no QtWidgets header (when the
#     QtWidgets folder is given), and the main
#     windows' headers (app/window/mainform.h, basic/window/basic_form.h) are
#     included only by their own folder and what stands above it;
#   - no include runs in a circle, between files or between folders.
# Usage: include_layers.sh <source dir> [<include dirs>]     checks the tree;
#        the include dirs (';'-separated) name the QtWidgets folder
#        include_layers.sh --self-test      checks that every rule catches its fault
set -u

# Prints one line per fault of the tree at $1; the status is 1 when there is one.
check_tree() {
  local root=$1 widgets=""
  local d
  IFS=';' read -ra dirs <<<"${2:-}"
  for d in "${dirs[@]}"; do
    [[ $d == */QtWidgets && -d $d ]] && widgets=$(cd "$d" && ls | grep -E '^Q[A-Za-z0-9]+$' | tr '\n' ' ')
  done
  if [ -n "${2:-}" ] && [ -z "$widgets" ]; then echo "no QtWidgets folder among $2"; return 1; fi
  cd "$root" || { echo "no source folder $root"; return 1; }
  local files
  files=$(find app basic bench content desktop engine guitar links platform rhythm tests tuner \
            -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.cc' \) 2>/dev/null | sort)
  [ -n "$files" ] || { echo "no sources under $root"; return 1; }
  local programs
  programs=$(grep -lE '^int main\(' $files)

  # "file include" for every quoted include, the include resolved from the
  # source folder first, then from the file's own folder.
  local edges
  edges=$(awk -v programs="$programs" '
    BEGIN { n = split(programs, p, "\n"); for (i = 1; i <= n; ++i) prog[p[i]] = 1 }
    FNR == 1 { dir = FILENAME; sub(/\/[^\/]*$/, "", dir) }
    /^[ \t]*#[ \t]*include[ \t]*"/ {
      inc = $0; sub(/^[^"]*"/, "", inc); sub(/".*$/, "", inc)
      if ((getline tmp < inc) >= 0) { close(inc); print FILENAME, inc }
      else if ((getline tmp < (dir "/" inc)) >= 0) { close(dir "/" inc); print FILENAME, dir "/" inc }
      else print FILENAME, "?" inc
    }
    /^[ \t]*#[ \t]*include[ \t]*</ {
      inc = $0; sub(/^[^<]*</, "", inc); sub(/>.*$/, "", inc)
      print FILENAME, "<" inc
    }' $files)
  local count
  count=$(printf '%s\n' "$edges" | grep -c .)
  if [ "$count" -lt 1 ]; then echo "no includes found: the check reads nothing"; return 1; fi

  printf '%s\n' "$edges" | awk -v programs="$programs" -v widgets="$widgets" '
    BEGIN {
      n = split(programs, p, "\n"); for (i = 1; i <= n; ++i) prog[p[i]] = 1
      n = split(widgets, w, " "); for (i = 1; i <= n; ++i) widget[w[i]] = 1
      faults = 0
    }
    function folder(f,   d) { d = f; sub(/\/[^\/]*$/, "", d); return d }
    # The layer of a file: 0 platform, 1 a subsystem, 2 app, 3 the basic
    # window, 4 a program, a test or a benchmark; -1 a folder nobody placed.
    function layer(f,   d) {
      if (f in prog || f ~ /^(tests|bench|desktop)\//) return 4
      d = folder(f)
      if (d ~ /^platform(\/|$)/) return 0
      if (d ~ /^(rhythm|engine|guitar|tuner|links|content)(\/window)?$/ || d == "basic") return 1
      if (d == "app" || d == "app/window") return 2
      if (d == "basic/window") return 3
      return -1
    }
    function fault(msg) { print msg; faults = 1 }
    {
      from = $1; to = $2
      if (to ~ /^</) {
        if (layer(from) >= 0 && layer(from) < 4 && folder(from) !~ /(^|\/)window$/ && folder(from) != "platform/ui" && \
            (substr(to, 2) in widget))
          fault(from ": logic includes the QtWidgets header " substr(to, 2))
        next
      }
      if (to ~ /^\?/) { fault(from ": includes " substr(to, 2) ", which is not in the tree"); next }
      lf = layer(from); lt = layer(to)
      if (lf < 0) { fault(from ": its folder has no place in the layers"); next }
      if (lt < 0) { fault(to ": its folder has no place in the layers"); next }
      if (lt > lf) fault(from ": includes " to ", a layer above it")
      if (lf < 4 && folder(from) !~ /(^|\/)window$/ && folder(to) ~ /(^|\/)window$/)
        fault(from ": logic includes the window code " to)
      if (lf < 4 && to == "app/window/mainform.h" && folder(from) != "app/window")
        fault(from ": includes the main window header " to)
      if (lf < 4 && to == "basic/window/basic_form.h" && folder(from) != "basic/window")
        fault(from ": includes the basic window header " to)
    }
    END { exit faults }'
  local status=$?

  # Circles: tsort names the files of a loop on its error output.
  local loop
  loop=$(printf '%s\n' "$edges" | grep -v ' [?<]' | awk '$1 != $2' | tsort 2>&1 >/dev/null)
  if [ -n "$loop" ]; then
    echo "files include each other in a circle:"; printf '%s\n' "$loop" | sed 's/^tsort: //'
    status=1
  fi
  # Folders: a program, a test or a benchmark is a node of its own (nothing
  # includes it), every other file stands for its folder.
  loop=$(printf '%s\n' "$edges" | grep -v ' [?<]' | awk -v programs="$programs" '
      BEGIN { n = split(programs, p, "\n"); for (i = 1; i <= n; ++i) prog[p[i]] = 1 }
      function node(f,   d) { if (f in prog || f ~ /^(tests|bench|desktop)\//) return f; d = f; sub(/\/[^\/]*$/, "", d); return d }
      { a = node($1); b = node($2); if (a != b) print a, b }' | sort -u | tsort 2>&1 >/dev/null)
  if [ -n "$loop" ]; then
    echo "folders include each other in a circle:"; printf '%s\n' "$loop" | sed 's/^tsort: //'
    status=1
  fi
  return $status
}

# Each case: a small tree (path=include,include ...; "-" no include) and a
# piece of the fault it must be reported with ("" for a clean tree).
self_test() {
  local cases=(
    "platform/ui/a.h=- engine/b.h=platform/ui/a.h app/window/mainform.h=engine/b.h app/main.cpp=app/window/mainform.h|"
    "platform/ui/a.h=engine/b.h engine/b.h=-|platform/ui/a.h: includes engine/b.h, a layer above it"
    "engine/b.h=app/workspace.h app/workspace.h=-|engine/b.h: includes app/workspace.h, a layer above it"
    "app/window/f.cpp=basic/window/basic_form.h basic/window/basic_form.h=-|a layer above it"
    "content/w/m.cpp=platform/a.h platform/a.h=-|its folder has no place"
    "engine/b.h=engine/window/v.h engine/window/v.h=-|engine/b.h: logic includes the window code engine/window/v.h"
    "content/window/m.cpp=app/window/mainform.h app/window/mainform.h=-|includes the main window header"
    "basic/window/x.cpp=app/window/mainform.h app/window/mainform.h=-|includes the main window header"
    "content/basic_doc.cpp=basic/window/basic_form.h basic/window/basic_form.h=-|a layer above it"
    "engine/a.h=engine/b.h engine/b.h=engine/a.h|files include each other in a circle"
    "engine/a.h=rhythm/b.h rhythm/b.h=-
     rhythm/c.h=engine/d.h engine/d.h=-|folders include each other in a circle"
    "engine/a.h=engine/missing.h|engine/missing.h, which is not in the tree"
    "app/check.h=<QLabel> platform/ui/w.h=<QLabel> engine/window/v.h=<QLabel>|app/check.h: logic includes the QtWidgets header QLabel"
    "platform/ui/w.h=<QLabel> engine/window/v.h=<QLabel>,platform/ui/w.h|"
  )
  local failed=0 c tree expect dir entry path incs out i
  for c in "${cases[@]}"; do
    tree=${c%%|*}; expect=${c#*|}
    dir=$(mktemp -d)
    for entry in $tree; do
      path=${entry%%=*}; incs=${entry#*=}
      mkdir -p "$dir/$(dirname "$path")"
      : >"$dir/$path"
      [ "$incs" = "-" ] && continue
      for i in ${incs//,/ }; do
        if [[ $i == \<* ]]; then echo "#include $i" >>"$dir/$path"; else echo "#include \"$i\"" >>"$dir/$path"; fi
      done
    done
    # a program file needs its main
    [ -e "$dir/app/main.cpp" ] && echo 'int main() {}' >>"$dir/app/main.cpp"
    # a QtWidgets folder of one header
    mkdir -p "$dir/qt/QtWidgets" && : >"$dir/qt/QtWidgets/QLabel"
    out=$(check_tree "$dir" "$dir/qt;$dir/qt/QtWidgets" 2>&1); local st=$?
    rm -rf "$dir"
    if [ -z "$expect" ]; then
      [ $st -eq 0 ] || { echo "clean tree reported: $out"; failed=1; }
    elif [ $st -eq 0 ] || [[ "$out" != *"$expect"* ]]; then
      echo "not caught: $expect (tree: $tree; said: $out)"; failed=1
    fi
  done
  return $failed
}

if [ "${1:-}" = "--self-test" ]; then
  self_test
else
  check_tree "${1:?source folder}" "${2:-}"
fi
