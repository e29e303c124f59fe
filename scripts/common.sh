# Shared by the scripts: package installation and the compiler cache.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages the build, the program and the tests need.
KV_PACKAGES=(
  cmake ninja-build g++ ccache pkg-config lld
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  fonts-liberation2 fonts-wqy-microhei qt6-translations-l10n
  libpcap0.8
  python3 python3-xlrd poppler-utils
)

kv_install_packages() {
  local missing=()
  for pkg in "${KV_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# A fresh clone in another folder reuses the cache: paths are hashed relative to the checkout.
export CCACHE_BASEDIR="$ROOT"
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
export CCACHE_NOHASHDIR=1
export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-5G}

kv_jobs() { echo "${KV_JOBS:-$(nproc 2>/dev/null || echo 2)}"; }
# Tests mostly wait on the real clock (runs against the simulator, timers), so four share a core.
kv_test_jobs() { echo "${KV_TEST_JOBS:-$(($(kv_jobs) * 4))}"; }

# Qt's moc step does not notice headers that arrive after a build folder was made (a pull or a merge);
# when the set of source files has changed, its generated files are made afresh.
kv_refresh_moc() {
  local build=$1 list
  list=$(cd "$ROOT" && find app controls engine kvserver platform ports reports run testpages -name '*.h' 2>/dev/null | sort | md5sum)
  if [ -d "$build" ] && [ "$(cat "$build/.kv_sources" 2>/dev/null)" != "$list" ]; then
    rm -rf "$build"/*_autogen
  fi
  mkdir -p "$build" && echo "$list" > "$build/.kv_sources"
}
