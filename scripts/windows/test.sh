#!/usr/bin/env bash
# Builds Tavrelo for Windows and runs its test suites as Windows programs under Wine, in a
# fresh Wine prefix: the core (with Windows' own faults: read-only and held-open files, Greek
# letters and spaces in paths, a second drive letter), tavrelo-cli run as a process, and the
# screens on Qt's offscreen platform. Tests that need POSIX permissions, process limits or
# fork() say so and are skipped.
#   scripts/windows/test.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/windows/common.sh

build_windows core_tests cli_tests screen_tests tavrelo tavrelo-cli
deploy_dlls "$BUILD_DIR"
deploy_dlls "$BUILD_DIR/tests"

fresh_wine_prefix "$PWD/$BUILD_DIR/wine-tests"
# A second drive, T:, on a folder of its own.
rm -rf "$BUILD_DIR/drive-t" && mkdir -p "$BUILD_DIR/drive-t"
ln -sfn "$PWD/$BUILD_DIR/drive-t" "$WINEPREFIX/dosdevices/t:"
export TAVRELO_TEST_DRIVE=T:

status=0
for suite in core_tests cli_tests screen_tests; do
    echo "== $suite (Windows, under Wine)"
    start=$(date +%s)
    if QT_QPA_PLATFORM=offscreen timeout 1200 wine "$BUILD_DIR/tests/$suite.exe" \
            --gtest_brief=1 --gtest_output="xml:$BUILD_DIR/tests/$suite.xml" >"$BUILD_DIR/tests/$suite.log" 2>&1; then
        result=passed
    else
        result="FAILED (exit $?)"; status=1
    fi
    grep -E '^\[  (PASSED|FAILED|SKIPPED) |^\[  FAILED  \]|tests ran' "$BUILD_DIR/tests/$suite.log" | tail -15 || true
    echo "== $suite: $result in $(( $(date +%s) - start )) s"
done
timeout 60 wineserver -k || true
exit $status
