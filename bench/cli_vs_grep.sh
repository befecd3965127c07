#!/usr/bin/env bash
# lcregular-cli extract beside grep -oP on the same 10 MB text and pattern:
# best of five runs each, and their ratio.
#
#   bench/cli_vs_grep.sh [build-dir]
set -euo pipefail
build=${1:-build}
cli=$build/cli/lcregular-cli
[ -x "$cli" ] || { echo "build $cli first" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
text=$work/mail.txt

# 100,000 lines of about 100 characters, one address each.
awk 'BEGIN { for (i = 0; i < 100000; i++)
  printf "%d 联系人张三丰，部门：研发中心 电话 010-%d 邮箱 user%d@example%d.com 备注：请在周五前回复，谢谢 order-%d status ok\r\n",
         i, 10000000 + i, i, i % 97, i * 7 }' > "$text"
pattern='(\w+)@(\w+)\.com'

best() {  # best wall time in ms of five runs of "$@"
  local best=999999999 t0 t1 ms
  for _ in 1 2 3 4 5; do
    t0=$(date +%s%N); "$@" > /dev/null; t1=$(date +%s%N)
    ms=$(( (t1 - t0) / 1000000 )); [ $ms -lt $best ] && best=$ms
  done
  echo $best
}

ours=$(best "$cli" extract -e "$pattern" "$text")
grep_ms=$(best grep -oP "$pattern" "$text")
echo "text: $(du -h "$text" | cut -f1), $(grep -cP "$pattern" "$text") lines with a match"
echo "lcregular-cli extract: $ours ms"
echo "grep -oP:              $grep_ms ms"
awk -v a="$ours" -v b="$grep_ms" 'BEGIN { printf "ratio (ours / grep): %.2f\n", a / (b > 0 ? b : 1) }'
