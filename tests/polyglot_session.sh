#!/usr/bin/env bash
# Drives build/brevola-uci through PolyGlot, an independent UCI client (the
# xboard-to-UCI adapter from Debian's "polyglot" package): the handshake,
# twelve plies in which the engine plays both sides on a running clock (each
# move checked for legality by PolyGlot), a search cut short with "?" (move
# now) and a quit. Exits 77 (skipped) when PolyGlot is not installed.
set -u
engine=$(realpath "${1:?usage: polyglot_session.sh path/to/brevola-uci}")
polyglot=$(command -v polyglot || true)
[ -z "$polyglot" ] && [ -x /usr/games/polyglot ] && polyglot=/usr/games/polyglot
if [ -z "$polyglot" ]; then
  echo "polyglot is not installed: skipped"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
transcript="$work/transcript"
: >"$transcript"

coproc PG { exec "$polyglot" -noini -log true -lf "$work/polyglot.log" -ec "$engine" 2>&1; }
to_pg=${PG[1]}
from_pg=${PG[0]}

fail() {
  echo "FAIL: $*"
  echo "--- what PolyGlot said:"
  cat "$transcript"
  echo "--- PolyGlot's log (last lines):"
  tail -n 40 "$work/polyglot.log" 2>/dev/null
  kill "$PG_PID" 2>/dev/null
  exit 1
}
send() { echo "$1" >&"$to_pg"; echo "> $1" >>"$transcript"; }
# Reads PolyGlot's lines until one matches $1 (an extended regex); fails after
# $2 seconds without a line. The matching line is left in $reply.
expect() {
  local line
  while IFS= read -r -t "$2" line <&"$from_pg"; do
    echo "$line" >>"$transcript"
    case $line in *[Ii]llegal* | *[Ee]rror* | *fatal*) fail "PolyGlot complained: $line" ;; esac
    if [[ $line =~ $1 ]]; then reply=$line; return 0; fi
  done
  fail "no line matching '$1' within $2 s"
}

send "xboard"
send "protover 2"
expect 'feature .*done=1' 20
grep -q 'myname="Brevola"' "$transcript" || fail "PolyGlot did not read the engine's name"

# The engine plays both sides: "go" makes it move for the side to move.
send "new"
send "level 0 1 0"
moves=()
for ply in $(seq 1 12); do
  send "time 1500"
  send "otim 1500"
  send "go"
  expect '^move [a-h][1-8][a-h][1-8][qrbn]?$' 20
  moves+=("${reply#move }")
  send "force"
done
echo "moves: ${moves[*]}"

# A long think cut short: "?" is "move now" (UCI stop).
send "new"
send "force"
send "usermove e2e4"
send "time 100000"
send "otim 100000"
send "go"
sleep 0.5
send "?"
start=$(date +%s%N)
expect '^move [a-h][1-8][a-h][1-8][qrbn]?$' 10
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
echo "move after '?': ${reply#move } in ${elapsed_ms} ms"

send "ping 42"
expect '^pong 42$' 10
send "quit"
wait "$PG_PID" 2>/dev/null
grep -q 'Engine->Adapter: bestmove' "$work/polyglot.log" || fail "no bestmove in PolyGlot's log"
echo "PASS"
