#!/usr/bin/env bash
# The road through the least-squares screen of the Windows program under Wine, in an X server of
# its own, driven with keyboard and mouse as tests/e2e/fit_road.sh drives the Linux one: splash,
# menu, choose the example survey, common points, "Περισσότερα κοινά σημεία…", the example's file
# of common points named in the open dialog, drop the outliers, O.K., save, exit. Screenshots of
# each screen land in build-windows/screenshots/ (wine-fit-*.png). The parameters must be those
# the Linux build's tavrelo-cli fits to the same files, and the result the points it writes.
# Run scripts/windows/test.sh (which builds and readies build-windows/) first.
set -euo pipefail
cd "$(dirname "$0")/../.."
road="fit road under Wine" screen=1600x1200x24 shot_prefix=wine-fit linux_programs=(tavrelo-cli)
. scripts/windows/wine_road.sh

# Qt's own file dialog, whose name box takes a typed name, as on Linux.
export TAVRELO_QT_FILE_DIALOG=1
start_at_menu survey.txt survey_common_points.txt
choose_survey

# The common points screen, and its button for many common points.
click "$menu" 164 120
common=$(window "Κοινά σημεία")
sleep 1
shot common-points
click "$common" 664 320    # "Περισσότερα κοινά σημεία…"
fit=$(window "Κοινά σημεία με ελάχιστα τετράγωνα")
sleep 1
shot fit

# The file of common points: the dialog opens in the survey's folder; its name typed, Enter.
xdotool key space          # "Αρχείο κοινών σημείων…", first in the tab order, has the focus
window "Αρχείο κοινών σημείων στο σύστημα προορισμού" >/dev/null
sleep 2
shot file-dialog
xdotool type --delay 20 survey_common_points.txt
xdotool key Return
gone "Αρχείο κοινών σημείων στο σύστημα προορισμού"
sleep 1
shot fit-loaded

# Drop the outliers: five steps of the tab order from the file button (table, model, scale,
# tolerance).
xdotool key Tab Tab Tab Tab Tab space
sleep 1
shot outliers-dropped
eval "$(xdotool getwindowgeometry --shell "$fit")"
click "$fit" $((WIDTH - 40)) $((HEIGHT - 22))   # O.K., at the bottom right
gone "Κοινά σημεία με ελάχιστα τετράγωνα"
[ -s "$state/file001.tmp" ] || fail "no parameters were handed on"
click "$common" 120 432    # Cancel on the two-point screen
gone "Κοινά σημεία"

save_result
# The Linux build's fit of the same two files, and the points it writes with it (the header's
# line 4 names the input by its Windows path).
"$root/build/tavrelo-cli" fit "$work/survey/survey.txt" "$work/survey/survey_common_points.txt" --drop-outliers \
    -p "$work/linux.parameters" >/dev/null || fail "the Linux tavrelo-cli fit failed"
cmp "$state/file001.tmp" "$work/linux.parameters" || fail "the parameters differ from the Linux build's fit"
"$root/build/tavrelo-cli" apply "$work/linux.parameters" "$work/survey/survey.txt" "$work/expected.txt" >/dev/null
cmp <(sed 4d "$work/survey/result.txt") <(sed 4d "$work/expected.txt") || fail "the result differs from the Linux build's"
# Σ1 within a centimetre of its target: the station off by half a metre was left out.
grep -qE $'\r\n\xD3\x31,   4(74999\\.99[0-9]|75000\\.00[0-9]) ,   42010(00\\.00[0-9]|99\\.99[0-9]) ,' "$work/survey/result.txt" ||
    fail "Σ1 is not on its target"

exit_program
echo "fit road under Wine: menu, file, common points, many common points, outliers dropped, save and exit all worked; screenshots in $shots"
