#!/usr/bin/env bash
# Builds the benchmarks optimised and runs them (arguments go to every benchmark program), then prints
# every ratio of the program's figures to their peers' as one table.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
kv_install_packages
# Peers measured beside the program's own code, for the benchmarks only.
KV_PACKAGES=(libxlsxwriter-dev libpugixml-dev)
kv_install_packages
build="$ROOT/build/bench"
cmake -S "$ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKV_BUILD_TESTS=OFF -DKV_BUILD_BENCHMARKS=ON
cmake --build "$build" -j "$(kv_jobs)" --target kv_benchmarks
output=$(mktemp)
trap 'rm -f "$output"' EXIT
for program in "$build"/bin/bench_*; do
  [ -x "$program" ] && "$program" "$@" | tee -a "$output"
done
echo
echo "| figure | peer | measured | goal | |"
echo "|---|---|---|---|---|"
sed -n 's/^ratio | \(.*\)$/| \1 |/p' "$output" | sed 's/| goal /| /'
