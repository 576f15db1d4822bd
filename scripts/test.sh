#!/usr/bin/env bash
# Every test: installs what is missing, runs each fuzz target for a minute,
# builds under AddressSanitizer and UndefinedBehaviorSanitizer and runs the
# whole suite with CTest, then the Windows program's tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

# Every fuzz target for a bounded time, from the committed seed corpus.
scripts/fuzz.sh 60

cmake --preset test
cmake --build --preset test
ctest --preset test

# The 32-bit Windows program, cross-built, and its end-to-end tests under Wine.
cmake --preset windows
cmake --build --preset windows
ctest --preset windows
