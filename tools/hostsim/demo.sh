#!/usr/bin/env bash
# Runs the host simulator on the demo layout (all eighteen panels) and the
# demo scenario, printing the transcript.
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD_DIR="${BUILD_DIR:-$HERE/../../build}"
cd "$HERE/data"
"$BUILD_DIR/tools/hostsim/hostsim" --library "$BUILD_DIR/panels/libList.so" \
  --fixture contacts.xml demo_layout.xml demo.scn
# The friend tree built and kept in step with the host's data.
"$BUILD_DIR/tools/hostsim/hostsim" --library "$BUILD_DIR/panels/libList.so" \
  --fixture contacts.xml demo_layout.xml ftree.scn
# The recent contacts read at logon, added to, used through their menus and cleared.
exec "$BUILD_DIR/tools/hostsim/hostsim" --library "$BUILD_DIR/panels/libList.so" \
  --fixture contacts.xml demo_layout.xml recent.scn
