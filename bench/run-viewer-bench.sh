#!/usr/bin/env bash
# bash bench/run-viewer-bench.sh [MEGABYTES]   (default: 100)
#
# Opens a generated Windows-1251 dictionary in the viewer's main window (offscreen),
# as the user would, several times, and writes the medians against the budgets and
# against peers measured in the same runs to bench/VIEWER-RESULTS.md (or $RESULTS).
# Environment: RUNS (default 3), RESULTS.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
megabytes=${1:-100}
runs=${RUNS:-3}
results=${RESULTS:-$root/bench/VIEWER-RESULTS.md}
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
export DARVENA_MACHINE=${BENCH_DIR:-/tmp/darvena-bench}/machine

if ! command -v rg >/dev/null 2>&1; then
  if [ "$(id -u)" -eq 0 ]; then as_root=(); else as_root=(sudo); fi
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq ripgrep
fi
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDARVENA_WERROR=ON >/dev/null
fi
cmake --build build --parallel 2 --target viewer_bench >/dev/null

lines=()
for ((i = 0; i < runs; i++)); do
  lines+=("$(build/bin/viewer_bench "$megabytes" 2>/dev/null | sed -n 's/^result //p')")
done

# median NAME: the median over the runs of the field NAME.
median() {
  printf '%s\n' "${lines[@]}" | tr ' ' '\n' | sed -n "s/^$1=//p" | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

load=$(median load) filter=$(median filter) oneword=$(median oneword) peak=$(median peak)
iconv=$(median iconv) rg=$(median rg) rg2=$(median rg2)
cpu_model=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
{
  echo "# The viewer's window on a large document"
  echo
  echo "A run of \`bash bench/run-viewer-bench.sh $megabytes\` on $(date -u '+%Y-%m-%d %H:%M UTC'):"
  echo "a generated $megabytes MB Windows-1251 dictionary opened in the main window (offscreen)"
  echo "and filtered there, medians of $runs runs. Machine: $(nproc) cores ($cpu_model)."
  echo
  echo "| phase | the window (s) | peer | peer (s) | ratio | budget | of the budget |"
  echo "| --- | --- | --- | --- | --- | --- | --- |"
  echo "| loading (read, convert, index, count lines) | $load | iconv to UTF-8 | $iconv | $(ratio "$load" "$iconv") | 1.5 s | $(ratio "$load" 1.5) |"
  echo "| two-word run (\"КОТ ПЁС\", paragraphs) | $filter | rg \| rg | $rg2 | $(ratio "$filter" "$rg2") | 0.5 s | $(ratio "$filter" 0.5) |"
  echo "| one-word search over the text | $oneword | rg -i -F -c | $rg | $(ratio "$oneword" "$rg") | 2× rg | $(ratio "$(ratio "$oneword" "$rg")" 2) |"
  echo
  echo "Peak memory of the load and the two-word run, over the empty window: $peak× the"
  echo "file's size (budget 4×)."
} >"$results"
cat "$results"
