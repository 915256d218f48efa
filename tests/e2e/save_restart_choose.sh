#!/usr/bin/env bash
# Save a system under a name, restart the program, choose it from «Система:», run it, see the
# orbits drawn and find the run's state written back into the state file.
. "$(dirname "$0")/lib.sh"
program="$1"

start_x 1024x768
app="$E2E_TMP/app"
mkdir -p "$app"
cp "$program" "$app/orbimo"

start_app "$app/orbimo"
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

start_app "$app/orbimo"
open_params
at 620 338                               # «Система:»
sleep 0.5
xdotool key Return                       # the first (only) entry
sleep 0.5
[ -f "$app/Orbimo.sav" ] || { echo "choosing did not write the state file" >&2; exit 1; }
xdotool key Escape
click 754 635                            # «Пуск»
# Body 1 stays a marker at the view origin (512, 288), bodies 2 to 5 leave traces in their
# colours. A loaded machine draws more slowly: look again for up to ten seconds.
for _ in $(seq 10); do
    sleep 1
    import -window root "$E2E_TMP/run.png"
    report=$(convert "$E2E_TMP/run.png" -format "%[pixel:p{512,288}]" info:)
    fail=0
    case "$report" in srgb\(0,0,0\)|black) ;; *) fail=1 ;; esac
    for rgb in "192 64 0" "0 192 0" "112 128 255" "255 0 0"; do
        n=$(count_colour "$E2E_TMP/run.png" $rgb)
        report="$report; ($rgb): $n"
        [ "$n" -ge 20 ] || fail=1
    done
    [ $fail = 0 ] && break
done
echo "view origin and traces: $report"
[ $fail = 0 ] || exit 1
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
