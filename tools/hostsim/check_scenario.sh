#!/usr/bin/env bash
# Runs hostsim scenarios and compares each transcript (with the exit status
# as its last line) with NAME.expected beside the scenario.
#
#   check_scenario.sh HOSTSIM LIBRARY NAME.scn      one scenario (CTest)
#   check_scenario.sh --update                     rewrite every NAME.expected
#
# A scenario names its layout and fixtures on a line "#! ARGS"; without one
# it runs with "--fixture contacts.xml demo_layout.xml".
set -uo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

run() {   # run HOSTSIM LIBRARY SCN -> transcript on stdout
  local hostsim="$1" library="$2" scn="$3"
  local args
  args="$(sed -n 's/^#! *//p' "$scn" | head -n 1)"
  [ -n "$args" ] || args="--fixture contacts.xml demo_layout.xml"
  (cd "$(dirname "$scn")" && eval "\"$hostsim\" --library \"$library\" $args \"$(basename "$scn")\"" 2>/dev/null
   echo "exit $?")
}

if [ "${1:-}" = "--update" ]; then
  BUILD_DIR="${BUILD_DIR:-$HERE/../../build}"
  for scn in "$HERE"/data/*.scn; do
    run "$BUILD_DIR/tools/hostsim/hostsim" "$BUILD_DIR/panels/libList.so" "$scn" > "${scn%.scn}.expected"
    echo "updated ${scn%.scn}.expected"
  done
  exit 0
fi

[ $# -eq 3 ] || { echo "usage: $0 HOSTSIM LIBRARY NAME.scn | $0 --update" >&2; exit 2; }
expected="${3%.scn}.expected"
[ -f "$expected" ] || { echo "no $expected (make it with $0 --update)" >&2; exit 1; }
diff -u "$expected" <(run "$1" "$2" "$3")
