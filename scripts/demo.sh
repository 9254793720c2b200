#!/usr/bin/env bash
# The desktop demo. Installs what is missing, builds, then starts on 127.0.0.1:
#   - tazud with a fresh database: Ana, Bia and Caio, each in the others' lists;
#   - an echo bot signed in as Bia (tazu-cli answering every message it gets);
#   - simulators of the ICQ, MSN and Yahoo servers, each with an account of
#     Ana's holding two contacts, one of them an echo bot that is online;
#   - tazu-messenger signed in as Ana, with her contacts of all four networks.
# With a display the messenger stays open for you; closing it ("Sair") ends the
# demo. Without one (DISPLAY unset) it runs under Xvfb: it opens a chat with
# Bia, sends her a message, waits for the echo, saves screenshots of the
# manager and the chat window, prints their paths and ends.
# Ctrl+C, or the end, stops everything the demo started.
#
# Every service has its own start_* function; the next one goes beside them.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

demo=$(mktemp -d /tmp/tazu-demo.XXXXXX)
port=${TAZU_DEMO_PORT:-7498}
pids=()

say() { printf '== %s\n' "$*"; }

cleanup() {
  trap - EXIT INT TERM
  local pid
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    pid=${pids[i]}
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'echo; say "stopped"; exit 130' INT TERM

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
  local tries=$1
  shift
  for ((t = 0; t < tries; t++)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

install_and_build() {
  bash "$root/scripts/install-deps.sh"
  build=$(bash "$root/scripts/build.sh" | tail -n 1)
  bin="$build/bin"
}

# ---- tazud and its users -----------------------------------------------------

start_tazud() {
  "$bin/tazud" --listen "127.0.0.1:$port" --db "$demo/tazu.db" 2>"$demo/tazud.log" &
  pids+=($!)
  wait_for 100 grep -q listening "$demo/tazud.log" || {
    cat "$demo/tazud.log"
    exit 1
  }
  say "tazud listens on 127.0.0.1:$port (log: $demo/tazud.log)"
}

add_user() { "$bin/tazud" --db "$demo/tazu.db" adduser "$@"; }

# One short tazu-cli session of user $1 (password $2) that adds the others.
add_contacts() {
  local niu=$1 password=$2
  shift 2
  {
    for other in "$@"; do echo "add Tazu $other"; done
    echo quit
  } | "$bin/tazu-cli" --server "127.0.0.1:$port" --niu "$niu" --password "$password" \
    --home "$demo/setup-$niu" >"$demo/setup-$niu.json" 2>&1
}

create_users() {
  ana=$(add_user Ana segredo --name "Ana Souza")
  bia=$(add_user Bia outra --name "Beatriz Lima")
  caio=$(add_user Caio terceira --name "Caio Prado")
  # Ana adds last, so the "added you" notices of the others reach her setup
  # session rather than the messenger.
  add_contacts "$bia" outra "$ana" "$caio"
  add_contacts "$caio" terceira "$ana" "$bia"
  add_contacts "$ana" segredo "$bia" "$caio"
  say "users: Ana $ana (the messenger), Bia $bia (echo bot), Caio $caio"
}

# ---- The outside networks: a simulator each, with an account of Ana's -------

# Starts every network whose demo part exists and stores Ana's accounts on
# tazud, which hands them to her client at login.
start_networks() {
  local niu=$1 password=$2 part
  local icq=(0 '""' '""') msn=(0 '""' '""') yahoo=(0 '""' '""')
  for part in icq msn yahoo; do
    [[ -f "$root/scripts/demo-parts/$part.sh" ]] && source "$root/scripts/demo-parts/$part.sh"
  done
  if declare -F demo_icq >/dev/null; then
    demo_icq "$bin" "$demo" $((port + 1)) "$niu"
    pids+=($DEMO_ICQ_PIDS)
    icq=(1 "$DEMO_ICQ_UIN" "$DEMO_ICQ_SENHA")
  fi
  if declare -F demo_msn >/dev/null; then
    demo_msn "$bin" "$demo" $((port + 2)) "$niu"
    pids+=($DEMO_MSN_PIDS)
    msn=(1 "$DEMO_MSN_CONTA" "$DEMO_MSN_SENHA")
  fi
  if declare -F demo_yahoo >/dev/null; then
    demo_yahoo "$bin" "$demo" $((port + 3)) "$niu"
    pids+=($DEMO_YAHOO_PIDS)
    yahoo=(1 "$DEMO_YAHOO_CONTA" "$DEMO_YAHOO_SENHA")
  fi
  printf 'setaccounts %s %s %s\nquit\n' "${icq[*]}" "${msn[*]}" "${yahoo[*]}" |
    "$bin/tazu-cli" --server "127.0.0.1:$port" --niu "$niu" --password "$password" \
      --home "$demo/setup-$niu" >>"$demo/setup-$niu.json" 2>&1
  say "Ana's outside accounts are stored on tazud: ICQ ${icq[1]}, MSN ${msn[1]}, Yahoo ${yahoo[1]}"
}

# ---- The echo bot: tazu-cli as Bia, answering every message ----------------

start_echo_bot() {
  local niu=$1 password=$2
  mkfifo "$demo/bot.in"
  "$bin/tazu-cli" --server "127.0.0.1:$port" --niu "$niu" --password "$password" \
    --home "$demo/bot" <"$demo/bot.in" >"$demo/bot.json" 2>"$demo/bot.err" &
  local cli=$!
  pids+=($cli)
  exec {bot_in}>"$demo/bot.in" # the bot's input, open for as long as the demo runs
  tail -n +1 -f --pid="$cli" "$demo/bot.json" | while IFS= read -r line; do
    case $line in
      *'"event": "AoReceberMensagemUsuario"'*)
        local who text
        who=$(sed -n 's/.*"Identificador": "\([^"]*\)", "Comunicador": "\([^"]*\)".*/\2 \1/p' <<<"$line")
        text=$(sed -n 's/.*"Mensagem": \[\(.*\)\]}$/\1/p' <<<"$line" |
          sed 's/^"//; s/"$//; s/", "/\\n/g')
        printf 'msg %s Eco: %s\n' "$who" "$text" >&"$bot_in"
        ;;
    esac
  done &
  pids+=($!)
  wait_for 100 grep -q AoConectarComunidade "$demo/bot.json" || {
    cat "$demo/bot.err"
    exit 1
  }
  say "echo bot signed in as Bia (log: $demo/bot.json)"
}

# ---- The messenger -----------------------------------------------------------

start_messenger() {
  local niu=$1 password=$2
  mkdir -p "$demo/messenger"
  ln -s "$bin/Skin" "$demo/messenger/Skin"
  "$bin/tazu-messenger" --home "$demo/messenger" --server "127.0.0.1:$port" \
    --niu "$niu" --password "$password" >"$demo/messenger.log" 2>&1 &
  messenger=$!
  pids+=($messenger)
  say "tazu-messenger signed in as Ana (data: $demo/messenger, log: $demo/messenger.log)"
}

start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$demo/xvfb.display" \
    >"$demo/xvfb.log" 2>&1 &
  pids+=($!)
  wait_for 100 grep -q . "$demo/xvfb.display" || {
    cat "$demo/xvfb.log"
    exit 1
  }
  export DISPLAY=":$(head -n 1 "$demo/xvfb.display")"
  say "no display: Xvfb on $DISPLAY"
}

