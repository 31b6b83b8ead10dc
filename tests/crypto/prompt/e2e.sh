#!/usr/bin/env bash
# The engine's own password window end to end: PasswordPromptHost extracts
# peer-made encrypted archives with no password and no handler under Wine on
# an Xvfb screen of its own, and xdotool answers the real windows:
#   1. AES-256 (7zz): a wrong password, the window again, the right one;
#   2. classic (zip -P): Esc on the first entry's window, which skips that
#      entry quietly, then the right password on the next entry's.
# The extracted files are compared with 7zz's own extraction. Screenshots
# and the host's reports are kept in OUT.
#
#   e2e.sh PasswordPromptHost.exe FIXTURE-FOLDER OUT
set -euo pipefail
host=$(realpath "$1") fixtures=$(realpath "$2") out=$(realpath -m "$3")
root=$(cd "$(dirname "$0")/../../.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wine} WINEDEBUG=-all
im=/usr/bin  # Debian's ImageMagick
password='Pa55 word'

rm -rf "$out"
mkdir -p "$out"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { # description, then a command that must succeed
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else fail "$what"; fi
}

host_pid=
xvfb_pid=
cleanup() {
  [ -n "$host_pid" ] && kill "$host_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# A screen of its own, so that no other suite's window takes the keys; the
# server picks a free display number itself.
Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$out/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.1; done
[ -s "$out/display" ] || { fail "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n 1 "$out/display")"
"$root/scripts/wine-exec" --prepare
wineserver -p30 2>/dev/null || true

winpath() { local p=${1//\//\\}; echo "Z:$p"; }

start_host() { # archive, output folder, report file
  "$root/scripts/wine-exec" "$host" "$(winpath "$fixtures/$1")" "$(winpath "$2")" >"$3" 2>&1 &
  host_pid=$!
}

finish_host() { # report file; the host's exit status
  local status=0
  wait "$host_pid" || status=$?
  host_pid=
  tr -d '\r' <"$1" >"$1.txt"
  return "$status"
}

# The visible window with this title (a regex).
prompt() {
  local w
  for _ in $(seq 600); do
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$w" ] && echo "$w" && return 0
    sleep 0.1
  done
  return 1
}

# Types into the window and presses a key, then waits until it has closed:
# the next window may carry the same title, and X may even give it the same id.
answer() { # window, text to type ("" for none), key
  xdotool windowfocus --sync "$1"
  [ -z "$2" ] || xdotool type --delay 30 "$2"
  xdotool key "$3"
  for _ in $(seq 300); do
    xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.1
  done
  fail "window $1 stayed open"
}

# ---- 1. AES-256: a wrong password, then the right one
mkdir -p "$out/ref-aes"
7zz x -bso0 -bsp0 "-p$password" "-o$out/ref-aes" "$fixtures/7zz-aes256.zip"
start_host 7zz-aes256.zip "$out/aes" "$out/aes-report"
title='^Password for "docs.numbers\.txt"$'
if ! w=$(prompt "$title"); then
  fail "the password window never appeared"
  "$im/import" -window root "$out/no-window.png" || true
  exit 1
fi
"$im/import" -window root "$out/password-window.png"
check "the caption names the entry" test "$(xdotool getwindowname "$w")" = 'Password for "docs\numbers.txt"'
answer "$w" "wrong pass" Return
if w=$(prompt "$title"); then
  echo "ok: a wrong password opens the window again"
  answer "$w" "$password" Return
else
  fail "no second window after a wrong password"
fi
finish_host "$out/aes-report" || fail "the AES host ended with an error"
cat "$out/aes-report.txt"
check "two queries, both answered with OK" test "$(grep -c '^query Password for "docs\\numbers.txt" -> ok$' "$out/aes-report.txt")" = 2
check "no other query and no failure" test "$(grep -c -e '^query' -e '^failure' "$out/aes-report.txt")" = 2
check "the host finished" grep -qx done "$out/aes-report.txt"
check "the files are 7zz's" diff -r "$out/ref-aes" "$out/aes"

# ---- 2. classic: Esc skips the first entry, the next one asks again
mkdir -p "$out/ref-classic"
7zz x -bso0 -bsp0 "-p$password" "-o$out/ref-classic" "$fixtures/infozip-classic.zip"
start_host infozip-classic.zip "$out/classic" "$out/classic-report"
if w=$(prompt '^Password for "hello\.txt"$'); then
  answer "$w" "" Escape
else
  fail "no window for hello.txt"
fi
if w=$(prompt '^Password for "docs.random\.bin"$'); then
  answer "$w" "$password" Return
else
  fail "no window for the entry after the skipped one"
fi
finish_host "$out/classic-report" || fail "the classic host ended with an error"
cat "$out/classic-report.txt"
check "Esc cancelled the first query" grep -qx 'query Password for "hello.txt" -> cancel' "$out/classic-report.txt"
check "no failure for the skipped entry" bash -c "! grep -q '^failure' \"\$1\"" _ "$out/classic-report.txt"
check "the host finished" grep -qx done "$out/classic-report.txt"
check "the skipped entry left no file" test ! -e "$out/classic/hello.txt"
rm "$out/ref-classic/hello.txt"
check "the other files are 7zz's" diff -r "$out/ref-classic" "$out/classic"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed; screenshots in $out" >&2
  exit 1
fi
echo "all checks passed; screenshots in $out"
