#!/usr/bin/env bash
# The installed command's folder rule, driven as a desktop would: a fresh HOME, started
# from /, on the offscreen platform. Usage: launcher_test.sh <launcher> <examples folder>
set -euo pipefail
launcher="$(realpath "$1")"
examples="$(realpath "$2")"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Runs the launcher from / with only the given environment until the user table appears in
# `folder` (the program then waits in its first-run message), and stops it there.
start_until_tables() {
    local folder="$1"
    shift
    (cd / && exec env -i PATH="$PATH" QT_QPA_PLATFORM=offscreen "$@" "$launcher") \
        >"$scratch/out" 2>&1 &
    local pid=$! tries=0
    until [ -s "$folder/User.dbf" ] || [ $tries -ge 300 ]; do
        kill -0 $pid 2>/dev/null || break
        sleep 0.1
        tries=$((tries + 1))
    done
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
    [ -s "$folder/User.dbf" ] || { fail "no User.dbf in $folder"; cat "$scratch/out" >&2; }
}

mode() { stat -c %a "$1"; }

# A first start: the folder is made owner-only, under ~/.local/share (a relative
# XDG_DATA_HOME does not count), and gets both examples byte for byte.
home="$scratch/home"
mkdir -p "$home"
data="$home/.local/share/ombrelay"
ls -A / >"$scratch/root-before"
start_until_tables "$data" HOME="$home" XDG_DATA_HOME=relative/share
[ "$(mode "$data")" = 700 ] || fail "the new data folder has mode $(mode "$data")"
for name in 'Template.txt' 'Email Test Template.txt'; do
    cmp -s "$examples/$name" "$data/$name" || fail "$name is not the example"
done
ls -A / >"$scratch/root-after"
cmp -s "$scratch/root-before" "$scratch/root-after" || fail "something was written into /"

# An existing folder is never touched: its mode, its edited template and the example the
# user deleted stay as they are.
chmod 750 "$data"
printf 'my own text\r\n' >"$data/Template.txt"
rm "$data/Email Test Template.txt" "$data/User.dbf"
start_until_tables "$data" HOME="$home"
[ "$(mode "$data")" = 750 ] || fail "the existing folder's mode changed to $(mode "$data")"
[ "$(cat "$data/Template.txt")" = $'my own text\r' ] || fail "the user's template changed"
[ ! -e "$data/Email Test Template.txt" ] || fail "a deleted example came back"

# An absolute XDG_DATA_HOME is the place, however deep.
xdg="$scratch/xdg/deeper"
start_until_tables "$xdg/ombrelay" HOME="$home" XDG_DATA_HOME="$xdg"
[ "$(mode "$xdg/ombrelay")" = 700 ] || fail "the XDG_DATA_HOME folder has mode $(mode "$xdg/ombrelay")"

# Options are answered on the terminal, without a display and without making a folder.
empty="$scratch/empty"
mkdir "$empty"
version="$(cd / && env -i PATH="$PATH" HOME="$empty" "$launcher" --version)" ||
    fail "--version failed"
[[ "$version" =~ ^Ombrelay\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version said '$version'"
(cd / && env -i PATH="$PATH" HOME="$empty" "$launcher" --help) | grep -q '^Usage: ombrelay' ||
    fail "--help shows no usage"
status=0
(cd / && env -i PATH="$PATH" HOME="$empty" "$launcher" --frobnicate) 2>"$scratch/err" || status=$?
[ $status = 2 ] && grep -q "frobnicate" "$scratch/err" || fail "an unknown option gave $status"
[ -z "$(ls -A "$empty")" ] || fail "an option made files in HOME"

[ $failures = 0 ] && echo "launcher: all checks passed"
exit $failures
