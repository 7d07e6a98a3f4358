#!/usr/bin/env bash
# bash bench/run-bench.sh [MEGABYTES...]   (default: 1 10)
#
# Sets darvena-filter against grep, ripgrep and perl on generated Windows-1251
# corpora of the given sizes. For every task it first checks that both sides give
# the same lines, then times each side several times in the same run and reports
# the medians and their ratio; the table goes to bench/RESULTS.md (or $RESULTS).
#
# The peers read a UTF-8 copy of each corpus with LF line breaks, the form they
# handle best; darvena-filter reads the Windows-1251 document itself, as the viewer
# does. Environment: RUNS (runs per measurement; default 5, 3 from 100 MB on),
# BENCH_DIR (scratch folder, default /tmp/darvena-bench), RESULTS.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1 10)
work=${BENCH_DIR:-/tmp/darvena-bench}
results=${RESULTS:-$root/bench/RESULTS.md}
export LC_ALL=C.UTF-8
export DARVENA_MACHINE=$work/machine

if ! command -v rg >/dev/null 2>&1; then
  echo "Installing ripgrep, the peer of the line filter"
  if [ "$(id -u)" -eq 0 ]; then as_root=(); else as_root=(sudo); fi
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq ripgrep
fi
for tool in grep perl iconv /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "run-bench: $tool is missing" >&2; exit 1; }
done

if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDARVENA_WERROR=ON >/dev/null
fi
cmake --build build --parallel 2 --target darvena-filter darvena-corpus filter_bench >/dev/null
bin=$root/build/bin
filter=$bin/darvena-filter
mkdir -p "$work"
# The peers of RTF writing and reading: every byte above 127 to \'xx and back.
cat >"$work/escape.pl" <<'PERL'
s/([\x80-\xff])/sprintf("\\'%02x", ord $1)/ge;
PERL
cat >"$work/unescape.pl" <<'PERL'
s/\\'([0-9a-f]{2})/chr hex $1/ge;
PERL

# The keys: one word, two words; frequent enough in the corpus to give work.
one=дом
two="дом кот"

# measure RUNS COMMAND: runs COMMAND (a shell command line) RUNS times, its output
# written to a scratch file; sets wall (median seconds), cpu (median user + system
# seconds) and peak (largest resident set, kilobytes).
measure() {
  local runs=$1 command=$2 walls=() cpus=() peaks=() i real user sys
  for ((i = 0; i < runs; i++)); do
    # Into a file, not /dev/null: GNU grep stops at the first match when it sees
    # that its output goes nowhere.
    { time /usr/bin/time -f %M -o "$work/peak.out" sh -c "$command" \
      >"$work/measure.out" 2>&1; } \
      2>"$work/time.out" || true
    read -r real user sys <"$work/time.out"
    walls+=("$real")
    cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.3f", u + s }')")
    peaks+=("$(cat "$work/peak.out")")
  done
  wall=$(printf '%s\n' "${walls[@]}" | sort -g | sed -n "$(((runs + 1) / 2))p")
  cpu=$(printf '%s\n' "${cpus[@]}" | sort -g | sed -n "$(((runs + 1) / 2))p")
  peak=$(printf '%s\n' "${peaks[@]}" | sort -n | tail -1)
}
TIMEFORMAT='%3R %3U %3S'

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a != "-" && b > 0) printf "%.2f", a / b; else print "-" }'; }

# same NAME FILE_A FILE_B: stops the run when two outputs differ.
same() {
  if ! cmp -s "$2" "$3"; then
    echo "run-bench: $1: darvena-filter and its peer give different lines ($2, $3)" >&2
    exit 1
  fi
  echo "  $1: same $(wc -l <"$2") lines on both sides"
}

rows=()
rates=()
memory=()
# row TASK DARVENA_WALL DARVENA_CPU PEER PEER_WALL PEER_CPU TARGET
row() {
  rows+=("| $size MB | $1 | $2 | $3 | $4 | $5 | $6 | $(ratio "$2" "$5") | $(ratio "$3" "$6") | $7 |")
}

