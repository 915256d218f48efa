#!/usr/bin/env bash
# The readout over the picture comes and goes with F3; five presses of "-" set 1 сут/с, and a
# run of about two seconds then moves the simulated clock by as many days.
. "$(dirname "$0")/lib.sh"
program="$1"

start_x 1024x768
app="$E2E_TMP/app"
mkdir -p "$app"
cp "$program" "$app/orbimo"
start_app "$app/orbimo"

# Dark pixels (text) in the top left corner, where the readout stands.
ink() {
    import -window root "$E2E_TMP/shot.png"
    convert "$E2E_TMP/shot.png" -crop 200x90+10+10 -colorspace gray -threshold 40% -negate \
        -format "%[fx:round(mean*w*h)]" info:
}
shown=$(ink)
xdotool key F3 && sleep 0.5
hidden=$(ink)
xdotool key F3 && sleep 0.5
again=$(ink)
echo "readout ink: shown $shown, hidden $hidden, shown again $again"
[ "$shown" -ge 100 ] && [ "$hidden" -eq 0 ] && [ "$again" -ge 100 ] || exit 1

for _ in 1 2 3 4 5; do xdotool key minus; done
sleep 0.3
t0=$(date +%s.%N)
xdotool key space
sleep 2
xdotool key space
t1=$(date +%s.%N)
sleep 0.3
xdotool key F2 && sleep 0.5
read -r WX WY < <(xdotool search --name "^Параметры$" getwindowgeometry |
    sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
at 555 372  # «Сохранить»
sleep 0.5
time=$(item "$app/Orbimo.sav" 78 | tr -d '"')
# "DD.MM.YYYY H:MM:SS" to days since 01.01.1900.
days=$(echo "$time" | awk -F'[. :]' '{ printf "%s-%s-%s %s:%s:%s\n", $3, $2, $1, ($4==""?0:$4), ($5==""?0:$5), ($6==""?0:$6) }' |
    xargs -I{} date -u -d {} +%s | awk '{ printf "%.4f", ($1 + 2208988800) / 86400 }')
real=$(echo "$t0 $t1" | awk '{ printf "%.4f", $2 - $1 }')
echo "at 1 сут/с: $real s of real time moved the clock to $time: $days days"
awk -v d="$days" -v r="$real" 'BEGIN { exit !(d > 0.95 * r && d < 1.05 * r) }'
kill -0 "$APP_PID"
