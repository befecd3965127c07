#!/usr/bin/env bash
# Batch extract and batch replace side by side with ripgrep and sed.
#
#   bench/batch_vs_tools.sh [BUILD_DIR] [RUNS]     (default: build, 3 runs)
#
# A generated folder of 1,000 files, 100 MB in all, a third each GB18030,
# UTF-8 without a mark and UTF-16LE with its mark (batch_run_bench
# --generate), and the same texts as UTF-8 for the tools that read UTF-8
# only. Timed, best of RUNS, each after a warm-up run, every tool writing
# fresh output:
#   extract   \d{4}-\d{2}-\d{2}, one line per match
#     ours:   lcregular-cli batch-extract -e PATTERN FOLDER (one output file per source)
#     rg:     rg -o -j1 PATTERN FOLDER > file
#   replace   (\d{4})-(\d{2})-(\d{2}) by day/month/year, every match
#     ours:   lcregular-cli batch-replace -a -e PATTERN -r '$3/$2/$1' FOLDER
#     sed:    LC_ALL=C sed -E -s 's/.../\3\/\2\/\1/g' FILES > file
# MB/s counts each tool's own input (the mixed files for ours, the UTF-8
# copies for the others); the ratio is ours over theirs. Until
# lcregular-cli has the batch commands, ours is the same run through
# batch_run_bench --run (list, read, convert, match, write), which the
# command-line tool wraps.
#
# Needs the Debian packages ripgrep and sed.
set -euo pipefail

build=${1:-build}
runs=${2:-3}
root=$(cd "$(dirname "$0")/.." && pwd)
[[ $build = /* ]] || build="$root/$build"
bench="$build/bench/batch_run_bench"
cli="$build/cli/lcregular-cli"
command -v rg > /dev/null || { echo "ripgrep is missing (apt-get install ripgrep)" >&2; exit 2; }
[[ -x $bench ]] || { echo "build $bench first (ninja -C $build batch_run_bench)" >&2; exit 2; }

work=$(mktemp -d /tmp/lcr_batch_vs_tools_XXXXXX)
trap 'rm -rf "$work"' EXIT
"$bench" --generate="$work"
mixed="$work/mixed"
utf8="$work/utf8"
date='\d{4}-\d{2}-\d{2}'
groups='(\d{4})-(\d{2})-(\d{2})'

if [[ -x $cli ]] && "$cli" --help 2> /dev/null | grep -q batch-extract; then
    ours="lcregular-cli"
    ours_extract() { "$cli" batch-extract -e "$date" "$mixed" > /dev/null 2>&1; }
    ours_replace() { "$cli" batch-replace -a -e "$groups" -r '$3/$2/$1' "$mixed" > /dev/null 2>&1; }
else
    ours="batch_run_bench --run (lcregular-cli has no batch commands yet)"
    ours_extract() { "$bench" --corpus="$work" --run=extract; }
    ours_replace() { "$bench" --corpus="$work" --run=replace; }
fi
rg_extract() { rg -o -j1 "$date" "$utf8" > "$work/rg.out"; }
sed_replace() {
    LC_ALL=C sed -E -s 's/([0-9]{4})-([0-9]{2})-([0-9]{2})/\3\/\2\/\1/g' "$utf8"/* > "$work/sed.out"
}
clean() { rm -rf "$mixed/批量提取结果" "$mixed/批量替换结果" "$work/rg.out" "$work/sed.out"; }

# Best wall time of `runs` runs of a function, in seconds.
best_of() {
    local best="" start end t
    clean
    "$1"  # warm-up
    for ((r = 0; r < runs; ++r)); do
        clean
        start=$(date +%s%N)
        "$1"
        end=$(date +%s%N)
        t=$((end - start))
        if [[ -z $best || $t -lt $best ]]; then best=$t; fi
    done
    awk -v ns="$best" 'BEGIN { printf "%.3f", ns / 1e9 }'
}

bytes() { du -sb --apparent-size "$1" | cut -f1; }
mixed_bytes=$(find "$mixed" -maxdepth 1 -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
utf8_bytes=$(bytes "$utf8")
rate() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.1f", b / 1e6 / s }'; }

t_ours_x=$(best_of ours_extract)
ours_lines=$(cat "$mixed/批量提取结果"/* | wc -l)
t_rg=$(best_of rg_extract)
rg_lines=$(wc -l < "$work/rg.out")
t_ours_r=$(best_of ours_replace)
t_sed=$(best_of sed_replace)

r_ours_x=$(rate "$mixed_bytes" "$t_ours_x")
r_rg=$(rate "$utf8_bytes" "$t_rg")
r_ours_r=$(rate "$mixed_bytes" "$t_ours_r")
r_sed=$(rate "$utf8_bytes" "$t_sed")

echo "ours: $ours"
echo "files: $(find "$mixed" -maxdepth 1 -type f | wc -l), mixed $mixed_bytes bytes, UTF-8 copies $utf8_bytes bytes, best of $runs"
printf '%-26s %8s %10s\n' "run" "seconds" "MB/s"
printf '%-26s %8s %10s\n' "extract, ours" "$t_ours_x" "$r_ours_x"
printf '%-26s %8s %10s\n' "extract, rg -o -j1" "$t_rg" "$r_rg"
printf '%-26s %8s %10s\n' "replace, ours" "$t_ours_r" "$r_ours_r"
printf '%-26s %8s %10s\n' "replace, sed -E" "$t_sed" "$r_sed"
awk -v a="$r_ours_x" -v b="$r_rg" -v c="$r_ours_r" -v d="$r_sed" 'BEGIN {
    printf "extract: ours / rg  = %.2f (target >= 0.5)\n", a / b
    printf "replace: ours / sed = %.2f (target > 1)\n", c / d }'
echo "matches: ours $ours_lines lines, rg $rg_lines lines"
