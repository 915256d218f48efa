# Shared helpers for the end-to-end tests: a private X server and the real program.
set -euo pipefail

E2E_TMP=$(mktemp -d /tmp/orbimo-e2e.XXXXXX)
# The program's display preferences start fresh and never touch the user's own.
export XDG_CONFIG_HOME="$E2E_TMP/config"
XVFB_PID="" APP_PID=""

fail() { echo "FAIL: $*" >&2; exit 1; }

stop_app() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=""
}

e2e_cleanup() {
    stop_app
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# within_10s COMMAND...: until COMMAND succeeds, for ten seconds at most (a loaded machine is slow).
within_10s() {
    local end=$((SECONDS + 10))
    until "$@" >/dev/null 2>&1; do [ $SECONDS -lt $end ] && sleep 0.1 || return 1; done
}

# start_x WIDTHxHEIGHT [XVFB OPTION...]: a fresh Xvfb on a display number it picks itself. No
# reset when the last client leaves: a restarted program would find the server going down.
start_x() {
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset "${@:2}" 3>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    unset QT_QPA_PLATFORM
    within_10s test -s "$E2E_TMP/display" && export DISPLAY=":$(head -n1 "$E2E_TMP/display")" &&
        within_10s xdpyinfo || { cat "$E2E_TMP/xvfb.log" >&2; fail "no X server could be started"; }
}

# start_app COMMAND...: runs the program and waits for its main window.
start_app() {
    "$@" >"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    within_10s xdotool search --name "Орбимо. Версия 1.1" ||
        { cat "$E2E_TMP/app.log" >&2; fail "the main window did not appear"; }
    sleep 0.5
}

click() { xdotool mousemove "$1" "$2" click 1; sleep 0.3; }
key() { xdotool key "$@"; sleep 0.5; }
shot() { import -window root "$E2E_TMP/${1:-shot}.png"; }

# open_params [KEY]: «Параметры» clicked, or KEY pressed; WX WY: where it is, for `at X Y`.
open_params() {
    if [ $# = 0 ]; then click 827 635; else xdotool key "$1"; fi
    sleep 0.5
    read -r WX WY < <(xdotool search --name "^Параметры$" getwindowgeometry |
        sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
}
at() { click $((WX + $1)) $((WY + $2)); sleep 0.2; }
choose_first_system() { at 620 338; key Return; }  # in «Система:»

# item FILE N: item N of a system file, in UTF-8.
item() { sed -n "$2p" "$1" | iconv -f WINDOWS-1251 -t UTF-8 | tr -d '\r'; }

# white PNG[CROP] CONVERT-OPTION...: how many pixels are white after those options.
white() { convert "$1" "${@:2}" -format "%[fx:round(mean*w*h)]" info:; }
# traces PNG: the pixel count of each trace colour of bodies 2 to 5.
traces() { for c in "rgb(192,64,0)" "rgb(0,192,0)" "rgb(112,128,255)" "rgb(255,0,0)"; do
    printf '%s ' "$(white "$1" -fill black +opaque "$c" -fill white -opaque "$c")"; done; }
