#!/usr/bin/env bash
# Every option that `orbimo-batch --help` lists is described in each of its manual pages.
set -euo pipefail
runner="$1"
shift
# The help's option rows start with two spaces and a dash: "  -h, --help", "  --ticks N".
options=$("$runner" --help | grep -E '^  -' | grep -oE '(^|[ ,])--?[a-z][-a-z]*' | tr -d ' ,' | sort -u)
[ "$(wc -l <<<"$options")" -ge 8 ] || { echo "FAIL: too few options in --help: $options" >&2; exit 1; }
fail=0
for page in "$@"; do
    text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -E UTF-8 -l "$page" 2>/dev/null | col -bx)
    [ -n "$text" ] || { echo "FAIL: $page does not render" >&2; exit 1; }
    for o in $options; do
        grep -qE -- "(^|[^-a-z])$o([^-a-z]|$)" <<<"$text" || { echo "FAIL: $page lacks $o" >&2; fail=1; }
    done
done
[ $fail = 0 ] && echo "in $# manual pages: $(echo $options)"
exit $fail
