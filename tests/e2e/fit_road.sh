#!/usr/bin/env bash
# The road through the least-squares screen in a real window, driven with keyboard and mouse:
# splash, menu, choose the example survey, common points, "Περισσότερα κοινά σημεία…", the
# example's file of common points typed into the open dialog, drop the outliers, O.K., save.
# The result must be what the core writes for the same files after dropping the outliers.
# tavrelo-cli's fit and its save step must agree with the screens too.
# Usage: fit_road.sh PROGRAM EXPECTED_FIT_RESULT_WRITER EXAMPLES_FOLDER TAVRELO_CLI
set -euo pipefail
program=$1 writer=$2 examples=$3 cli=$4

road="fit road" screen=1600x1200x24
source "$(dirname "$0")/road_support.sh"

# No desktop here: Qt's own file dialog, whose name box takes a typed path.
export TAVRELO_QT_FILE_DIALOG=1
mkdir -p "$work/survey"
cp "$examples/survey.txt" "$examples/survey_common_points.txt" "$work/survey/"
cd "$work/survey"
QT_QPA_PLATFORM=xcb "$program" 2>"$work/program.log" &
app=$!

# Splash, then the menu.
for _ in $(seq 100); do [ "$(visible_windows)" -ge 1 ] && break; sleep 0.1; done
splash=$(xdotool search --onlyvisible --pid "$app" | head -n1)
xdotool mousemove --sync --window "$splash" 250 140
xdotool key Return
menu=$(window "Αλλαγή Συστήματος Συντεταγμένων")
sleep 0.3

# Choose the coordinate file.
click "$menu" 164 48
chooser=$(window "Επιλογή Αρχείου Συντεταγμένων")
sleep 1
click "$chooser" 450 40    # survey.txt, the first name of the file list
click "$chooser" 484 224   # Ο.Κ.
gone "Επιλογή Αρχείου Συντεταγμένων"

# The common points screen, and its button for many common points.
click "$menu" 164 120
common=$(window "Κοινά σημεία")
click "$common" 664 320    # "Περισσότερα κοινά σημεία…"
fit=$(window "Κοινά σημεία με ελάχιστα τετράγωνα")
sleep 0.5

# The file of common points: its path typed into the open dialog's name box.
click "$fit" 40 26         # "Αρχείο κοινών σημείων…", first at the top left
dialog=$(window "Αρχείο κοινών σημείων στο σύστημα προορισμού")
sleep 0.5
xdotool type --delay 10 "$work/survey/survey_common_points.txt"
xdotool key Return
gone "Αρχείο κοινών σημείων στο σύστημα προορισμού"
sleep 0.5

# Drop the outliers: five steps of the tab order from the file button (table, model, scale,
# tolerance).
xdotool key Tab Tab Tab Tab Tab space
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$fit")"
click "$fit" $((WIDTH - 40)) $((HEIGHT - 22))   # O.K., at the bottom right
gone "Κοινά σημεία με ελάχιστα τετράγωνα"
[ -s "$XDG_STATE_HOME/tavrelo/file001.tmp" ] || fail "no parameters were handed on"
click "$common" 120 432    # Cancel on the two-point screen
gone "Κοινά σημεία"

# Save.
click "$menu" 164 192
save=$(window "Αποθήκευση ώς.....")
type_into "$save" 300 196 result.txt
click "$save" 460 228
gone "Αποθήκευση ώς....."
[ -s "$work/survey/result.txt" ] || fail "no result file"

# The core's result for the same two files, with the outliers dropped.
"$writer" "$work/survey/survey.txt" "$work/survey/survey_common_points.txt" "$work/expected.txt"
cmp "$XDG_STATE_HOME/tavrelo/file001.tmp" "$work/expected.txt.parameters" || fail "the parameters differ from the core's fit"
cmp "$work/survey/result.txt" "$work/expected.txt" || fail "the result differs from the core's"
"$cli" fit "$work/survey/survey.txt" "$work/survey/survey_common_points.txt" --drop-outliers \
    -p "$work/cli.parameters" >/dev/null || fail "tavrelo-cli fit failed"
cmp "$XDG_STATE_HOME/tavrelo/file001.tmp" "$work/cli.parameters" || fail "the parameters differ from tavrelo-cli fit's"
"$cli" apply "$XDG_STATE_HOME/tavrelo/file001.tmp" "$work/survey/survey.txt" "$work/cli_result.txt" ||
    fail "tavrelo-cli apply failed"
cmp "$work/survey/result.txt" "$work/cli_result.txt" || fail "the result differs from tavrelo-cli apply's"
# Σ1 within a centimetre of its target: the station off by half a metre was left out.
grep -qE $'\r\n\xD3\x31,   4(74999\\.99[0-9]|75000\\.00[0-9]) ,   42010(00\\.00[0-9]|99\\.99[0-9]) ,' "$work/survey/result.txt" ||
    fail "Σ1 is not on its target: $(grep -a $'^\xD3\x31,' "$work/survey/result.txt" | iconv -f CP1253 -t UTF-8)"

click "$menu" 164 264      # Εξοδος
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end"
wait "$app" || fail "the program ended with an error"
app=
echo "fit road: menu, file, common points, many common points, outliers dropped, save and exit all worked${cli:+; tavrelo-cli agrees}"
