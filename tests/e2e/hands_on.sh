#!/usr/bin/env bash
# A star dragged by (40, −30) px moves as many pixels' worth of metres; Ctrl+Z after the drag
# and after a run puts the state file back byte for byte.
. "$(dirname "$0")/lib.sh"
program="$1" examples="$2"
app="$E2E_TMP/app" state="$E2E_TMP/app/Orbimo.sav"
mkdir -p "$app" && cp "$program" "$app/orbimo"
cp "$examples/Двойная звезда с планетой.sav" "$app/Orbimo.sav"
start_x 1280x800
start_app "$app/orbimo"

save() {  # «Сохранить» in «Параметры», then the picture takes the keys again
    open_params F2 && at 555 372 && key Escape
    click 300 500
    cp "$state" "$E2E_TMP/$1.sav"
}
number() { item "$1" "$2" | tr -d '" ' | tr , .; }
# The second star's marker: the middle of the black pixels right of the first one's.
shot
read -r bx by < <(convert "$E2E_TMP/shot.png[500x60+650+290]" txt:- |
    awk -F'[,: ]+' '/#000000/ {x += $1; y += $2; n++} END {if (n) printf "%d %d\n", 650 + x / n + 0.5, 290 + y / n + 0.5}')
[ -n "${bx:-}" ] || fail "no marker of the second star right of the first"

save before
xdotool mousemove "$bx" "$by" mousedown 1
for i in 1 2 3 4; do xdotool mousemove $((bx + 10 * i)) $((by - 15 * i / 2)); sleep 0.05; done
xdotool mouseup 1 && sleep 0.3
save dragged
# Metres a pixel: the scale is in metres a twip, fifteen twips a pixel on this screen. Y grows
# downwards in the picture, as its rows do.
metres=$(awk -v s="$(number "$state" 83)" 'BEGIN {printf "%.17g", s * 15}')
awk -v x0="$(number "$E2E_TMP/before.sav" 11)" -v y0="$(number "$E2E_TMP/before.sav" 12)" \
    -v x1="$(number "$state" 11)" -v y1="$(number "$state" 12)" -v m="$metres" \
    'BEGIN {dx = (x1 - x0) / m - 40; dy = (y1 - y0) / m + 30; exit !(dx * dx <= 0.25 && dy * dy <= 0.25)}' ||
    fail "dragged by (40, −30) px: X $(number "$E2E_TMP/before.sav" 11) → $(number "$state" 11), Y $(number "$E2E_TMP/before.sav" 12) → $(number "$state" 12), $metres m a pixel"

key ctrl+z
save undone
cmp -s "$E2E_TMP/before.sav" "$E2E_TMP/undone.sav" || fail "Ctrl+Z after the drag: $(diff <(iconv -f cp1251 "$E2E_TMP/before.sav") <(iconv -f cp1251 "$E2E_TMP/undone.sav"))"

key space && sleep 2 && key space
save ran
cmp -s "$E2E_TMP/before.sav" "$E2E_TMP/ran.sav" && fail "two seconds of the run changed nothing"
key ctrl+z
save run_undone
cmp -s "$E2E_TMP/before.sav" "$E2E_TMP/run_undone.sav" || fail "Ctrl+Z after the run: $(diff <(iconv -f cp1251 "$E2E_TMP/before.sav") <(iconv -f cp1251 "$E2E_TMP/run_undone.sav"))"
kill -0 "$APP_PID" || fail "the program is gone"
