#!/usr/bin/env bash
# Fuzzes one target for a while: bash scripts/fuzz.sh NAME SECONDS builds tests/fuzz/fuzz_NAME.cpp with
# clang as a libFuzzer program (with AddressSanitizer and UndefinedBehaviorSanitizer) and runs it for
# SECONDS, starting from tests/fuzz/corpus/NAME/. New inputs it finds go to build/fuzz/corpus/NAME/ (copy
# the ones worth keeping into the seed corpus), a crashing input to build/fuzz/crash-*.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if [ $# -ne 2 ] || [ ! -d "$ROOT/tests/fuzz/corpus/$1" ] || ! [[ $2 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 NAME SECONDS, NAME one of: $(cd "$ROOT/tests/fuzz/corpus" && echo *)" >&2
  exit 2
fi
name=$1
seconds=$2
kv_install_packages

fuzz="$ROOT/build/fuzz"
kv_refresh_moc "$fuzz"
cmake -S "$ROOT" -B "$fuzz" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" -DKV_SANITIZE=ON -DKV_BUILD_TESTS=OFF -DKV_BUILD_FUZZERS=ON
cmake --build "$fuzz" -j "$(kv_jobs)" --target "fuzz_$name"

mkdir -p "$fuzz/corpus/$name"
cd "$fuzz"
QT_QPA_PLATFORM=offscreen "$fuzz/bin/fuzz_$name" -max_total_time="$seconds" -artifact_prefix="$fuzz/" \
  "$fuzz/corpus/$name" "$ROOT/tests/fuzz/corpus/$name"
