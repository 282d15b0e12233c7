#!/usr/bin/env bash
# The whole road through the Windows program under Wine, in an X server of its own, driven with
# keyboard and mouse as tests/e2e/whole_road.sh drives the Linux one: splash, menu, choose the
# example survey, common points, compute, O.K., save, exit. Screenshots of each screen land in
# build-windows/screenshots/ (wine-*.png). The result must hold the same points as the Linux
# build writes. Run scripts/windows/test.sh (which builds and readies build-windows/) first.
set -euo pipefail
cd "$(dirname "$0")/../.."
road="whole road under Wine" screen=1280x1024x24 shot_prefix=wine linux_programs=(tavrelo-cli)
. scripts/windows/wine_road.sh

start_at_menu survey.txt
choose_survey

# Common points: Σ1 and Σ4 with their target coordinates.
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
shot common-points
click "$common" 700 432
gone "Κοινά σημεία"
[ -s "$state/file001.tmp" ] || fail "no parameters were handed on"

save_result
# The same points as the Linux build writes with the same parameters (the header's line 4
# names the input by its Windows path).
"$root/build/tavrelo-cli" apply "$state/file001.tmp" "$work/survey/survey.txt" "$work/expected.txt" >/dev/null
cmp <(sed 4d "$work/survey/result.txt") <(sed 4d "$work/expected.txt") || fail "the result differs from the Linux build's"

exit_program
echo "whole road under Wine: splash, menu, file, common points, save and exit all worked; screenshots in $shots"
