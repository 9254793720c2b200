#!/usr/bin/env bash
# Configures and builds the project. TAZU_SANITIZE=1 builds with ASan+UBSan in
# its own build folder. Prints the build folder on the last line.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [[ "${TAZU_SANITIZE:-0}" == 1 ]]; then
  build="${TAZU_BUILD_DIR:-$root/build-asan}"
  # Line tables are all a sanitizer report needs, and -O1 keeps its stacks
  # whole; benchmarks are not run under the sanitizers. Both keep CI short.
  extra=(-DTAZU_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAZU_BUILD_BENCH=OFF
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")
else
  build="${TAZU_BUILD_DIR:-$root/build}"
  extra=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi
cmake -S "$root" -B "$build" -G Ninja "${extra[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" >&2
echo "$build"
