#!/usr/bin/env bash
# The console demo: sets up and builds everything, then a Tazu server (tazud)
# on 127.0.0.1 with two users, Ana and Bia, who log in with the command-line
# client and talk. On a terminal, you then chat as Ana yourself.
# (scripts/demo.sh is the desktop demo.)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh"
build=$(bash "$root/scripts/build.sh" | tail -n 1)
bin="$build/bin"

demo=$(mktemp -d /tmp/tazu-demo.XXXXXX)
port=${TAZU_DEMO_PORT:-7498}
export TAZU_HOME="$demo"
cleanup() { [[ -n "${server:-}" ]] && kill "$server" 2>/dev/null; wait 2>/dev/null || true; }
trap cleanup EXIT

ana=$("$bin/tazud" --db "$demo/tazu.db" adduser Ana segredo --name "Ana Souza")
bia=$("$bin/tazud" --db "$demo/tazu.db" adduser Bia outra --name "Beatriz Lima")
"$bin/tazud" --listen "127.0.0.1:$port" --db "$demo/tazu.db" 2>"$demo/tazud.log" &
server=$!
for _ in $(seq 50); do grep -q listening "$demo/tazud.log" 2>/dev/null && break; sleep 0.1; done

echo "== tazud listens on 127.0.0.1:$port (log: $demo/tazud.log); Ana is $ana, Bia is $bia"
echo "== Bia logs in and waits; Ana adds her and writes"
{ sleep 4; echo "msg Tazu $ana Oi, Ana! Tudo ótimo por aqui."; sleep 1; echo quit; } |
  "$bin/tazu-cli" --server "127.0.0.1:$port" --niu "$bia" --password outra > "$demo/bia.json" &
bia_cli=$!
sleep 1
{ echo "add Tazu $bia"; sleep 0.5; echo "msg Tazu $bia Olá, Bia!\\nTudo bem?"; sleep 4; echo contacts; echo quit; } |
  "$bin/tazu-cli" --server "127.0.0.1:$port" --niu "$ana" --password segredo > "$demo/ana.json"
wait "$bia_cli" || true
echo "-- what Ana's client reported:"
cat "$demo/ana.json"
echo "-- what Bia's client reported:"
cat "$demo/bia.json"
echo "-- history files: $(ls "$demo/Hst" | tr '\n' ' ')"

if [[ -t 0 ]]; then
  echo
  echo "== Your turn: you are Ana. Try: contacts | msg Tazu $bia oi | status 6 | quit"
  "$bin/tazu-cli" --server "127.0.0.1:$port" --niu "$ana" --password segredo
fi