for size in "${sizes[@]}"; do
  runs=${RUNS:-$([ "$size" -ge 100 ] && echo 3 || echo 5)}
  nb=$work/notebook-$size.txt
  dc=$work/dictionary-$size.txt
  echo "== $size MB (medians of $runs runs)"
  [ -f "$nb" ] || "$bin/darvena-corpus" notebook "$size" "$nb"
  [ -f "$dc" ] || "$bin/darvena-corpus" dictionary "$size" "$dc"
  for doc in "$nb" "$dc"; do
    [ -f "${doc%.txt}.u8" ] || iconv -f CP1251 -t UTF-8 "$doc" | tr -d '\r' >"${doc%.txt}.u8"
    cat "$doc" "${doc%.txt}.u8" >/dev/null  # into the page cache
  done
  nbu=${nb%.txt}.u8
  dcu=${dc%.txt}.u8
  bytes=$(stat -c %s "$nb")

  # The same lines first.
  "$filter" -l --color=never "$one" "$nb" >"$work/d1" || true
  rg -i -F "$one" "$nbu" >"$work/r1" || true
  grep -i -F "$one" "$nbu" >"$work/g1" || true
  same "one word, rg" "$work/d1" "$work/r1"
  same "one word, grep" "$work/d1" "$work/g1"
  "$filter" -l --color=never "$two" "$nb" >"$work/d2" || true
  grep -i -F "${two% *}" "$nbu" | grep -i -F "${two#* }" >"$work/g2" || true
  rg -i -F "${two% *}" "$nbu" | rg -i -F "${two#* }" >"$work/r2" || true
  same "two words, grep" "$work/d2" "$work/g2"
  same "two words, rg" "$work/d2" "$work/r2"
  "$filter" -p --color=never "$two" "$dc" | grep -v '^$' >"$work/d3" || true
  perl -CSD -Mutf8 -00 -ne "print if /${two% *}/i && /${two#* }/i" "$dcu" | grep -v '^$' \
    >"$work/p3" || true
  same "paragraphs, perl" "$work/d3" "$work/p3"

  measure "$runs" "'$filter' -l --color=never '$one' '$nb'"
  dw=$wall dc1=$cpu dpeak=$peak
  measure "$runs" "rg -i -F '$one' '$nbu'"
  rw=$wall rc=$cpu rpeak=$peak
  row "one word, lines" "$dw" "$dc1" "rg -i -F" "$rw" "$rc" "≤ 1.5"
  measure "$runs" "grep -i -F '$one' '$nbu'"
  row "one word, lines" "$dw" "$dc1" "grep -i -F" "$wall" "$cpu" ""

  measure "$runs" "'$filter' -l --color=never '$two' '$nb'"
  dw=$wall dc1=$cpu
  measure "$runs" "grep -i -F '${two% *}' '$nbu' | grep -i -F '${two#* }'"
  row "two words, lines" "$dw" "$dc1" "grep \\| grep" "$wall" "$cpu" "< 1"
  measure "$runs" "rg -i -F '${two% *}' '$nbu' | rg -i -F '${two#* }'"
  row "two words, lines" "$dw" "$dc1" "rg \\| rg" "$wall" "$cpu" ""

  measure "$runs" "'$filter' -p --color=never '$two' '$dc'"
  dw=$wall dc1=$cpu
  measure "$runs" "perl -CSD -Mutf8 -00 -ne 'print if /${two% *}/i && /${two#* }/i' '$dcu'"
  row "two words, paragraphs" "$dw" "$dc1" "perl -00" "$wall" "$cpu" "< 1"

  # The stages inside one process, against peers doing a like pass over the file.
  "$bin/filter_bench" "$nb" "$one" "$runs" >"$work/stages"
  stage() { sed -n "s/^$1=//p" "$work/stages" | awk '{ printf "%.3f", $1 }'; }
  perl -p "$work/escape.pl" "$nb" >"$work/escaped"
  measure "$runs" "iconv -f CP1251 -t UTF-8 '$nb'"
  row "loading (read, convert, index)" "$(stage load)" "-" "iconv to UTF-8" "$wall" "$cpu" ""
  measure "$runs" "perl -p '$work/escape.pl' '$nb'"
  row "RTF writing" "$(stage rtf_write)" "-" "perl, escaping" "$wall" "$cpu" ""
  measure "$runs" "perl -p '$work/unescape.pl' '$work/escaped'"
  row "RTF reading" "$(stage rtf_read)" "-" "perl, unescaping" "$wall" "$cpu" ""
  measure "$runs" "rg -c -i -F '$one' '$nbu'"
  search=$(sed -n "s/^search=//p" "$work/stages")
  row "search of one word" "$(awk -v s="$search" 'BEGIN { printf "%.4f", s }')" "-" "rg -c -i -F" "$wall" "$cpu" ""
  rates+=("| $size MB | $(awk -v b="$bytes" -v t="$search" 'BEGIN { printf "%.0f", b / 1048576 / t }') MB/s | $(awk -v b="$bytes" -v t="$wall" 'BEGIN { printf "%.0f", b / 1048576 / t }') MB/s |")
  memory+=("| $size MB | $(ratio "$dpeak" "$((bytes / 1024))") | $(ratio "$rpeak" "$((bytes / 1024))") | < 4 |")
done

cpu_model=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
mem_total=$(awk '/MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo)
{
  echo "# darvena-filter against its peers"
  echo
  echo "A run of \`bash bench/run-bench.sh ${sizes[*]}\` on $(date -u '+%Y-%m-%d %H:%M UTC')."
  echo
  echo "Machine: $(nproc) cores ($cpu_model), $mem_total of memory, $(uname -sr);"
  echo "$(rg --version | sed -n 1p), $(grep --version | head -1), perl $(perl -e 'print $^V')."
  echo "The cores are shared with other work, so wall times wander; the CPU times"
  echo "(user + system) are steadier. Both are medians of several runs."
  echo
  echo "darvena-filter reads the Windows-1251 corpus (CR LF) and converts it as the viewer"
  echo "does; each peer reads a UTF-8 copy with LF line breaks, the form it handles best."
  echo "Every task was first checked to give the same lines on both sides. Keys: \"$one\""
  echo "and \"$two\"; the notebook corpus for lines, the dictionary corpus for paragraphs."
  echo
  echo "Ratios are darvena-filter's time over the peer's: below 1 it is ahead."
  echo
  echo "| corpus | task | darvena-filter (s) | CPU (s) | peer | peer (s) | peer CPU (s) | ratio | CPU ratio | target |"
  echo "| --- | --- | --- | --- | --- | --- | --- | --- | --- | --- |"
  printf '%s\n' "${rows[@]}"
  echo
  echo "Stages (loading, RTF, search) are timed inside one process by \`filter_bench\`,"
  echo "without start-up; their peers are whole runs of a program doing a like pass."
  echo
  echo "Search rate over the document, one word:"
  echo
  echo "| corpus | the model's search | rg -c -i -F, whole run |"
  echo "| --- | --- | --- |"
  printf '%s\n' "${rates[@]}"
  echo
  echo "Peak memory over the file's size (one-word line filter); for small files it is"
  echo "mostly the program's own footprint (its libraries), not the document's:"
  echo
  echo "| corpus | darvena-filter | rg | target |"
  echo "| --- | --- | --- | --- |"
  printf '%s\n' "${memory[@]}"
} >"$results"
echo "Written to $results"
