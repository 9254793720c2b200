# The Yahoo part of the demo: sourced by scripts/demo.sh, defines demo_yahoo. It uses the demo's wait_for.
#
#   demo_yahoo BIN_DIR DEMO_DIR PORT NIU
#
# Starts tazu-sim-yahoo on 127.0.0.1:PORT in the background (log:
# DEMO_DIR/sim-yahoo.log) with a Yahoo account for the demo user NIU holding
# two buddies: bia_yahoo (offline until someone signs her in) and eco_yahoo,
# signed in by the simulator's echo bot, which answers every message. Exports
# TAZU_SERVIDOR_YAHOO for the clients started afterwards, and the account in
# DEMO_YAHOO_CONTA / DEMO_YAHOO_SENHA, which the caller stores on tazud with
# tazu-cli's setaccounts (its last three words: 1 "$DEMO_YAHOO_CONTA"
# "$DEMO_YAHOO_SENHA"). The simulator's PID is left in DEMO_YAHOO_PIDS.
demo_yahoo() {
  local bin=$1 dir=$2 port=$3 niu=$4
  DEMO_YAHOO_CONTA="tazu_$niu"
  DEMO_YAHOO_SENHA="yahoo123"
  "$bin/tazu-sim-yahoo" --listen "127.0.0.1:$port" \
    --account "$DEMO_YAHOO_CONTA:$DEMO_YAHOO_SENHA:Amigos=eco_yahoo,bia_yahoo" \
    --account "eco_yahoo:eco123:Amigos=$DEMO_YAHOO_CONTA" \
    --account "bia_yahoo:bia123:Amigos=$DEMO_YAHOO_CONTA" \
    --echo-bot eco_yahoo 2>"$dir/sim-yahoo.log" &
  DEMO_YAHOO_PIDS=$!
  wait_for 50 grep -q "echo bot eco_yahoo: logged in" "$dir/sim-yahoo.log" || true
  export TAZU_SERVIDOR_YAHOO="127.0.0.1:$port"
  export DEMO_YAHOO_CONTA DEMO_YAHOO_SENHA DEMO_YAHOO_PIDS
  echo "== Yahoo simulator on 127.0.0.1:$port (log: $dir/sim-yahoo.log): account" \
    "$DEMO_YAHOO_CONTA with buddies eco_yahoo (echo bot, online) and bia_yahoo; pid $DEMO_YAHOO_PIDS"
}
