#!/usr/bin/env bash
# The real program under X: "Пуск" draws the orbits of bodies 1 to 5 in their colours.
. "$(dirname "$0")/lib.sh"
program="$1"

start_x 1024x768
mkdir -p "$E2E_TMP/app"
cp "$program" "$E2E_TMP/app/orbimo"
start_app "$E2E_TMP/app"

# Buttons on a 1024x768 screen: top 623 px, lefts 718, 791, 864, 937 px, 73x25 px each.
click 754 635          # Пуск
# A loaded machine draws more slowly: look again for up to ten seconds.
for attempt in $(seq 10); do
    sleep 1
    import -window root "$E2E_TMP/run.png"
    fail=0
    # The view follows body 1, so it stays a marker at the view origin (512, 288)...
    centre=$(convert "$E2E_TMP/run.png" -format "%[pixel:p{512,288}]" info:)
    case "$centre" in srgb\(0,0,0\)|black) ;; *) fail=1 ;; esac
    # ...while bodies 2 to 5 leave traces in their colours.
    report="view origin: $centre"
    for rgb in "192 64 0" "0 192 0" "112 128 255" "255 0 0"; do
        n=$(count_colour "$E2E_TMP/run.png" $rgb)
        report="$report; ($rgb): $n"
        [ "$n" -ge 20 ] || fail=1
    done
    [ $fail = 0 ] && break
done
echo "$report"
click 754 635          # Стоп
kill -0 "$APP_PID" || { echo "the program is gone" >&2; fail=1; }
[ -n "${E2E_KEEP:-}" ] && cp "$E2E_TMP/run.png" "$E2E_KEEP"
exit $fail
