#!/usr/bin/env bash
# Rebuilds the archives the tests read, with the peer tools that made them.
# The results are committed; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Info-ZIP zip: two entries, one in a folder, and an archive comment.
mkdir -p "$work/src/docs"
printf 'hello, world\n' > "$work/src/hello.txt"
seq 1 2000 > "$work/src/docs/numbers.txt"
touch -d "2024-05-06 07:08:10" "$work/src/hello.txt" "$work/src/docs/numbers.txt" "$work/src/docs"
rm -f zip/infozip-comment.zip
(cd "$work/src" && echo 'fixture comment' | zip -q -X -z -r "$OLDPWD/zip/infozip-comment.zip" hello.txt docs)