# ---- Driving the messenger without a person ------------------------------------

window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }

shoot() {
  "$bin/tazu-shot" "$1" "$2" >/dev/null 2>&1 && echo "   $2"
}

drive_messenger() {
  local manager chat
  wait_for 150 window '^Tazu Messenger$' || {
    say "the manager did not show up"
    exit 1
  }
  manager=$(window '^Tazu Messenger$')
  # Bia is the first row under "Conectados": the lists start at (8, 72) in
  # the manager, one header row above her.
  sleep 1 # the contact list arrives just after the manager shows
  local row
  for row in 26 30 22 34; do
    xdotool mousemove --window "$manager" 40 $((72 + row)) click --repeat 2 --delay 80 1
    wait_for 20 window '^Bia \(' && break
  done
  chat=$(window '^Bia \(') || true
  [[ -n $chat ]] || {
    say "the chat window did not open"
    exit 1
  }
  xdotool windowfocus --sync "$chat" 2>/dev/null || xdotool windowfocus "$chat"
  sleep 0.3
  xdotool type --delay 40 "Oi, Bia! Tudo bem?"
  xdotool key ctrl+Return
  say "sent \"Oi, Bia! Tudo bem?\" from the chat window; waiting for the echo"
  wait_for 150 grep -q '"AoConfirmarEnvio"' "$demo/bot.json" || {
    say "no echo came back"
    exit 1
  }
  sleep 2 # the outside networks' contacts arrive as each adapter logs in
  say "screenshots:"
  shoot "$manager" "$demo/manager.png"
  shoot "$chat" "$demo/chat.png"
}

# ---- The demo ------------------------------------------------------------------

install_and_build
start_tazud
create_users
start_networks "$ana" segredo
start_echo_bot "$bia" outra
if [[ -n ${DISPLAY:-} ]]; then
  start_messenger "$ana" segredo
  say "the messenger is yours: chat with Bia (she echoes). Quit it, or press Ctrl+C, to end."
  wait "$messenger" || true
else
  start_xvfb
  start_messenger "$ana" segredo
  drive_messenger
fi
say "done (everything is in $demo)"
