#!/usr/bin/env bash
# Sets up, builds and starts Vornelle.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNELLE_TESTS=OFF -DVORNELLE_BENCH=OFF
cmake --build build --target vornelle vornelle_data
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" ./build/vornelle "$@"
fi
exec ./build/vornelle "$@"
