#!/usr/bin/env bash
# The real program started three times in one folder: F3 and «Сохранить как»; a saved system
# run, its state written back, the pace 1 сут/с; a wheel notch redraws and F fits.
. "$(dirname "$0")/lib.sh"
program="$1" examples="$2"
app="$E2E_TMP/app" state="$E2E_TMP/app/Orbimo.sav"
mkdir -p "$app" && cp "$program" "$app/orbimo"
start_x 1024x768
start_app "$app/orbimo"
save_state() { open_params "$@" && at 555 372; }  # «Сохранить» in «Параметры»

# Dark pixels (text) in the top left corner, where the readout stands.
ink() { shot && white "$E2E_TMP/shot.png[200x90+10+10]" -colorspace gray -threshold 40% -negate; }
shown=$(ink) && key F3 && hidden=$(ink) && key F3 && again=$(ink)
[ "$shown" -ge 100 ] && [ "$hidden" -eq 0 ] && [ "$again" -ge 100 ] ||
    fail "readout ink: shown $shown, hidden $hidden, shown again $again"

open_params
at 190 96 && key ctrl+a && xdotool type "1.5e11" && key Tab  # x of body 3
at 690 372 && xdotool type "orbit1" && key Return             # «Сохранить как»
[ "$(item "$app/Save/orbit1.sav" 18)" = '"1,5e11"' ] || fail "x of body 3 not in Save/orbit1.sav"

stop_app
start_app "$app/orbimo"
open_params
choose_first_system  # the only one
key Escape
click 754 635  # «Пуск»
# Body 1 stays a marker at the view origin (512, 288), bodies 2 to 5 leave traces in their colours.
orbits() {
    shot
    report="$(convert "$E2E_TMP/shot.png" -format "%[pixel:p{512,288}]" info:); $(traces "$E2E_TMP/shot.png")"
    [[ "$report" == "srgb(0,0,0);"* || "$report" == "black;"* ]] || return 1
    for n in ${report#*;}; do [ "$n" -ge 20 ] || return 1; done
}
within_10s orbits || fail "no orbits: view origin and traces $report"
click 754 635  # «Стоп»
save_state
lines=$(wc -l <"$state") time=$(item "$state" 78) x3=$(item "$state" 18)
[ "$lines" -eq 84 ] && [ "$time" != '"01.01.1900"' ] && [[ "$x3" =~ ^\"-?[0-9] ]] &&
    [ "$x3" != '"1,5e11"' ] || fail "not the run's state: $lines lines, time $time, x of body 3 $x3"

# The state file's clock, "DD.MM.YYYY H:MM:SS", in seconds.
clock() { IFS='. ' read -r d m y hms < <(item "$state" 78 | tr -d '"') && date -u -d "$y-$m-$d ${hms:-0:00}" +%s; }
key Escape
before=$(clock)
key minus minus minus  # «авто» steps from 1 год/с: 1 мес/с, 1 нед/с, 1 сут/с
t0=$(date +%s.%N) && xdotool key space && sleep 2 && xdotool key space && t1=$(date +%s.%N)
save_state F2
awk -v a="$(clock)" -v b="$before" -v t0="$t0" -v t1="$t1" 'BEGIN { d = (a - b) / 86400; r = t1 - t0
    printf "at 1 сут/с: %.3f s of real time moved the clock by %.4f days\n", r, d
    exit !(d > 0.95 * r && d < 1.05 * r) }' || fail "the pace"

stop_app
rm -rf "$XDG_CONFIG_HOME"  # the pace and the layers as at a first start
cp "$examples/Внутренние планеты.sav" "$state"
start_app "$app/orbimo"
key F3  # the readout off: nothing over the picture but the scale bar
key plus plus plus plus  # from «авто» (two years in half a minute) up to no limit
xdotool mousemove 754 635 && sleep 0.5 && shot idle  # «Пуск» under the mouse, as after a click
click 754 635  # «Пуск»: two years, to the stop date, in about a second at no limit
stopped() { shot && compare -metric AE "$E2E_TMP/"{idle,shot}".png[70x24+719+623]" null:; }
within_10s stopped || fail "«Пуск» did not come back"
before=$(traces "$E2E_TMP/shot.png")
xdotool mousemove 512 288 click 4 && sleep 0.5 && shot
after=$(traces "$E2E_TMP/shot.png")
for n in $after; do [ "$n" -ge 20 ] || fail "trace pixels before the notch $before, after $after"; done
save_state F2
[ "$(item "$state" 83)" = '"48 000 000"' ] || fail "the scale after one notch: $(item "$state" 83)"
key Escape

# Black 3x3 markers above the buttons.
markers() { shot && white "$E2E_TMP/shot.png[1024x615+0+0]" -fill white +opaque black -negate; }
xdotool mousemove 900 120 click 4 click 4 click 4 click 4 click 4 click 4 && sleep 0.5
far=$(markers) && key f && fitted=$(markers)
[ "$far" -lt 45 ] && [ "$fitted" -ge 45 ] || fail "marker pixels zoomed far in $far, after F $fitted"
kill -0 "$APP_PID" || fail "the program is gone"
