#!/usr/bin/env bash
# lcregular-cli beside rg -j1, grep -oP and sed on one generated ~100 MB
# UTF-8 text of mixed Chinese and ASCII lines.
#
#   bench/cli_vs_tools.sh [build-dir] [runs]
#
# Each case runs ours and its peer in turn (ours, peer, ours, peer ...),
# `runs` pairs (default 5) after one warm-up pair. Both sides do the same
# work: the same matches, one a line, written to a file of their own (never
# /dev/null, where GNU grep stops at the first match; no file names, which
# only one side would print). The first pair's outputs are compared, so a
# case whose sides disagree says so. Printed per case: the median wall time
# of each side, the median of the pairwise ratios ours/peer, and the peak
# memory of each side as a multiple of the input's size.
set -euo pipefail
build=${1:-build}
runs=${2:-5}
cli=$(realpath "$build/cli/lcregular-cli")
[ -x "$cli" ] || { echo "build $cli first" >&2; exit 2; }
for tool in rg grep sed /usr/bin/time; do
  command -v "$tool" > /dev/null || { echo "missing $tool (scripts/install-deps.sh)" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
text=$work/text.txt
export LC_ALL=C.UTF-8

# 545,000 lines of about 190 bytes: numbers, a date, an address, Chinese.
awk 'BEGIN { for (i = 0; i < 545000; i++)
  printf "%d 联系人张三丰，部门：研发中心 电话 010-%d 邮箱 user%d@example%d.com 备注：请在周五前回复，谢谢 日期 2024-%02d-%02d order-%d status ok\n",
         i, 10000000 + i, i, i % 97, i % 12 + 1, i % 28 + 1, i * 7 }' > "$text"
size_kb=$(( $(stat -c %s "$text") / 1024 ))

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# run NAME OUT COMMAND: one timed run, its output to OUT; prints "seconds peak-KB".
run() {
  local out=$1; shift
  local t0 t1
  t0=$(date +%s%N)
  /usr/bin/time -f %M -o "$work/peak" "$@" > "$out"
  t1=$(date +%s%N)
  echo "$(( t1 - t0 ))e-9 $(cat "$work/peak")"
}

# bench NAME "OURS" "PEER" (each one shell command line reading $text)
bench() {
  local name=$1 ours=$2 peer=$3
  : > "$work/times"
  run "$work/a" sh -c "$ours" > /dev/null  # warm-up, and the outputs compared
  run "$work/b" sh -c "$peer" > /dev/null
  local same=same
  cmp -s "$work/a" "$work/b" || same="OUTPUTS DIFFER"
  for _ in $(seq "$runs"); do
    read -r ta pa < <(run "$work/a" sh -c "$ours")
    read -r tb pb < <(run "$work/b" sh -c "$peer")
    echo "$ta $tb $pa $pb" >> "$work/times"
  done
  local ma mb ratio peaka peakb
  ma=$(awk '{ print $1 }' "$work/times" | median)
  mb=$(awk '{ print $2 }' "$work/times" | median)
  ratio=$(awk '{ printf "%.6f\n", $1 / $2 }' "$work/times" | median)
  peaka=$(awk '{ print $3 }' "$work/times" | median)
  peakb=$(awk '{ print $4 }' "$work/times" | median)
  printf '%-34s ours %7.3f s  peer %7.3f s  ours/peer %5.2f  peak ours %.2fx peer %.2fx input  (%s)\n' \
    "$name" "$ma" "$mb" "$ratio" "$(echo "$peaka / $size_kb" | bc -l)" \
    "$(echo "$peakb / $size_kb" | bc -l)" "$same"
}

echo "input: $(du -h "$text" | cut -f1), $runs pairs per case; medians"
t=$text
bench "literal vs rg -j1" "$cli extract -e 研发中心 $t" "rg -j1 -o 研发中心 $t"
bench "alternation vs rg -j1" "$cli extract -e '周五|研发中心|status' $t" \
  "rg -j1 -o '周五|研发中心|status' $t"
bench "literal vs grep -oP" "$cli extract -e 研发中心 $t" "grep -oP 研发中心 $t"
bench '\d+ vs grep -oP' "$cli extract -e '\d+' $t" "grep -oP '\d+' $t"
bench '[\u4e00-\u9fa5]+ vs grep -oP' "$cli extract -e '[\u4e00-\u9fa5]+' $t" \
  "grep -oP '[\x{4e00}-\x{9fa5}]+' $t"
bench '\w+@\w+\.\w+ vs grep -oP' "$cli extract -e '\w+@\w+\.\w+' $t" "grep -oP '\w+@\w+\.\w+' $t"
bench 'date groups vs grep -oP' "$cli extract -e '(\d{4})-(\d{2})-(\d{2})' $t" \
  "grep -oP '(\d{4})-(\d{2})-(\d{2})' $t"
bench "replace literal vs sed" "$cli replace -a -e 研发中心 -r 开发部 $t" "sed 's/研发中心/开发部/g' $t"
bench "replace date vs sed -E" "$cli replace -a -e '(\d{4})-(\d{2})-(\d{2})' -r '\$3/\$2/\$1' $t" \
  "sed -E 's#([0-9]{4})-([0-9]{2})-([0-9]{2})#\\3/\\2/\\1#g' $t"
