#!/usr/bin/env bash
# Picks a row in the terminal front end inside a detached tmux session. The
# keys are sent before the tool starts reading and wait in the terminal's
# input, and the run ends on a tmux wait-for signal, so nothing depends on
# how fast either side is. The pane stays (reading its terminal) after the
# signal, so the server is still there for a wait that comes late.
#   tui_tmux.sh TOOL WORKDIR       exit 77 (skipped) without tmux
set -euo pipefail
tool="$1"
work="$2"
command -v tmux >/dev/null || { echo "tmux not installed: skipped"; exit 77; }
rm -rf "$work"
mkdir -p "$work"
sqlite3 "$work/t.db" "CREATE TABLE dept (code CHAR(4) PRIMARY KEY, name CHAR(20));
  INSERT INTO dept VALUES ('0001','总经办'),('0002','财务部'),('0010','采购部');"
session="picklist-tui-$$"
channel="picklist-tui-done-$$"
export TMUX_TMPDIR="$work"  # a server of its own
trap 'tmux kill-server 2>/dev/null || true' EXIT
tmux new-session -d -s "$session" -x 100 -y 20 \
  "LANG=C.UTF-8 '$tool' --db '$work/t.db' --window f_list --list dl_dept --row 7 --col 2 tui \
     >'$work/out' 2>'$work/err'; echo \$? >'$work/status'; tmux wait-for -S $channel; exec cat"
# Two rows down from the first (Ctrl-N: the arrows' codes change once the
# screen is up, and these keys arrive before), then Enter confirms.
tmux send-keys -t "$session" C-n C-n Enter
timeout 120 tmux wait-for "$channel"
expected='setitem(7, 2, "0010")
triggerevent(29)
triggerevent(20)
closed'
if [ "$(cat "$work/out")" != "$expected" ] || [ "$(cat "$work/status")" != 0 ]; then
  echo "unexpected output:"; cat "$work/out"; cat "$work/err"; exit 1
fi
echo "picked 0010 in the terminal"
