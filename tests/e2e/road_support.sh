# Shared by the roads through the real program: a folder of their own, an X server of their
# own, the program started in it, and the xdotool steps a surveyor's hand makes.
# Sourced after `road` (the road's name, for messages) and `screen` (the X screen's size) are set.

work=$(mktemp -d)
app=
xvfb=
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "$road: $*" >&2
    [ -s "$work/program.log" ] && { echo "--- what the program printed:" >&2; grep -v '^QStandardPaths' "$work/program.log" | tail -n 60 >&2; }
    exit 1
}

# An X server of our own, on the first free display.
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
export HOME="$work" XDG_STATE_HOME="$work/state"

# The visible window titled exactly $1 (waits for it, `window_wait` tenths of a second at most).
window() {
    local id
    for _ in $(seq "${window_wait:-100}"); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1) && [ -n "$id" ] && { echo "$id"; return; }
        sleep 0.1
    done
    fail "no window \"$1\""
}
gone() {
    for _ in $(seq "${window_wait:-100}"); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window \"$1\" did not close"
}
visible_windows() { xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l; }
click() { xdotool mousemove --sync --window "$1" "$2" "$3" click 1; sleep 0.3; }
type_into() { click "$1" "$2" "$3"; xdotool type --delay 20 "$4"; }
