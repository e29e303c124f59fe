#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test, then
# runs each fuzz target once over its seed corpus.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
kv_install_packages

build="$ROOT/build/test"
kv_refresh_moc "$build"
cmake -S "$ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
  -DKV_SANITIZE=ON -DKV_BUILD_BENCHMARKS=ON
cmake --build "$build" -j "$(kv_jobs)"
ctest --test-dir "$build" -j "$(kv_jobs)" --output-on-failure --no-tests=error

fuzz="$ROOT/build/fuzz"
cmake -S "$ROOT" -B "$fuzz" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DKV_BUILD_TESTS=OFF -DKV_BUILD_FUZZERS=ON
cmake --build "$fuzz" -j "$(kv_jobs)" --target kv_fuzzers
shopt -s nullglob
for corpus in "$ROOT"/tests/fuzz/corpus/*/; do
  name=$(basename "$corpus")
  echo "Fuzz target $name over its corpus"
  "$fuzz/bin/fuzz_$name" -runs=0 "$corpus"
done
