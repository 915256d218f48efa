#!/usr/bin/env bash
# A wheel notch at the picture's centre draws the orbits again at the new scale (every colour
# stays) and writes the scale into «Масштаб»; after zooming far in, F brings every marker back.
. "$(dirname "$0")/lib.sh"
program="$1"
examples="$2"

start_x 1024x768
app="$E2E_TMP/app"
mkdir -p "$app"
cp "$program" "$app/orbimo"
cp "$examples/Внутренние планеты.sav" "$app/Orbimo.sav"
start_app "$app/orbimo"
xdotool key F3  # the readout off: nothing over the picture but the scale bar

import -window root "$E2E_TMP/idle.png"
convert "$E2E_TMP/idle.png" -crop 70x24+719+623 "$E2E_TMP/start.png"  # the «Пуск» caption
click 754 635   # «Пуск»: two years, to the stop date, in about a second
for _ in $(seq 40); do
    sleep 0.25
    import -window root "$E2E_TMP/shot.png"
    convert "$E2E_TMP/shot.png" -crop 70x24+719+623 "$E2E_TMP/button.png"
    compare -metric AE "$E2E_TMP/start.png" "$E2E_TMP/button.png" null: 2>/dev/null && break
done
colours() {
    import -window root "$E2E_TMP/shot.png"
    for rgb in "192 64 0" "0 192 0" "112 128 255" "255 0 0"; do
        printf '%s ' "$(count_colour "$E2E_TMP/shot.png" $rgb)"
    done
}
# Black 3x3 markers above the buttons.
markers() {
    import -window root "$E2E_TMP/shot.png"
    convert "$E2E_TMP/shot.png" -crop 1024x615+0+0 +repage -fill white +opaque black -negate \
        -format "%[fx:round(mean*w*h)]" info:
}
before=$(colours)
xdotool mousemove 512 288 click 4
sleep 0.5
after=$(colours)
echo "trace pixels per colour before the notch: $before; after: $after"
for n in $after; do [ "$n" -ge 20 ] || exit 1; done

xdotool key F2 && sleep 0.5
read -r WX WY < <(xdotool search --name "^Параметры$" getwindowgeometry |
    sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
at 555 372  # «Сохранить»
sleep 0.5
scale=$(item "$app/Orbimo.sav" 83)
echo "scale after one notch: $scale"
[ "$scale" = '"48 000 000"' ] || exit 1
xdotool key Escape && sleep 0.3

xdotool mousemove 900 120 click 4 click 4 click 4 click 4 click 4 click 4
sleep 0.5
far=$(markers)
xdotool key f
sleep 0.5
fitted=$(markers)
echo "marker pixels zoomed far in: $far; after F: $fitted"
[ "$far" -lt 45 ] && [ "$fitted" -ge 45 ] || exit 1
kill -0 "$APP_PID"
