#!/usr/bin/env bash
# The whole road in a real window, driven with keyboard and mouse as a surveyor drives it:
# splash, menu, choose the example survey, common points, compute, O.K., save, exit.
# Usage: whole_road.sh PROGRAM EXPECTED_RESULT_WRITER EXAMPLES_FOLDER
set -euo pipefail
program=$1 writer=$2 examples=$3

road="whole road" screen=1280x1024x24
source "$(dirname "$0")/road_support.sh"

mkdir -p "$work/survey"
cp "$examples/survey.txt" "$work/survey/"
cd "$work/survey"
QT_QPA_PLATFORM=xcb "$program" 2>"$work/program.log" &
app=$!

# 1. Only the splash; a key opens the menu and closes the splash.
for _ in $(seq 100); do [ "$(visible_windows)" -ge 1 ] && break; sleep 0.1; done
[ "$(visible_windows)" -eq 1 ] || fail "expected only the splash, found $(visible_windows) windows"
splash=$(xdotool search --onlyvisible --pid "$app" | head -n1)
eval "$(xdotool getwindowgeometry --shell "$splash")"
[ "$WIDTH" = 492 ] && [ "$HEIGHT" = 283 ] || fail "the splash is ${WIDTH}x$HEIGHT"
xdotool mousemove --sync --window "$splash" 250 140
xdotool key Return
menu=$(window "Αλλαγή Συστήματος Συντεταγμένων")
sleep 0.3
[ "$(visible_windows)" -eq 1 ] || fail "the splash stayed open"

# 2. Choose the coordinate file: the chooser opens in the current folder.
click "$menu" 164 48
chooser=$(window "Επιλογή Αρχείου Συντεταγμένων")
sleep 1
click "$chooser" 450 40    # survey.txt, the first name of the file list
click "$chooser" 484 224   # Ο.Κ.
gone "Επιλογή Αρχείου Συντεταγμένων"
grep -q "survey/survey.txt" "$XDG_STATE_HOME/tavrelo/file000.tmp" || fail "the chosen file was not recorded"

# 3. Common points: Σ1 and Σ4 with their target coordinates.
click "$menu" 164 120
common=$(window "Κοινά σημεία")
click "$common" 100 74; xdotool key Down; sleep 0.3                     # Combo1: Σ1
click "$common" 100 194; xdotool key Down Down Down Down; sleep 0.3     # Combo2: Σ4
type_into "$common" 340 116 475000
type_into "$common" 460 116 4201000
type_into "$common" 570 116 110.644
type_into "$common" 340 236 474914.629
type_into "$common" 460 236 4200971.510
type_into "$common" 570 236 108.708
click "$common" 436 320    # compute
click "$common" 700 432    # O.K.
gone "Κοινά σημεία"
[ -s "$XDG_STATE_HOME/tavrelo/file001.tmp" ] || fail "no parameters were handed on"

# 4. Save: type a name, O.K.
click "$menu" 164 192
save=$(window "Αποθήκευση ώς.....")
type_into "$save" 300 196 result.txt
click "$save" 460 228
gone "Αποθήκευση ώς....."
[ -s "$work/survey/result.txt" ] || fail "no result file"

# The result is what the core writes for the same choices.
"$writer" "$XDG_STATE_HOME/tavrelo" "$work/expected.txt"
cmp "$work/survey/result.txt" "$work/expected.txt" || fail "the result differs from the core's"
grep -q $'\r\n\xD3\x31,   475000 ,   4201000 ,   110.644 ,  ' "$work/survey/result.txt" || fail "Σ1 is not on its target"

# 5. Εξοδος ends the program.
click "$menu" 164 264
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end"
wait "$app" || fail "the program ended with an error"
app=
echo "whole road: splash, menu, file, common points, save and exit all worked"
