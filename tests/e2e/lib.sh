# Shared helpers for the end-to-end tests: a private X server and the real program.
set -euo pipefail

E2E_TMP=$(mktemp -d /tmp/orbimo-e2e.XXXXXX)
# The program's display preferences start fresh and never touch the user's own.
export XDG_CONFIG_HOME="$E2E_TMP/config"
XVFB_PID=""
APP_PID=""

e2e_cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# start_x WIDTHxHEIGHT [XVFB OPTION...]: a fresh Xvfb on a display number it picks itself. No
# reset when the last client leaves: a restarted program would find the server going down.
start_x() {
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset "${@:2}" 3>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    unset QT_QPA_PLATFORM
    for _ in $(seq 100); do
        if [ -s "$E2E_TMP/display" ]; then
            export DISPLAY=":$(head -n1 "$E2E_TMP/display")"
            xdpyinfo >/dev/null 2>&1 && return 0
        fi
        sleep 0.1
    done
    echo "no X server could be started" >&2
    cat "$E2E_TMP/xvfb.log" >&2
    return 1
}

# start_app COMMAND...: runs the program and waits for its main window.
start_app() {
    "$@" >"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    for _ in $(seq 100); do
        xdotool search --name "Орбимо. Версия 1.1" >/dev/null 2>&1 && { sleep 0.5; return 0; }
        sleep 0.1
    done
    echo "the main window did not appear" >&2
    cat "$E2E_TMP/app.log" >&2
    return 1
}

stop_app() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=""
}

click() { xdotool mousemove "$1" "$2" click 1; sleep 0.3; }

# open_params: «Параметры», then WX WY: where the parameters window is, for `at X Y`.
open_params() {
    click 827 635
    sleep 0.5
    read -r WX WY < <(xdotool search --name "^Параметры$" getwindowgeometry |
        sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
}
at() { click $((WX + $1)) $((WY + $2)); }

# item FILE N: item N of a system file, in UTF-8.
item() { sed -n "$2p" "$1" | iconv -f WINDOWS-1251 -t UTF-8 | tr -d '\r'; }

# count_colour PNG R G B: how many pixels have exactly that colour.
count_colour() {
    convert "$1" -fill black +opaque "rgb($2,$3,$4)" -fill white -opaque "rgb($2,$3,$4)" \
        -format "%[fx:round(mean*w*h)]" info:
}
