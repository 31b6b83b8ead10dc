#!/usr/bin/env bash
# run-fuzzer.sh FUZZER CORPUS SECONDS SEED_DIR...
# Runs FUZZER for SECONDS on a working corpus made from the seed folders
# (files up to 256 KiB) and the regression inputs, which it first replays.
set -euo pipefail
fuzzer=$1 corpus=$2 seconds=$3
shift 3
mkdir -p "$corpus"
for seeds in "$@"; do
  [ -d "$seeds" ] || continue
  find "$seeds" -maxdepth 1 -type f -size -256k -exec cp -n {} "$corpus/" \;
done
"$fuzzer" -max_total_time="$seconds" -max_len=262144 -rss_limit_mb=1024 -timeout=20 \
  -print_final_stats=1 "$corpus" 2>&1 | tail -n 25
