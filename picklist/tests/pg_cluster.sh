#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests, the demo and the benchmark.
#   pg_cluster.sh start STATE   initdb and start on a Unix socket in a new
#                               temporary folder; STATE/conninfo gets the
#                               connection string. Without the server
#                               binaries, STATE/skipped says so instead.
#   pg_cluster.sh stop STATE    stop the cluster and remove its folder.
# The server refuses to run as root, so as root the cluster belongs to
# "nobody".
set -euo pipefail
cmd="${1:-}"
state="${2:-}"
[ -n "$state" ] || { echo "usage: pg_cluster.sh start|stop STATE" >&2; exit 2; }
mkdir -p "$state"
state="$(cd "$state" && pwd)"

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi
}

stop() {
  [ -f "$state/dir" ] || return 0
  local dir bin
  dir="$(cat "$state/dir")"
  bin="$(cat "$state/bin" 2>/dev/null || true)"
  if [ -n "$bin" ] && [ -d "$dir/data" ]; then
    (cd "$dir" && as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1) || true
  fi
  case "$dir" in /tmp/picklist-pg-*) rm -rf "$dir" ;; esac
  rm -f "$state/dir" "$state/bin" "$state/conninfo"
}

case "$cmd" in
  start)
    stop
    rm -f "$state/skipped"
    bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1 || true)"
    if [ -z "$bin" ] || [ ! -x "$bin/initdb" ] || [ ! -x "$bin/pg_ctl" ]; then
      echo "PostgreSQL server binaries not found (Debian package postgresql): PostgreSQL tests skipped" |
        tee "$state/skipped"
      exit 0
    fi
    dir="$(mktemp -d /tmp/picklist-pg-XXXXXX)"
    chmod 755 "$dir"
    [ "$(id -u)" -ne 0 ] || chown nobody "$dir"
    echo "$dir" >"$state/dir"
    echo "$bin" >"$state/bin"
    cd "$dir"
    # C collation: LIKE compares bytes and a prefix pattern can use any index.
    if ! as_owner "$bin/initdb" -D "$dir/data" -U postgres -A trust --no-locale -E UTF8 -N \
        >"$dir/initdb.log" 2>&1; then
      cat "$dir/initdb.log" >&2
      stop
      exit 1
    fi
    if ! as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 120 \
        -o "-k $dir -c listen_addresses= -F" start >/dev/null; then
      cat "$dir/server.log" >&2
      stop
      exit 1
    fi
    echo "host=$dir dbname=postgres user=postgres" >"$state/conninfo"
    echo "PostgreSQL cluster at $dir"
    ;;
  stop) stop ;;
  *) echo "usage: pg_cluster.sh start|stop STATE" >&2; exit 2 ;;
esac
