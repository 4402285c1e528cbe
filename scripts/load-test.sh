#!/usr/bin/env bash
# The score server's load test, on loopback only: a server with the rate limit raised, on an
# SQLite file and then on a PostgreSQL of its own, and the load tool's clients against it,
# first sending results only, then reading pages with a result now and then. Bounded in time
# (SECONDS_EACH per run) and in clients. Usage: scripts/load-test.sh [BUILD_DIR]
set -euo pipefail
build="${1:-build}"
seconds="${SECONDS_EACH:-10}"
clients="${CLIENTS:-32}"
server="$build/server/vrumbal-scores"
load="$build/server/vrumbal-scores-load"
work="$(mktemp -d /tmp/vrumbal-load-XXXXXX)"
pgbin=/usr/lib/postgresql/15/bin
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
    if [ -f "$work/pg/postmaster.pid" ]; then as_pg "$pgbin/pg_ctl" -D "$work/pg" -m immediate -w stop >/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
as_pg() { if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

run() {  # run NAME DB
    local port; port="$(free_port)"
    "$server" --port "$port" --db "$2" --results-at-once 1000000 --results-per-minute 1000000 \
        --connections-per-address 100000 2>>"$work/server.log" &
    pid=$!
    for _ in $(seq 50); do (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break; sleep 0.1; done
    echo "== $1: results only"
    "$load" --port "$port" --clients "$clients" --addresses "$clients" --seconds "$seconds" --pages-per-result 0 || status=1
    echo "== $1: pages only"
    "$load" --port "$port" --clients "$clients" --addresses "$clients" --seconds "$seconds" --pages-per-result 100000000 || status=1
    echo "== $1: pages, one result in twenty requests"
    "$load" --port "$port" --clients "$clients" --addresses "$clients" --seconds "$seconds" --pages-per-result 19 || status=1
    kill "$pid"; wait "$pid" || true; pid=""
}

status=0
run sqlite "$work/scores.db"
if [ -x "$pgbin/initdb" ]; then
    mkdir "$work/pg"; [ "$(id -u)" -eq 0 ] && chown postgres "$work" "$work/pg"
    as_pg "$pgbin/initdb" -D "$work/pg" -U postgres --auth=trust -E UTF8 >/dev/null
    pgport="$(free_port)"
    as_pg "$pgbin/pg_ctl" -D "$work/pg" -l "$work/pg/log" -w -o "-p $pgport -k $work -c listen_addresses=127.0.0.1" start >/dev/null
    run postgresql "postgresql://postgres@127.0.0.1:$pgport/postgres"
else
    echo "== postgresql: skipped, PostgreSQL 15 is not installed"
fi
exit "$status"
