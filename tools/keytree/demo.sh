#!/usr/bin/env bash
# A short tour of the keytree tool on a small configuration file.
set -euo pipefail
BUILD_DIR="${BUILD_DIR:-build}"
KT="$(cd "$BUILD_DIR" && pwd)/tools/keytree/keytree"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# Shows the command as one would type it, then runs it.
run() {
  local shown="keytree" a
  for a in "$@"; do
    case "$a" in
      *[\"\ ]*) shown+=" '$a'" ;;
      *) shown+=" $a" ;;
    esac
  done
  echo "\$ $shown"
  "$KT" "$@"
}

echo "# A new configuration: keys are dotted paths, values are parsed as items"
echo "# (numbers as they are, text in double quotes)."
run set app.cfg app.title '"客户管理系统"'
run set app.cfg app.window.width 1024
run set app.cfg app.window.height 768
run set app.cfg app.window.scale 1.25
run set app.cfg db.host '"数据库服务器"'
run set app.cfg db.port 5432
echo
echo "# The whole tree, indented; the file records its own path and schema."
run show app.cfg
echo
echo "# Single values, in their text form."
run get app.cfg app.title
run get app.cfg app.window.width
echo
echo "# Another form: the compact binary file, then back to text for reading."
run convert app.cfg app.bin --to binary --schema 2
run get app.bin Schema
run set app.bin db.port 6543
run convert app.bin app.txt --to text
echo "\$ cat app.txt"; cat app.txt
echo
echo
echo "# A missing key answers with status 1; a bad file with status 2."
set +e
run get app.bin db.user; echo "(status $?)"
echo "not a tree" > broken.cfg
run show broken.cfg; echo "(status $?)"
