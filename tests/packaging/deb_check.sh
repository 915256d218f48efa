#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks it as a user would meet it: its
# control fields and contents, the desktop and AppStream files, lintian, the runner and its
# manual pages, and the program taken out of the package read-only, then installed by dpkg into a
# root of its own and removed again.
. "$(dirname "$0")/../e2e/lib.sh"
build="$1" version="$2" examples="$3" hardened="$4"
tmp="$E2E_TMP"

cpack --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log" >&2; fail "cpack"; }
deb="$tmp/out/orbimo_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$tmp/out")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package) $(field Version) $(field Section) $(field Priority)" = "orbimo $version science optional" ] ||
    fail "control: $(field Package) $(field Version) $(field Section) $(field Priority)"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "no maintainer or description"
for lib in 'libc6 (>=' 'libstdc++6 (>=' 'libqt6widgets6 (>=' 'libqt6gui6 (>='; do
    [[ "$(field Depends)" == *"$lib"* ]] || fail "Depends lacks $lib: $(field Depends)"
done

# What no check below opens is at least there; the examples are counted where the program
# copies them.
root="$tmp/root" meta=/usr/share/metainfo/org.example.orbimo.metainfo.xml
dpkg-deb -x "$deb" "$root"
for f in /usr/share/icons/hicolor/scalable/apps/orbimo.svg /usr/share/man/{,ru/}man1/orbimo.1.gz \
         /usr/share/doc/orbimo/{copyright,changelog.gz}; do
    [ -s "$root$f" ] || fail "not in the package: $f"
done
shipped=$(ls "$examples"/*.sav | wc -l)
# A hardened build (ORBIMO_HARDEN): lintian checks relro and immediate binding below, the stack
# protector shows in the programs, fortification (whose tag lintian cannot tell here, see
# packaging/lintian-overrides) in every compile command.
for b in orbimo orbimo-batch; do
    file -b "$root/usr/bin/$b" | grep -q ', stripped' || fail "$b is not stripped"
    # Read whole: grep -q stopping early would break nm's pipe, which pipefail reports as failure.
    undefined=$(nm -D -u "$root/usr/bin/$b")
    [ "$hardened" != 1 ] || grep -q ' __stack_chk_fail@' <<<"$undefined" || fail "$b: no stack protector"
done
commands="$build/compile_commands.json"
[ "$hardened" != 1 ] || [ "$(grep -c '"command":' "$commands")" = "$(grep -c -- -D_FORTIFY_SOURCE= "$commands")" ] ||
    fail "not every file is compiled with _FORTIFY_SOURCE"
for s in 48 128; do
    file -b "$root/usr/share/icons/hicolor/${s}x$s/apps/orbimo.png" | grep -q "PNG image data, $s x $s" ||
        fail "the ${s}x$s icon is not $s px"
done
desktop-file-validate "$root/usr/share/applications/orbimo.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root$meta" || fail "appstreamcli validate"
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$root$meta")
[ -f "$root/usr/share/applications/$launchable" ] || fail "the metainfo launches «$launchable»: not packaged"
grep -qF "<release version=\"$version\"" "$root$meta" || fail "no release $version in the metainfo"

lintian --display-info "$deb" 2>&1 | tee "$tmp/lintian.log" || true
grep -q '^E: ' "$tmp/lintian.log" && fail "lintian reports errors"
grep -E 'binary-has-unneeded-section' "$tmp/lintian.log" && fail "lintian: sections a package strips"
[ "$hardened" = 1 ] && grep -E 'hardening-' "$tmp/lintian.log" && fail "lintian: not hardened"

runner="$root/usr/bin/orbimo-batch"
[ "$("$runner" --version)" = "orbimo-batch $version" ] || fail "--version: $("$runner" --version)"
# Every option that `orbimo-batch --help` lists ("  -h, --help", "  --ticks N") is described in
# each of its manual pages.
options=$("$runner" --help | grep -E '^  -' | grep -oE '(^|[ ,])--?[a-z][-a-z]*' | tr -d ' ,' | sort -u)
[ "$(wc -l <<<"$options")" -ge 8 ] || fail "too few options in --help: $options"
for page in "$root"/usr/share/man/{,ru/}man1/orbimo-batch.1.gz; do
    text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -E UTF-8 -l "$page" 2>/dev/null | col -bx)
    [ -n "$text" ] || fail "$page does not render"
    for o in $options; do grep -qE -- "(^|[^-a-z])$o([^-a-z]|$)" <<<"$text" || fail "$page lacks $o"; done
done
eight="$root/usr/share/orbimo/Save/Восьмёрка трёх тел.sav"
"$runner" "$eight" --ticks 5000 --quiet --out "$tmp/eight.sav" || fail "the packaged runner failed"
[ -s "$tmp/eight.sav" ] && ! cmp -s "$eight" "$tmp/eight.sav" || fail "the runner's result is no run"

# first_start HOME COMMAND...: the program's first start with that HOME copies the examples into
# the user's data folder, and choosing the first one in «Система:» writes the state file there.
first_start() {
    local data="$1/.local/share/orbimo" copied caption
    start_app env HOME="$1" XDG_DATA_HOME= "${@:2}"
    copied=$(ls "$data/Save"/*.sav 2>/dev/null | wc -l || true)
    open_params
    choose_first_system  # «Внешние планеты»
    caption=$(item "$data/Orbimo.sav" 8 || true)
    stop_app
    [ "$copied" -eq "$shipped" ] || fail "${*: -1}: $copied of $shipped examples in the data folder"
    [ "$caption" = '"Юпитер"' ] || fail "${*: -1}: no state file of the chosen system in the data folder"
}

# Taken out of the package read-only and started by a user who cannot write there (nobody when
# the test runs as root).
home="$tmp/home"
mkdir -p "$home" && chmod 755 "$tmp"
as_user=()
if [ "$(id -u)" = 0 ]; then
    chown nobody "$home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
chmod -R a-w "$root"
start_x 1024x768 -ac  # open to every local user, nobody too
first_start "$home" "${as_user[@]}" "$root/usr/bin/orbimo"
[ ! -e "$root/usr/bin/Orbimo.sav" ] && [ ! -e "$root/usr/bin/Save" ] || fail "wrote beside itself"
chmod -R u+w "$root"

# Installed by dpkg into a writable root of its own and started there as root (CI's user; whoever
# runs the test otherwise) with a fresh HOME, it still writes nothing beside itself: the examples
# and the state file go to the user's data folder, so removing and purging the package leave
# nothing but dpkg's own records, as `apt remove` and `apt purge` would on the system.
fake="$tmp/fake"
mkdir -p "$fake"/var/lib/dpkg/{info,updates,triggers} && touch "$fake/var/lib/dpkg/status"
outside_db() { find "$fake" -path "$fake/var/lib/dpkg" -prune -o -print | sort; }
empty=$(outside_db)
in_fake() {
    PATH="$PATH:/usr/sbin:/sbin" dpkg --root="$fake" --log="$tmp/dpkg-events.log" --force-not-root \
        --force-depends "$@" >>"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log" >&2; fail "dpkg $*"; }
}
in_fake --install "$deb"
touch "$tmp/started"
first_start "$tmp/root-home" "$fake/usr/bin/orbimo"
written=$(find "$fake" -newer "$tmp/started")
[ -z "$written" ] || fail "wrote under its prefix: $written"
for action in --remove --purge; do
    in_fake "$action" orbimo
    [ "$(outside_db)" = "$empty" ] || fail "dpkg $action leaves: $(comm -13 <(echo "$empty") <(outside_db))"
done
