#!/usr/bin/env bash
# Builds the program and starts it.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
kv_install_packages
kv_refresh_moc "$ROOT/build/release"
# -g1: line tables for backtraces, without the cost of full debug information.
cmake -S "$ROOT" -B "$ROOT/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DKV_BUILD_TESTS=OFF
cmake --build "$ROOT/build/release" -j "$(kv_jobs)"
# Connecting to 127.0.0.1 in the start-up dialog starts the chassis simulator KvServerAP that was built
# beside the program (unless one already runs); Demo runs without hardware.
echo "Start-up: Connect to 127.0.0.1 to run against the local chassis simulator KvServerAP."
exec "$ROOT/build/release/bin/KvIGMPTQ" "$@"
