#!/usr/bin/env bash
# Save a system under a name, restart the program, choose it from «Система:», run it and
# find the run's state written back into the state file.
. "$(dirname "$0")/lib.sh"
program="$1"

start_x 1024x768
app="$E2E_TMP/app"
mkdir -p "$app"
cp "$program" "$app/orbimo"

# Window-relative positions of the parameters window's controls, in pixels.
params_origin() {
    xdotool search --name "^Параметры$" getwindowgeometry |
        sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p'
}
open_params() {
    click 827 635  # «Параметры»
    sleep 0.5
    read -r WX WY < <(params_origin)
}
at() { click $((WX + $1)) $((WY + $2)); }
item() { sed -n "$2p" "$1" | iconv -f WINDOWS-1251 -t UTF-8 | tr -d '\r'; }

start_app "$app"
open_params
at 190 96                                # x of body 3
xdotool key ctrl+a && xdotool type "1.5e11" && xdotool key Tab
at 690 372                               # «Сохранить как»
sleep 0.5
xdotool type "orbit1" && xdotool key Return
sleep 0.5
[ -f "$app/Save/orbit1.sav" ] || { echo "no Save/orbit1.sav" >&2; exit 1; }
[ "$(item "$app/Save/orbit1.sav" 18)" = '"1,5e11"' ] || { echo "x of body 3 not saved" >&2; exit 1; }
stop_app

start_app "$app"
open_params
at 620 338                               # «Система:»
sleep 0.5
xdotool key Return                       # the first (only) entry
sleep 0.5
[ -f "$app/Orbimo.sav" ] || { echo "choosing did not write the state file" >&2; exit 1; }
xdotool key Escape
click 754 635                            # «Пуск»
sleep 1.5
click 754 635                            # «Стоп»
open_params
at 555 372                               # «Сохранить»
sleep 0.5

lines=$(wc -l <"$app/Orbimo.sav")
time=$(item "$app/Orbimo.sav" 78)
x3=$(item "$app/Orbimo.sav" 18)
echo "state file: $lines lines, time $time, x of body 3 $x3"
[ "$lines" -eq 84 ] || exit 1
[ "$time" != '"01.01.1900"' ] || { echo "the run's time was not written back" >&2; exit 1; }
[ "$x3" != '"1,5e11"' ] || { echo "body 3 did not move" >&2; exit 1; }
case "$x3" in \"-[0-9]*|\"[0-9]*) ;; *) echo "unexpected x: $x3" >&2; exit 1 ;; esac
kill -0 "$APP_PID"
