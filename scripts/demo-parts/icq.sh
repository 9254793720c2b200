# ICQ for the demo: the OSCAR simulator on 127.0.0.1 with the demo user's ICQ
# account and two buddies in its server-side list, one of them an echo bot
# that is always online and answers every message.
# Sourced by scripts/demo.sh; it uses the demo's wait_for.
#
#   demo_icq BIN_DIR DEMO_DIR PORT NIU
#
# Starts tazu-sim-icq with its login server on 127.0.0.1:PORT (the session
# server and the HTTP gateway take free ports), exports TAZU_SERVIDOR_ICQ for
# the clients started afterwards, and exports the account for tazu-cli's
# setaccounts: DEMO_ICQ_UIN and DEMO_ICQ_SENHA. The simulator's PID is left in
# DEMO_ICQ_PIDS; its log is DEMO_DIR/icq-sim.log.
demo_icq() {
  local bin=$1 dir=$2 port=$3 niu=$4
  DEMO_ICQ_UIN=123456
  DEMO_ICQ_SENHA=segredo
  cat > "$dir/icq-contas.txt" <<EOF
conta $DEMO_ICQ_UIN $DEMO_ICQ_SENHA "Usuário $niu"
conta 234567 outra Carla
eco 345678 "Eco ICQ"
lista $DEMO_ICQ_UIN 234567 Carla Tazu
lista $DEMO_ICQ_UIN 345678 "Eco ICQ" Tazu
EOF
  "$bin/tazu-sim-icq" --login-port "$port" --accounts "$dir/icq-contas.txt" \
    2>"$dir/icq-sim.log" &
  DEMO_ICQ_PIDS=$!
  wait_for 50 grep -q "(login)" "$dir/icq-sim.log" || true
  export TAZU_SERVIDOR_ICQ="127.0.0.1:$port" DEMO_ICQ_UIN DEMO_ICQ_SENHA DEMO_ICQ_PIDS
  echo "== ICQ: tazu-sim-icq on 127.0.0.1:$port (log: $dir/icq-sim.log): account" \
    "$DEMO_ICQ_UIN/$DEMO_ICQ_SENHA with Carla (234567, offline) and Eco ICQ (345678, answers)"
}
