#!/usr/bin/env bash
# The real vunzip executable, started a few times: UTF-8 or UTF-16 arguments,
# pipes for its standard streams, exit statuses. Everything else runs
# in-process in cli_tests. Usage: smoke.sh VUNZIP [EMULATOR]
set -uo pipefail
vunzip=$1
shift
emu=("$@")
work=$(mktemp -d "${TMPDIR:-/tmp}/vunzip-smoke.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # description, expected, actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]" >&2
    failures=$((failures + 1))
  fi
}
v() { timeout 60 "${emu[@]}" "$vunzip" "$@"; }

python3 - "$work/unicode.zip" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("Grüße/日本語.txt", "unicode\n")
PY

out=$(v -l zip/infozip-comment.zip </dev/null | tr -d '\r' | tail -1)
check "-l totals" "     8906                     3 files" "$out"
v -l "$work/missing.zip" </dev/null >/dev/null 2>&1
check "missing archive" 9 $?
v -Z zip/infozip-comment.zip </dev/null >/dev/null 2>&1
check "bad option" 10 $?

names=$(v -1 "$work/unicode.zip" </dev/null | tr -d '\r')
check "-1 prints UTF-8" "Grüße/日本語.txt" "$names"

dest="$work/Zïel 日本"
v -q -d "$dest" "$work/unicode.zip" </dev/null
check "extract to a Unicode folder" 0 $?
check "extracted content" "unicode" "$(cat "$dest/Grüße/日本語.txt" 2>/dev/null)"
echo mine > "$dest/Grüße/日本語.txt"
# stdin is no terminal: the existing file is kept, nothing waits for an answer.
v -d "$dest" "$work/unicode.zip" </dev/null >/dev/null 2>"$work/err"
check "kept without a terminal" 1 $?
check "kept content" "mine" "$(cat "$dest/Grüße/日本語.txt")"
grep -q "exists" "$work/err" || { echo "FAIL: no warning for the kept file" >&2; failures=$((failures + 1)); }

[ $failures -eq 0 ] && echo "vunzip smoke: all checks passed"
exit $((failures > 0))
