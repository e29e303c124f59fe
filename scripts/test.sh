#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test (each fuzz
# target over its seed corpus among them), then runs the tests of the threaded parts (the hardware
# library's client and the simulator) under ThreadSanitizer. -g1 keeps the file and line numbers that
# the sanitizers report, at a fraction of the compile time of full debug information.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
kv_install_packages

# Every tracked source keeps the layout that .clang-format gives it.
(cd "$ROOT" && git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror)

build="$ROOT/build/test"
kv_refresh_moc "$build"
cmake -S "$ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" \
  -DKV_SANITIZE=ON -DKV_BUILD_BENCHMARKS=ON
cmake --build "$build" -j "$(kv_jobs)"
ctest --test-dir "$build" -j "$(kv_test_jobs)" --output-on-failure --no-tests=error

tsan="$ROOT/build/tsan"
kv_refresh_moc "$tsan"
cmake -S "$ROOT" -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" -DKV_TSAN=ON
cmake --build "$tsan" -j "$(kv_jobs)" --target kv_tests
# The tests that start the server program as a child process stay in the run above: ThreadSanitizer
# loses track of the parent's locks once Qt's QProcess has spawned a child (a correctly locked
# counter shared with a thread is reported as a race as soon as a QProcess starts; plain fork and
# exec is clean), so under it they would report races that are not there.
ctest --test-dir "$tsan" -j "$(kv_test_jobs)" --output-on-failure --no-tests=error -E 'ServerProgram'
