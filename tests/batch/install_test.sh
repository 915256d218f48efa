#!/usr/bin/env bash
# `cmake --install` puts the program, the runner, the example systems, the desktop entry and
# the icon in place, and the installed runner runs an installed example.
set -euo pipefail
build="$1"
tmp=$(mktemp -d /tmp/orbimo-install.XXXXXX)
cleanup() { rm -rf "$tmp"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/usr" >/dev/null
prefix="$tmp/usr"
for f in bin/orbimo bin/orbimo-batch share/applications/orbimo.desktop \
         share/icons/hicolor/scalable/apps/orbimo.svg; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
[ -x "$prefix/bin/orbimo" ] && [ -x "$prefix/bin/orbimo-batch" ] || fail "not executable"
examples=$(ls "$prefix/share/orbimo/Save"/*.sav | wc -l)
[ "$examples" -ge 8 ] || fail "only $examples example systems installed"
grep -qx 'Exec=orbimo' "$prefix/share/applications/orbimo.desktop" || fail "Exec"
grep -qx 'Icon=orbimo' "$prefix/share/applications/orbimo.desktop" || fail "Icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/orbimo.desktop"
fi
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/orbimo.svg" || fail "icon is no SVG"

"$prefix/bin/orbimo-batch" "$prefix/share/orbimo/Save/Восьмёрка трёх тел.sav" --quiet \
    --out "$tmp/eight.sav" || fail "the installed runner failed"
[ -s "$tmp/eight.sav" ] || fail "no result from the installed runner"

echo "installed: program, runner, $examples example systems, desktop entry, icon"
