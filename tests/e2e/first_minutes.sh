#!/usr/bin/env bash
# A newcomer's first minutes on 1280×800: bodies shown before a run, «авто» slow enough to
# follow, no stale warning after another example, «Параметры» wholly on the screen.
. "$(dirname "$0")/lib.sh"
program="$1" examples="$2"
app="$E2E_TMP/app" state="$E2E_TMP/app/Orbimo.sav"
mkdir -p "$app/Save" && cp "$program" "$app/orbimo" && cp "$examples"/*.sav "$app/Save/"
start_x 1280x800
start_app "$app/orbimo"

# Black marker pixels right of the readout and above the buttons; the readout's warning colour.
markers() { shot && white "$E2E_TMP/shot.png[900x640+300+0]" -fill white +opaque black -negate; }
warned() { shot && white "$E2E_TMP/shot.png[600x200+0+0]" -fill black +opaque "rgb(190,50,0)" -fill white -opaque "rgb(190,50,0)"; }
# example N: the N-th system of «Примеры», first in the right-click menu.
example() {
    xdotool mousemove 640 560 click 3 && sleep 0.5 && key Down Right
    for ((i = 1; i < $1; ++i)); do xdotool key Down; done
    key Return
}

cold=$(markers)
[ "$cold" -ge 45 ] || fail "a cold start shows $cold marker pixels, not five bodies"
example 2  # «Внутренние планеты»
[ "$(item "$state" 8)" = '"Меркурий"' ] || fail "«Примеры» did not load the inner planets"
placed=$(markers) corner=$(white "$E2E_TMP/shot.png[3x3+0+0]" -fill white +opaque black -negate)
[ "$placed" -ge 45 ] && [ "$corner" -eq 0 ] ||
    fail "before «Пуск»: $placed marker pixels, $corner in the corner"

xdotool mousemove 640 560 click 1 && key space  # the picture takes the keys
sleep 3 && key space
open_params F2 && at 555 372  # «Сохранить»
key Escape
IFS='. ' read -r d m y _ < <(item "$state" 78 | tr -d '"')
days=$(( ($(date -u -d "$y-$m-$d" +%s) - $(date -u -d 2000-01-01 +%s)) / 86400 ))
# «авто» runs the two years in half a minute: about 24 days a second, never the whole run at once.
[ "$days" -ge 5 ] && [ "$days" -le 250 ] || fail "three seconds at «авто» ran $days days"

example 9  # «Троянцы Юпитера», after the run of the inner planets
[ "$(warned)" -eq 0 ] || fail "the readout warns of a run that is not this system's"

for i in 1 2 3; do open_params F2 && key Escape; done
open_params F2
read -r x y w h < <(xwininfo -name "Параметры" | awk '/Absolute upper-left X/ {x=$NF}
    /Absolute upper-left Y/ {y=$NF} /Width/ {w=$NF} /Height/ {h=$NF} END {print x, y, w, h}')
[ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1280 ] && [ $((y + h)) -le 800 ] ||
    fail "«Параметры» at $x,$y, $w×$h: not wholly on the screen"
kill -0 "$APP_PID" || fail "the program is gone"
