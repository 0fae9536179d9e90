#!/usr/bin/env bash
# Sets up, then builds and runs every test twice (plain, and with address and
# undefined-behaviour sanitizers), then runs each fuzz target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

# Formatting: the lines changed since VORNELLE_FORMAT_BASE (the last commit by default)
# follow .clang-format; older code is left as it is.
if command -v git-clang-format >/dev/null && git rev-parse -q --verify "${VORNELLE_FORMAT_BASE:-HEAD~1}" >/dev/null; then
  fmt=$(git clang-format --diff --extensions cpp,h "${VORNELLE_FORMAT_BASE:-HEAD~1}" -- src tests bench fuzz || true)
  if [ -n "$fmt" ] && ! grep -q "^no modified files\|did not modify any files" <<<"$fmt"; then
    echo "$fmt"
    echo "changed lines do not follow .clang-format (git clang-format ${VORNELLE_FORMAT_BASE:-HEAD~1} mends them)"
    exit 1
  fi
fi

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORNELLE_SANITIZE=ON -DVORNELLE_BENCH=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

if [ "${VORNELLE_SKIP_FUZZ:-0}" != 1 ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVORNELLE_FUZZ=ON -DVORNELLE_TESTS=OFF -DVORNELLE_BENCH=OFF
  cmake --build build-fuzz -j "$jobs"
  secs=${VORNELLE_FUZZ_SECONDS:-45}
  shopt -s nullglob
  for t in build-fuzz/fuzz/fuzz_*; do
    [ -f "$t" ] && [ -x "$t" ] || continue # not the build system's folders
    name=$(basename "$t"); name=${name#fuzz_}
    work=build-fuzz/corpus-$name; mkdir -p "$work"
    echo "== fuzzing $name for ${secs}s"
    ASAN_OPTIONS=detect_leaks=1 "$t" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 \
      -max_len=262144 "$work" "fuzz/corpus/$name" 2>&1 | tail -n 5
    [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "fuzz target $name found a fault"; exit 1; }
  done
fi
echo "all test runs passed"
