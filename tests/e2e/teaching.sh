#!/usr/bin/env bash
# «Графики» and «Орбита» for Mercury during a run: ellipse, sectors, table and curves drawn; a
# Shift+drag leaves a tape. ORBIMO_SHOTS=FOLDER keeps the screenshots.
. "$(dirname "$0")/lib.sh"
program="$1" examples="$2"
app="$E2E_TMP/app"
mkdir -p "$app" "$XDG_CONFIG_HOME/Orbimo" && cp "$program" "$app/orbimo"
cp "$examples/Внутренние планеты.sav" "$app/Orbimo.sav"
printf '[orbit]\nareas=true\nbody=2\ncentre=0\nellipse=true\nsectors=12\nthirdLaw=true\n' \
    >"$XDG_CONFIG_HOME/Orbimo/Orbimo.conf"
start_x 1280x800
start_app "$app/orbimo"
main=$(xdotool search --name "Орбимо. Версия 1.1" | head -n1)

key g && key k
graphs=$(xdotool search --name "^Графики$" | head -n1) orbit=$(xdotool search --name "^Орбита$" | head -n1)
[ -n "$graphs" ] && [ -n "$orbit" ] || fail "G and K did not open «Графики» and «Орбита»"
# No window manager here: the windows are put aside by hand, off the inner planets' orbits.
xdotool windowmove "$orbit" 840 0 windowmove "$graphs" 0 470 windowsize "$graphs" 640 330
sleep 0.5
click 640 120  # the picture takes the keys again
xdotool mousemove 640 300 click 4 click 4 click 4 && sleep 0.3  # closer to the Sun
key space  # «Пуск»: at the automatic pace Mercury goes round in under four seconds
sleep 5
shot kepler
# pixels of a colour (within a few percent) in a part of a picture
near() { convert "$1" -fuzz 5% -fill white -opaque "$2" -fill black +opaque white -format "%[fx:round(mean*w*h)]" info:; }
picture="$E2E_TMP/kepler.png[830x460+0+0]"
sectors=$(near "$picture" "rgb(243,220,173)") ellipse=$(near "$picture" "rgb(90,0,160)")
table=$(near "$E2E_TMP/kepler.png[330x100+940+545]" "rgb(20,20,20)")
curves=$(near "$E2E_TMP/kepler.png[620x260+10+530]" "rgb(0,110,200)")
[ "$sectors" -ge 2000 ] && [ "$ellipse" -ge 100 ] && [ "$table" -ge 200 ] && [ "$curves" -ge 100 ] ||
    fail "sector pixels $sectors, ellipse $ellipse, table ink $table, graph curve $curves"

# Shift and a drag: a tape with its length over the picture, until «Очистить».
xdotool keydown shift mousemove 200 150 mousedown 1 mousemove 300 200 mousemove 420 260 mouseup 1 keyup shift
sleep 0.5 && shot tape
tape=$(near "$E2E_TMP/tape.png[830x460+0+0]" "rgb(200,0,60)")
[ "$tape" -ge 150 ] || fail "tape pixels $tape"
key space  # «Стоп»
sleep 0.5
if [ -n "${ORBIMO_SHOTS:-}" ]; then
    mkdir -p "$ORBIMO_SHOTS" && cp "$E2E_TMP/kepler.png" "$E2E_TMP/tape.png" "$ORBIMO_SHOTS/"
fi
kill -0 "$APP_PID" || fail "the program is gone"
