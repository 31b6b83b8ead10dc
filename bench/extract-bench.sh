#!/usr/bin/env bash
# Extraction speed against peer tools. Builds two deflated archives in a
# scratch folder (a tree of many files, and one large entry), extracts each
# with this engine, unzip, 7zz x and bsdtar -x, and prints each tool's time
# and its ratio to the engine's. Sizes in MB: TREE_MB (default 200) and
# SINGLE_MB (default 1024). Run from a built native tree:
#   bench/extract-bench.sh [build/native]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
engine=$build/bin/extract_bench
[ -x "$engine" ] || { echo "build extract_bench first ($engine)" >&2; exit 2; }
tree_mb=${TREE_MB:-200}
single_mb=${SINGLE_MB:-1024}
work=$(mktemp -d "${TMPDIR:-/tmp}/extract-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Text-like data that deflates about as source files do.
python3 - "$work/tree" "$work/single" "$tree_mb" "$single_mb" <<'PY'
import os, random, sys
tree, single, tree_mb, single_mb = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
rng = random.Random(1)
words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 10))) for _ in range(5000)]
def text(size):
    out, n = [], 0
    while n < size:
        line = b" ".join(rng.choice(words) for _ in range(12)) + b"\n"
        out.append(line); n += len(line)
    return b"".join(out)[:size]
block = text(8 << 20)
left, i = tree_mb << 20, 0
while left > 0:
    size = min(left, rng.choice([2000, 20000, 20000, 200000, 200000, 2000000]))
    path = os.path.join(tree, "d%02d" % (i % 40), "f%05d.txt" % i)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    start = rng.randrange(len(block) - size) if size < len(block) else 0
    open(path, "wb").write(block[start:start + size])
    left -= size; i += 1
os.makedirs(single, exist_ok=True)
with open(os.path.join(single, "large.bin"), "wb") as f:
    for _ in range(single_mb // 8): f.write(block)
print("tree files:", i)
PY
(cd "$work/tree" && zip -q -r -1 "$work/tree.zip" .)
(cd "$work/single" && zip -q -1 "$work/single.zip" large.bin)

run() {  # name, command...: prints seconds
  local name=$1; shift
  rm -rf "$work/out"; mkdir -p "$work/out"
  local t0 t1
  t0=$(date +%s.%N); "$@" >/dev/null 2>&1; t1=$(date +%s.%N)
  echo "$t1 - $t0" | bc
}

for archive in tree single; do
  zipfile=$work/$archive.zip
  echo "== $archive.zip: $(du -m "$zipfile" | cut -f1) MB packed"
  engine_out=$(rm -rf "$work/out"; mkdir -p "$work/out"; "$engine" "$zipfile" "$work/out")
  engine_s=$(echo "$engine_out" | awk '/^seconds/ {print $2}')
  printf '  %-8s %8.2f s  (peak %s KiB)\n' engine "$engine_s" "$(echo "$engine_out" | awk '/^peak_kib/ {print $2}')"
  for tool in unzip 7zz bsdtar; do
    case $tool in
      unzip) s=$(run unzip unzip -q -o "$zipfile" -d "$work/out") ;;
      7zz) s=$(run 7zz 7zz x -y -bso0 -bsp0 "-o$work/out" "$zipfile") ;;
      bsdtar) s=$(run bsdtar bsdtar -x -f "$zipfile" -C "$work/out") ;;
    esac
    printf '  %-8s %8.2f s  engine/%s = %.2f\n' "$tool" "$s" "$tool" "$(echo "$engine_s / $s" | bc -l)"
  done
done
