#!/usr/bin/env bash
# Builds the rich-text reader's fuzz target with clang's libFuzzer (with the address
# and undefined-behaviour sanitizers) and runs it for a bounded time, seeded with
# the test fixtures.
#   tests/richedit/fuzz/run.sh [seconds, default 60] [jobs, default 1]
# Crashing inputs are left in build/fuzz/ as crash-*; a non-zero exit means one was found.
set -euo pipefail
root="$(cd "$(dirname "$0")/../../.." && pwd)"
seconds="${1:-60}"
jobs="${2:-1}"
out="$root/build/fuzz"
mkdir -p "$out/corpus"
command -v clang++ >/dev/null || { echo "clang++ is needed (apt-get install clang)" >&2; exit 2; }

sources=("$root"/richedit/*.cpp)
model=()
for s in "${sources[@]}"; do
  case "$(basename "$s")" in RichEdit*.cpp | Qt*.cpp) ;; *) model+=("$s") ;; esac
done
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" "${model[@]}" "$root"/platform/CodePage.cpp "$root"/platform/CodePageTables.cpp \
  "$root"/tests/richedit/fuzz/RtfReader_fuzz.cpp -o "$out/rtf_reader_fuzz"

cp -n "$root"/tests/richedit/fixtures/* "$out/corpus/" 2>/dev/null || true
cd "$out"
exec ./rtf_reader_fuzz -max_total_time="$seconds" -rss_limit_mb=1024 -max_len=65536 \
  -jobs="$jobs" -workers="$jobs" -print_final_stats=1 corpus
