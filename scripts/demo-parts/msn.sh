# The MSN part of the demo: sourced by scripts/demo.sh, defines demo_msn. It uses the demo's wait_for.
#
#   demo_msn BIN_DIR DEMO_DIR PORT NIU
#
# Starts tazu-sim-msn on 127.0.0.1:PORT in the background (its dispatch
# server; log: DEMO_DIR/sim-msn.log) with an MSN account for the demo user NIU
# holding two contacts: eco@tazu.test, signed in by the simulator's echo bot,
# which answers every message, and bia@tazu.test (offline until someone signs
# her in). Exports TAZU_SERVIDOR_MSN for the clients started afterwards, and
# the account in DEMO_MSN_CONTA / DEMO_MSN_SENHA, which the caller stores on
# tazud with tazu-cli's setaccounts (its middle three words: 1
# "$DEMO_MSN_CONTA" "$DEMO_MSN_SENHA"). The simulator's PID is left in
# DEMO_MSN_PIDS.
demo_msn() {
  local bin=$1 dir=$2 port=$3 niu=$4
  DEMO_MSN_CONTA="tazu$niu@tazu.test"
  DEMO_MSN_SENHA="msn123"
  "$bin/tazu-sim-msn" --listen "127.0.0.1:$port" \
    --user "$DEMO_MSN_CONTA:$DEMO_MSN_SENHA:Você no MSN" \
    --user "eco@tazu.test:eco123:Eco (robô)" \
    --user "bia@tazu.test:bia123:Bia no MSN" \
    --contact "$DEMO_MSN_CONTA:eco@tazu.test" --contact "$DEMO_MSN_CONTA:bia@tazu.test" \
    --contact "eco@tazu.test:$DEMO_MSN_CONTA" --contact "bia@tazu.test:$DEMO_MSN_CONTA" \
    --echo-bot eco@tazu.test 2>"$dir/sim-msn.log" &
  DEMO_MSN_PIDS=$!
  wait_for 50 grep -q "dispatch listening on" "$dir/sim-msn.log" || true
  export TAZU_SERVIDOR_MSN="127.0.0.1:$port"
  export DEMO_MSN_CONTA DEMO_MSN_SENHA DEMO_MSN_PIDS
  echo "== MSN simulator on 127.0.0.1:$port (log: $dir/sim-msn.log): account $DEMO_MSN_CONTA" \
    "with contacts eco@tazu.test (echo bot, online) and bia@tazu.test; pid $DEMO_MSN_PIDS"
}
