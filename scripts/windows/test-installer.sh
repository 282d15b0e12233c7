#!/usr/bin/env bash
# Checks the Windows installer under Wine, in a fresh prefix: it installs silently with its
# Start-menu entry and Apps & features entry; the installed tavrelo-cli.exe carries the example
# survey to the same parameters and points as the Linux build; tavrelo.exe opens its window in
# a real X server (a screenshot in build-windows/screenshots/); the silent uninstall leaves
# nothing of the program behind. Run scripts/windows/package.sh first.
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/windows/common.sh

version=$(sed -n 's/^project(Tavrelo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
setup=$PWD/$BUILD_DIR/tavrelo-$version-setup.exe
[[ -f "$setup" ]] || { echo "no $setup: run scripts/windows/package.sh" >&2; exit 1; }
fail() { echo "installer check FAILED: $*" >&2; exit 1; }

fresh_wine_prefix "$PWD/$BUILD_DIR/wine-installer"
program="$WINEPREFIX/drive_c/Program Files/Tavrelo"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tavrelo.lnk"

timeout 300 wine "$setup" /S || fail "the silent install ended with $?"
timeout 60 wineserver -w || true
[[ -f "$program/tavrelo.exe" && -f "$program/tavrelo-cli.exe" && -f "$program/uninstall.exe" ]] || fail "program files missing"
[[ -f "$program/examples/survey.txt" ]] || fail "examples missing"
[[ -f "$menu" ]] || fail "no Start-menu entry"
timeout 60 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrelo' /v UninstallString \
    | grep -q 'uninstall.exe' || fail "not listed in Apps & features"
echo "installed: $(du -sh "$program" | cut -f1) in Program Files\\Tavrelo, Start-menu entry, Apps & features entry"

# The installed command line and the Linux build on the example survey.
if [[ ! -x build/tavrelo-cli ]]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j 2 --target tavrelo-cli
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/linux" "$work/windows"
for side in linux windows; do cp examples/survey.txt "$work/$side/"; done
common=(--common Σ1 475000 4201000 110.644 --common Σ4 474914.629 4200971.510 108.708)
(cd "$work/linux" && "$OLDPWD/build/tavrelo-cli" compute survey.txt "${common[@]}" -p survey.par > compute.out &&
    "$OLDPWD/build/tavrelo-cli" apply survey.par survey.txt result.txt > /dev/null)
(cd "$work/windows" && timeout 60 wine "$program/tavrelo-cli.exe" compute survey.txt "${common[@]}" -p survey.par > compute.out &&
    timeout 60 wine "$program/tavrelo-cli.exe" apply survey.par survey.txt result.txt > /dev/null) || fail "tavrelo-cli.exe failed"
cmp "$work/linux/compute.out" "$work/windows/compute.out" || fail "compute prints otherwise"
cmp "$work/linux/survey.par" "$work/windows/survey.par" || fail "the parameter files differ"
# The results differ only in the input file's path that their header names.
cmp <(sed 4d "$work/linux/result.txt") <(sed 4d "$work/windows/result.txt") || fail "the result files differ"
echo "tavrelo-cli.exe: the same parameters and result points as the Linux build"

# The program opens its window. The command-line runs above started Wine without a display,
# and a Wine server still running from them would give the program no screen to open on:
# it is stopped first.
timeout 60 wineserver -k || true
timeout 60 wineserver -w || true
mkdir -p "$BUILD_DIR/screenshots"
shot=$PWD/$BUILD_DIR/screenshots/installed-splash.png
timeout 240 xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
    wine "$1" & pid=$!
    for _ in $(seq 180); do
        sleep 1
        xdotool search --name Tavrelo >/dev/null 2>&1 && break
    done
    sleep 2
    import -window root "$2"
    found=$(xdotool search --name Tavrelo 2>/dev/null | head -1)
    kill $pid 2>/dev/null; wineserver -k 2>/dev/null
    [ -n "$found" ]' _ "$program/tavrelo.exe" "$shot" || fail "tavrelo.exe opened no window"
echo "tavrelo.exe: its window opened ($shot)"

timeout 300 wine "$program/uninstall.exe" /S || fail "the silent uninstall ended with $?"
timeout 60 wineserver -w || true
for _ in $(seq 30); do [[ -e "$program" ]] || break; sleep 1; done  # the uninstaller finishes from a copy
[[ ! -e "$program" ]] || fail "left behind: $(find "$program" | head)"
[[ ! -e "$menu" ]] || fail "the Start-menu entry was left"
if timeout 60 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrelo' >/dev/null 2>&1; then
    fail "still listed in Apps & features"
fi
echo "uninstalled: nothing left"
timeout 60 wineserver -k || true
