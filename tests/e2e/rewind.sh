#!/usr/bin/env bash
# A run rewound with Ctrl+G: «Солнце, Земля и Луна» (a fixed step) and «Комета Галлея» (a step
# from the step length) run to their «Таймер»; a jump to a date in the middle and «Сохранить»
# give, item for item but «Таймер», what orbimo-batch writes when that date is the «Таймер».
. "$(dirname "$0")/lib.sh"
program="$1" runner="$2" examples="$3"
app="$E2E_TMP/app" state="$E2E_TMP/app/Orbimo.sav"
mkdir -p "$app" "$XDG_CONFIG_HOME/Orbimo" && cp "$program" "$app/orbimo"
printf '[view]\npace=0\n' >"$XDG_CONFIG_HOME/Orbimo/Orbimo.conf"  # no limit: the run takes a moment
start_x 1280x800

# with_timer FILE DATE OUT: FILE with DATE as its «Таймер» (item 79).
with_timer() { iconv -f WINDOWS-1251 -t UTF-8 "$1" | sed "79s/.*/\"$2\"\r/" | iconv -f UTF-8 -t WINDOWS-1251 >"$3"; }

for case in "Солнце, Земля и Луна|15.06.2000 7:13:00" "Комета Галлея|09.02.2036 13:00:00"; do
    system="${case%%|*}" date="${case#*|}"
    cp "$examples/$system.sav" "$state"
    start_app "$app/orbimo"
    click 640 400 && key space
    sleep 4  # to its «Таймер»
    key ctrl+g
    within_10s xdotool search --name "^Перейти к дате$" || fail "$system: Ctrl+G asked for no date"
    xdotool key ctrl+a && xdotool type --delay 20 "$date" && key Return
    click 300 500  # no window manager: the picture takes the keys again
    open_params F2 && at 555 372 && key Escape  # «Сохранить»
    with_timer "$examples/$system.sav" "$date" "$E2E_TMP/timer.sav"
    "$runner" "$E2E_TMP/timer.sav" --quiet --out "$E2E_TMP/runner.sav" || fail "$system: the runner failed"
    [ "$(item "$state" 78)" != "$(item "$examples/$system.sav" 78)" ] || fail "$system: nothing ran"
    differ=$(diff <(iconv -f WINDOWS-1251 -t UTF-8 "$state" | sed 79d) \
                  <(iconv -f WINDOWS-1251 -t UTF-8 "$E2E_TMP/runner.sav" | sed 79d) || true)
    [ -z "$differ" ] || fail "$system: the jump to $date is not the runner's run to it: $differ"
    stop_app
done
