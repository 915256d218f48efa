#!/usr/bin/env bash
# Installs what is missing, builds Orbimo and runs every test: the normal build
# first, then the whole suite again under AddressSanitizer + UndefinedBehaviorSanitizer.
# ORBIMO_SKIP_ASAN=1 skips the second pass.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake --preset dev
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

if [ "${ORBIMO_SKIP_ASAN:-0}" != 1 ]; then
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    [ -f tools/lsan.supp ] && export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp"
    cmake --preset asan
    cmake --build --preset asan -j "$jobs"
    ctest --preset asan -j "$jobs"
fi
