#!/bin/sh
# Builds the serial input's fuzz target with clang (libFuzzer, address and undefined-behaviour
# sanitizers), replays every kept regression input, then fuzzes for a bounded time.
# Usage: run-fuzz.sh SOURCE_DIR WORK_DIR [SECONDS]
# Exit 77 (skipped) when clang or libFuzzer is not installed.
set -eu
src=$1
work=$2
seconds=${3:-20}
cxx=${VESPER_FUZZ_CXX:-clang++}
command -v "$cxx" >/dev/null 2>&1 || { echo "fuzz: $cxx is not installed (Debian: clang libclang-rt-dev); skipped"; exit 77; }
mkdir -p "$work/findings" "$work/corpus"
target="$work/serial_input_fuzz"
if ! "$cxx" -std=c++20 -g -O1 -ffp-contract=off -fsanitize=fuzzer,address,undefined \
      -fno-sanitize-recover=undefined -I"$src" -o "$target" \
      "$src/tests/fuzz/serial_input_fuzz.cpp" "$src/serial/gps_data.cpp" "$src/serial/parsers.cpp" \
      "$src/serial/serial_input.cpp" "$src/core/filters.cpp" "$src/gfx/text.cpp" 2>"$work/build.log"; then
  if grep -q "libclang_rt.fuzzer\|cannot find.*fuzzer" "$work/build.log"; then
    echo "fuzz: libFuzzer is not installed (Debian: libclang-rt-dev); skipped"; exit 77
  fi
  cat "$work/build.log"; exit 1
fi
# Inputs that once crashed the target: each must now run clean.
regressions=$(find "$src/tests/fuzz/regressions" -type f ! -name '*.md' | sort)
if [ -n "$regressions" ]; then
  # shellcheck disable=SC2086
  "$target" $regressions
fi
# Seeds: the recorded device logs when the corpus is there, each behind a protocol byte.
corpus=${VESPER_CORPUS_DIR:-$src/../shared/corpus}
if [ -d "$corpus/gpsd" ]; then
  for log in "$corpus"/gpsd/*.log; do
    name=$(basename "$log")
    { printf '\002'; head -c 4000 "$log"; } >"$work/corpus/$name.nmea"
  done
fi
printf '\001\003\002C090\r\nD120\r\nKKABQX\r\nGR0125\r\n' >"$work/corpus/lk1"
"$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -artifact_prefix="$work/findings/" \
  -print_final_stats=1 "$work/corpus" 2>&1 | tail -n 12
