#!/usr/bin/env bash
# Builds the libFuzzer targets of the loaders with clang (address and
# undefined-behaviour sanitizers) and runs each for a bounded time, from
# seed inputs the loaders' own writers make.
#
#   tools/fuzz.sh [seconds-per-target] [target...]
#
# Targets are the names under fuzz/ without "fuzz_" (engine_stream,
# container_stream, text_block, table_stream, clipboard, plain_text, wave,
# rtf, html);
# all of them by default. FUZZ_JOBS targets run at once (default: all
# cores but three). Each target keeps its corpus in build/fuzz/corpus and
# writes what it finds to build/fuzz/findings; the script fails when any
# target found something.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-300}
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=(engine_stream container_stream text_block table_stream clipboard plain_text wave rtf html)
fi
jobs=${FUZZ_JOBS:-$(($(nproc) > 4 ? $(nproc) - 3 : 1))}
dir=build/fuzz

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
probe='extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }'
if ! command -v clang++ >/dev/null ||
  ! echo "$probe" | clang++ -fsanitize=fuzzer,address,undefined -x c++ - -o /dev/null 2>/dev/null; then
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y clang llvm
fi
tools/install-deps.sh

# Warnings are the gcc build's gate; clang's own extra warnings in the
# library code must not stop the fuzzing.
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLEXORA_FUZZ=ON -DLEXORA_WERROR=OFF
cmake --build "$dir" --target fuzz_all -j "$jobs"

rm -rf "$dir/seeds"
"$dir/fuzz/make_fuzz_seeds" "$dir/seeds"

run_target() {
  local target=$1
  local corpus=$dir/corpus/$target findings=$dir/findings/$target
  # Findings of an earlier run were kept as seeds or tests; only this
  # run's count.
  rm -rf "$findings"
  mkdir -p "$corpus" "$findings" "$dir/seeds/$target"
  local inputs=("$corpus" "$dir/seeds/$target")
  [ -d "fuzz/seeds/$target" ] && inputs+=("fuzz/seeds/$target")
  # A hang is anything slower than five seconds for one input.
  local status=0
  "$dir/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "${inputs[@]}" \
    >"$dir/fuzz_$target.log" 2>&1 || status=$?
  echo "$status" >"$dir/fuzz_$target.status"
}

for target in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= jobs)); do wait -n || true; done
  echo "fuzzing $target for ${seconds}s"
  run_target "$target" &
done
wait

failed=0
for target in "${targets[@]}"; do
  status=$(cat "$dir/fuzz_$target.status")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/fuzz_$target.log")
  found=$(find "$dir/findings/$target" -type f | wc -l)
  echo "$target: ${runs:-?} runs, exit $status, $found finding(s) in $dir/findings/$target"
  if ((status != 0 || found != 0)); then
    failed=1
    grep -m1 -E "ERROR|SUMMARY|deadly signal|timeout" "$dir/fuzz_$target.log" || true
  fi
done
exit "$failed"
