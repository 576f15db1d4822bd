#!/usr/bin/env bash
# Every test: installs what is missing, builds under AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole suite with CTest.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset test
cmake --build --preset test
ctest --preset test

# The 32-bit Windows program, cross-built, and its end-to-end tests under Wine.
cmake --preset windows
cmake --build --preset windows
ctest --preset windows
