#!/usr/bin/env bash
# Whole-process wall time of Brevola's perft against Stockfish's `go perft`:
# perft 6 from the start position and perft 5 from "Kiwipete", each run RUNS
# times (default 5) alternating the two programs; prints the medians and the
# ratio Brevola / Stockfish; each run's count is checked.
# Usage: bench/compare.sh [brevola-binary] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
brevola=${1:-build/brevola}
runs=${2:-5}
stockfish=${STOCKFISH:-/usr/games/stockfish}
brevola=$(realpath "$brevola" 2>/dev/null || echo "$brevola")
[ -x "$brevola" ] || { echo "no $brevola: run 'make build' first" >&2; exit 1; }
[ -x "$stockfish" ] || { echo "no $stockfish: apt-get install stockfish" >&2; exit 1; }

start="rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
kiwipete="r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"
workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT

# Seconds taken by one run of a command fed the given input on stdin.
timed() { # input command...
    local input=$1; shift
    local t0 t1
    t0=$(date +%s.%N)
    printf '%b' "$input" | (cd "$workdir" && "$@") >"$workdir/out" 2>&1
    t1=$(date +%s.%N)
    echo "$t1 - $t0" | bc -l
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

compare() { # name fen depth count
    local name=$1 fen=$2 depth=$3 count=$4
    local b=() s=()
    for ((i = 0; i < runs; i++)); do
        # Brevola starts at the start position; other positions are loaded
        # with F, as a user would.
        local load="F\n$fen\n"
        [ "$fen" = "$start" ] && load=""
        b+=("$(timed "${load}P\n$depth\n" "$brevola")")
        grep -q "^$depth: perft=$count " "$workdir/out" || { echo "brevola: wrong count" >&2; exit 1; }
        s+=("$(timed "position fen $fen\ngo perft $depth\nquit\n" "$stockfish")")
        grep -q "^Nodes searched: $count" "$workdir/out" || { echo "stockfish: wrong count" >&2; exit 1; }
    done
    local bm sm
    bm=$(printf '%s\n' "${b[@]}" | median)
    sm=$(printf '%s\n' "${s[@]}" | median)
    printf '%-22s brevola %6.3f s   stockfish %6.3f s   ratio %5.2f\n' \
        "$name" "$bm" "$sm" "$(echo "$bm / $sm" | bc -l)"
}

compare "perft 6, start" "$start" 6 119060324
compare "perft 5, Kiwipete" "$kiwipete" 5 193690690
