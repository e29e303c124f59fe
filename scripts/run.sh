#!/usr/bin/env bash
# Builds the program and starts it.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
kv_install_packages
cmake -S "$ROOT" -B "$ROOT/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_BUILD_TESTS=OFF
cmake --build "$ROOT/build/release" -j "$(kv_jobs)"
exec "$ROOT/build/release/bin/KvIGMPTQ" "$@"
