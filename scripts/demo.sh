#!/usr/bin/env bash
# Sets up and builds everything, then says what there is to run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh"
build=$(bash "$root/scripts/build.sh" | tail -n 1)
cat <<MSG

Built in $build.
The foundation is in place: the core model and codec (library tazu_core) and
the runtime seam (tazu_net, tazu_net_qt, tazu_net_testing). The server, the
command-line client and the windows come next; until then what there is to run
is the test suite (bash scripts/test.sh) and the benchmarks in $build/bin:
$(ls "$build/bin" 2>/dev/null | grep -i bench | sed 's/^/  /')
MSG
