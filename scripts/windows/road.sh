#!/usr/bin/env bash
# The whole road through the Windows program under Wine, in an X server of its own, driven with
# keyboard and mouse as tests/e2e/whole_road.sh drives the Linux one: splash, menu, choose the
# example survey, common points, compute, O.K., save, exit. Screenshots of each screen land in
# build-windows/screenshots/. The result must hold the same points as the Linux build writes.
# Run scripts/windows/test.sh (which builds and readies build-windows/) first.
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/windows/common.sh
root=$PWD
shots=$root/$BUILD_DIR/screenshots
mkdir -p "$shots"
[[ -x build/tavrelo-cli ]] || { cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null;
                                cmake --build build -j 2 --target tavrelo-cli; }

road="whole road under Wine" screen=1280x1024x24
source tests/e2e/road_support.sh
fresh_wine_prefix "$root/$BUILD_DIR/wine-road"
state=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local)/Tavrelo
shot() { import -window root "$shots/wine-$1.png"; }

mkdir -p "$work/survey"
cp examples/survey.txt "$work/survey/"
cd "$work/survey"
wine "$root/$BUILD_DIR/tavrelo.exe" >"$work/program.log" 2>&1 &
app=$!

# 1. The splash; a key opens the menu and closes the splash.
for _ in $(seq 1200); do xdotool search --onlyvisible --name '^Tavrelo$' >/dev/null 2>&1 && break; sleep 0.1; done
sleep 1
shot 1-splash
splash=$(xdotool search --onlyvisible --name '^Tavrelo$' | head -n1) || fail "no splash"
xdotool mousemove --sync --window "$splash" 250 140
xdotool key Return
menu=$(window "Αλλαγή Συστήματος Συντεταγμένων")
sleep 1
shot 2-menu

# 2. Choose the coordinate file: the chooser opens in the current folder.
click "$menu" 164 48
chooser=$(window "Επιλογή Αρχείου Συντεταγμένων")
sleep 2
shot 3-chooser
click "$chooser" 450 40
click "$chooser" 484 224
gone "Επιλογή Αρχείου Συντεταγμένων"
grep -qa 'survey\\survey.txt' "$state/file000.tmp" || fail "the chosen file was not recorded"

# 3. Common points: Σ1 and Σ4 with their target coordinates.
click "$menu" 164 120
common=$(window "Κοινά σημεία")
click "$common" 100 74; xdotool key Down; sleep 0.3
click "$common" 100 194; xdotool key Down Down Down Down; sleep 0.3
type_into "$common" 340 116 475000
type_into "$common" 460 116 4201000
type_into "$common" 570 116 110.644
type_into "$common" 340 236 474914.629
type_into "$common" 460 236 4200971.510
type_into "$common" 570 236 108.708
click "$common" 436 320
sleep 1
shot 4-common-points
click "$common" 700 432
gone "Κοινά σημεία"
[ -s "$state/file001.tmp" ] || fail "no parameters were handed on"

# 4. Save: type a name, O.K.
click "$menu" 164 192
save=$(window "Αποθήκευση ώς.....")
type_into "$save" 300 196 result.txt
sleep 1
shot 5-save
click "$save" 460 228
gone "Αποθήκευση ώς....."
[ -s "$work/survey/result.txt" ] || fail "no result file"

# The same points as the Linux build writes with the same parameters (the header's line 4
# names the input by its Windows path).
"$root/build/tavrelo-cli" apply "$state/file001.tmp" "$work/survey/survey.txt" "$work/expected.txt" >/dev/null
cmp <(sed 4d "$work/survey/result.txt") <(sed 4d "$work/expected.txt") || fail "the result differs from the Linux build's"

# 5. Εξοδος ends the program.
click "$menu" 164 264
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end"
app=
timeout 60 wineserver -k || true
echo "whole road under Wine: splash, menu, file, common points, save and exit all worked; screenshots in $shots"
