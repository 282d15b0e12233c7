# Shared by the roads through the Windows program under Wine (road.sh, fit_road.sh): the Linux
# build's programs that the results are checked against, an X server, a folder and a fresh Wine
# prefix of their own, and the steps every road takes: splash and menu, choosing the example
# survey, saving the result, Εξοδος. Screenshots land in build-windows/screenshots/, numbered in
# the order they are taken.
# Sourced from the project's folder after `road` (the road's name, for messages), `screen` (the
# X screen's size), `shot_prefix` (the screenshots' and the Wine prefix's name) and
# `linux_programs` (the Linux build's targets the road needs) are set. Run scripts/windows/test.sh
# (which builds and readies build-windows/) first.

. scripts/windows/common.sh
root=$PWD
shots=$root/$BUILD_DIR/screenshots
mkdir -p "$shots"
for target in "${linux_programs[@]}"; do
    [[ -x build/$target ]] && continue
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j 2 --target "${linux_programs[@]}"
    break
done

# Wine's windows can be slow to come and go on a busy machine.
window_wait=300
source tests/e2e/road_support.sh
fresh_wine_prefix "$root/$BUILD_DIR/$shot_prefix-road"
state=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local)/Tavrelo
shot_count=0
shot() {
    shot_count=$((shot_count + 1))
    import -window root "$shots/$shot_prefix-$shot_count-$1.png"
}

# Starts tavrelo.exe in $work/survey, which holds the named example files; a key on the splash
# opens the menu ($menu).
start_at_menu() {
    mkdir -p "$work/survey"
    local name
    for name; do cp "$root/examples/$name" "$work/survey/"; done
    cd "$work/survey"
    wine "$root/$BUILD_DIR/tavrelo.exe" >"$work/program.log" 2>&1 &
    app=$!
    # A fresh prefix on a busy machine may take a minute to show the first window.
    for _ in $(seq 1200); do xdotool search --onlyvisible --name '^Tavrelo$' >/dev/null 2>&1 && break; sleep 0.1; done
    sleep 1
    shot splash
    local splash
    splash=$(xdotool search --onlyvisible --name '^Tavrelo$' | head -n1) || fail "no splash"
    xdotool mousemove --sync --window "$splash" 250 140
    xdotool key Return
    menu=$(window "Αλλαγή Συστήματος Συντεταγμένων")
    sleep 1
    shot menu
}

# The chooser opens in the current folder: survey.txt, the first name of its file list, O.K.
choose_survey() {
    click "$menu" 164 48
    local chooser
    chooser=$(window "Επιλογή Αρχείου Συντεταγμένων")
    sleep 2
    shot chooser
    click "$chooser" 450 40
    click "$chooser" 484 224
    gone "Επιλογή Αρχείου Συντεταγμένων"
    grep -qa 'survey\\survey.txt' "$state/file000.tmp" || fail "the chosen file was not recorded"
}

# The save screen: the name result.txt typed, O.K.; the result lands beside the survey.
save_result() {
    click "$menu" 164 192
    local save
    save=$(window "Αποθήκευση ώς.....")
    type_into "$save" 300 196 result.txt
    sleep 2    # a busy Wine may show the typed name a second late
    shot save
    click "$save" 460 228
    gone "Αποθήκευση ώς....."
    [ -s "$work/survey/result.txt" ] || fail "no result file"
}

# Εξοδος ends the program, and Wine with it.
exit_program() {
    click "$menu" 164 264
    for _ in $(seq 300); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app" 2>/dev/null && fail "the program did not end"
    app=
    timeout 60 wineserver -k || true
}
