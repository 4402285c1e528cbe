#!/usr/bin/env bash
# The score server's load test, on loopback only. Honest players send whole games recorded by
# the autopilot (each re-run by the server before it is kept) while page readers, forgers
# from 253 addresses and a connection flood from 253 more go on: first with the allowance of
# connections per address the server used to have (32), then with today's default (4); on an
# SQLite file, then on a PostgreSQL of its own. Usage: scripts/load-test.sh [BUILD_DIR]
set -euo pipefail
build="${1:-build}"
seconds="${SECONDS_EACH:-10}"
games="${GAMES:-24}"
server="$build/server/vrumbal-scores"
load="$build/server/vrumbal-scores-load"
tool="$build/tools/vrumbal-tool"
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
# The flood holds thousands of sockets on both ends.
ulimit -n 65536 2>/dev/null || ulimit -n "$(ulimit -Hn)"

# Whole games, each on a data folder of its own (so each meets the default table), ridden by
# the autopilot with a name of their own; games whose score makes no record are left out by
# the load tool.
mkdir -p "$work/replays"
record() {
    local n="$1" root="$work/game$1"
    mkdir -p "$root/Data" && ln -s "$(realpath "$build/Data/Res")" "$root/Data/Res"
    "$tool" play --data "$root" --start-race --autopilot --no-draw --frames 120000 --seed "$n" \
        --name "L$n" --record "$work/replays/$n.vrr" >/dev/null 2>&1
    rm -rf "$root"
}
for n in $(seq 1 "$games"); do record "$n" & [ $((n % 2)) -eq 0 ] && wait; done; wait
echo "== $(ls "$work/replays" | wc -l) games recorded by the autopilot"

run() {  # run NAME DB ALLOWANCE [LOAD OPTIONS]
    local port; port="$(free_port)"
    "$server" --port "$port" --db "$2" --data "$build" --connections-per-address "$3" \
        2>>"$work/server.log" &
    pid=$!
    for _ in $(seq 50); do (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break; sleep 0.1; done
    echo "== $1, $3 connections allowed an address"
    "$load" --port "$port" --replays "$work/replays" --seconds "$seconds" --server-pid "$pid" \
        --flood-connections "$3" "${@:4}" || status=1
    kill "$pid"; wait "$pid" || true; pid=""
}

status=0
run "sqlite, results alone" "$work/alone.db" 4 --readers 0 --forgers 0 --flood-addresses 0
run "sqlite, before: each flooding address holding the old allowance" "$work/before.db" 32
run "sqlite, after: each flooding address holding today's allowance" "$work/scores.db" 4
if [ -x "$pgbin/initdb" ]; then
    mkdir "$work/pg"; [ "$(id -u)" -eq 0 ] && chown postgres "$work" "$work/pg"
    as_pg "$pgbin/initdb" -D "$work/pg" -U postgres --auth=trust -E UTF8 >/dev/null
    pgport="$(free_port)"
    as_pg "$pgbin/pg_ctl" -D "$work/pg" -l "$work/pg/log" -w -o "-p $pgport -k $work -c listen_addresses=127.0.0.1" start >/dev/null
    run "postgresql, after" "postgresql://postgres@127.0.0.1:$pgport/postgres" 4
else
    echo "== postgresql: skipped, PostgreSQL 15 is not installed"
fi
exit "$status"
