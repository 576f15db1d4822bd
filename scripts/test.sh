#!/usr/bin/env bash
# Every test: installs what is missing, builds under AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole suite with CTest.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset test
cmake --build --preset test
ctest --preset test
