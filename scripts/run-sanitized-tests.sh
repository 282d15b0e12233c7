#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer (clang) in
# build-sanitize/ and runs it: every test target of the project, whatever it links, so the
# screen tests are covered as well. Any sanitizer report fails the test that caused it.
# LeakSanitizer suppressions, for libraries only, go in tests/sanitizers/lsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTAVRELO_SANITIZE=ON > /dev/null
cmake --build build-sanitize -j 2

export ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizers/lsan.supp
ctest --test-dir build-sanitize --output-on-failure -j 2
