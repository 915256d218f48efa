#!/usr/bin/env bash
# Installed system-wide, the program cannot write beside itself: its first start copies the
# example systems into the user's data folder, lists them in «Система:», and «Сохранить»
# writes the state file there.
. "$(dirname "$0")/lib.sh"
build="$1"

prefix="$E2E_TMP/usr"
cmake --install "$build" --prefix "$prefix" >/dev/null
chmod -R a-w "$prefix"
home="$E2E_TMP/home"
data="$home/.local/share/orbimo"
mkdir -p "$home"
chmod 755 "$E2E_TMP"
# Root may write anywhere: as root the program runs as nobody.
as_user=()
if [ "$(id -u)" = 0 ]; then
    command -v setpriv >/dev/null || { echo "no setpriv to leave root: not checked"; exit 0; }
    chown nobody "$home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

start_x 1024x768 -ac  # open to every local user, nobody too
start_app env HOME="$home" XDG_DATA_HOME= "${as_user[@]}" "$prefix/bin/orbimo"
kill -0 "$APP_PID" || { cat "$E2E_TMP/app.log" >&2; exit 1; }

shipped=$(ls "$prefix/share/orbimo/Save"/*.sav | wc -l)
copied=$(ls "$data/Save"/*.sav 2>/dev/null | wc -l)
echo "examples: $shipped shipped, $copied in the user's data folder"
[ "$copied" -eq "$shipped" ] && [ "$shipped" -ge 8 ] || exit 1

open_params
at 620 338                         # «Система:»
sleep 0.5
xdotool key Return                 # the first entry: «Внешние планеты»
sleep 0.5
[ -f "$data/Orbimo.sav" ] || { echo "no state file in the user's data folder" >&2; exit 1; }
caption=$(item "$data/Orbimo.sav" 8)
echo "state file in the data folder, body 2: $caption"
[ "$caption" = '"Юпитер"' ] || exit 1
[ ! -e "$prefix/bin/Orbimo.sav" ] && [ ! -e "$prefix/bin/Save" ] || exit 1
kill -0 "$APP_PID"
