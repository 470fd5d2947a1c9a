#!/usr/bin/env bash
# Runs one fuzz target for a time, starting from the seeds in the repository (which it
# leaves as they are), and prints how many inputs it ran.
# Usage: run-fuzz.sh TARGET SEED_DIR SECONDS
set -euo pipefail
target=$1 seeds=$2 seconds=$3
[ -x "$target" ] || { echo "FAIL: $target not built (build the fuzz preset)"; exit 1; }
work=$(mktemp -d /tmp/cv-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
if "$target" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$work/" "$work" "$seeds" >"$work/log" 2>&1; then
    echo "ok: $(basename "$target"): $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$work/log")"
else
    tail -40 "$work/log"
    for crash in "$work"/crash-* "$work"/leak-* "$work"/timeout-*; do
        [ -e "$crash" ] && { echo "input: $crash"; od -c "$crash" | head -20; }
    done
    echo "FAIL: $(basename "$target") found a fault"
    exit 1
fi
