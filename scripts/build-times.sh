#!/usr/bin/env bash
# Measures the build: a cold `scripts/test.sh` and `scripts/run.sh` (empty compiler cache), the same
# two again with the cache warm (build folders removed), and a one-file change of a library source
# that rebuilds and relinks its test program. Each measured commit is cloned afresh, so the figures
# are those of a clean checkout, and prints a table at the end.
#
#   bash scripts/build-times.sh [--ref REF[@CPUS]]... [--steps LIST] [--concurrent] [--work DIR]
#
#   --ref REF[@CPUS]  a commit to measure (default HEAD), optionally pinned to CPUs for taskset, e.g.
#                     HEAD@0,1 for two cores; without @ all cores. Repeat it to compare commits or
#                     core counts; the table then shows each row's time against the first ref's.
#   --steps LIST      some of cold-test,cold-run,warm-test,warm-run,edit (default all, in this order)
#   --concurrent      measure the refs at the same time (give each its own CPUs)
#   --work DIR        where the clones and compiler caches go (default a new folder in /tmp)
#
# Columns: wall, user and system seconds of the whole command, and the seconds ctest reported for
# the test runs in it (the tests wait in real time, so they count for CI but not for the compiler).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

refs=()
steps="cold-test,cold-run,warm-test,warm-run,edit"
concurrent=0
work=""
while [ $# -gt 0 ]; do
  case $1 in
    --ref) refs+=("$2"); shift 2 ;;
    --steps) steps=$2; shift 2 ;;
    --concurrent) concurrent=1; shift ;;
    --work) work=$2; shift 2 ;;
    -h|--help) sed -n '2,18p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
[ ${#refs[@]} -gt 0 ] || refs=(HEAD)
[ -n "$work" ] || work=$(mktemp -d /tmp/kv-build-times.XXXXXX)
mkdir -p "$work"
echo "Work folder: $work"

# The library source edited by the one-file step, and the test program that links it.
EDIT_FILE=engine/RateSearch.cpp
EDIT_TARGET=test_engine

# run_timed LABEL RESULTS COMMAND...: runs the command with its output in a log, appends one result row.
run_timed() {
  local label=$1 results=$2 log
  shift 2
  log="$results.$label.log"
  local start end status=0
  start=$(date +%s.%N)
  /usr/bin/time -f '%U %S' -o "$log.cpu" "$@" > "$log" 2>&1 || status=$?
  end=$(date +%s.%N)
  local tests
  tests=$(awk '/Total Test time \(real\)/ { sum += $(NF-1) } END { printf "%.0f", sum }' "$log")
  read -r user sys < <(tail -n 1 "$log.cpu")
  printf '%s %.0f %.0f %.0f %s %s\n' "$label" "$(awk "BEGIN { print $end - $start }")" "$user" "$sys" "$tests" \
    "$([ $status -eq 0 ] && echo ok || echo "FAILED($status)")" >> "$results"
  tail -n 1 "$results"
}

# The run script ends by starting the program: the time is taken when it gets there, then the
# program is closed.
run_script_until_start() {
  local checkout=$1
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  QT_QPA_PLATFORM=offscreen setsid bash "$checkout/scripts/run.sh" > "$fifo" 2>&1 &
  local pid=$! line started=1
  while IFS= read -r line; do
    echo "$line"
    case $line in
      Start-up:*) started=0; break ;;
    esac
  done < "$fifo"
  sleep 2
  kill -TERM -- "-$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -f "$fifo"
  return $started
}

measure_ref() {
  local refspec=$1 index=$2
  local ref=${refspec%@*} cpus=""
  [ "$refspec" = "$ref" ] || cpus=${refspec#*@}
  local name="$index-$(echo "$ref" | tr -c 'A-Za-z0-9._\n-' '_')"
  local checkout="$work/$name" cache="$work/$name.ccache" results="$work/$name.results"
  rm -rf "$checkout" "$cache".* "$results"
  git clone -q --no-checkout "$ROOT" "$checkout"
  git -C "$checkout" checkout -q --detach "$(git -C "$ROOT" rev-parse "$ref")"
  local pin=()
  [ -z "$cpus" ] || pin=(taskset -c "$cpus")
  echo "# $ref ($(git -C "$checkout" log -1 --format=%h)) on ${cpus:-all} CPUs: $("${pin[@]}" nproc) cores" > "$results"
  # The test and the run script each have their own compiler cache, so that each cold step starts empty.
  local step
  for step in ${steps//,/ }; do
    case $step in
      cold-test|warm-test|edit) export CCACHE_DIR=$cache.test ;;
      *) export CCACHE_DIR=$cache.run ;;
    esac
    case $step in
      cold-test|warm-test)
        [ "$step" = warm-test ] || rm -rf "$CCACHE_DIR"
        rm -rf "$checkout/build"
        run_timed "$step" "$results" "${pin[@]}" bash "$checkout/scripts/test.sh" ;;
      cold-run|warm-run)
        [ "$step" = warm-run ] || rm -rf "$CCACHE_DIR"
        rm -rf "$checkout/build/release"
        run_timed "$step" "$results" "${pin[@]}" bash -c "$(declare -f run_script_until_start); \
          run_script_until_start '$checkout'" ;;
      edit)
        # Needs the test build of an earlier step. The change must reach the compiler (a comment
        # would be stripped by the preprocessor and answered from the compiler cache).
        printf 'namespace { [[maybe_unused]] constexpr int kBuildTimesEdit%s = 1; }\n' "$(date +%s%N)" \
          >> "$checkout/$EDIT_FILE"
        run_timed "$step" "$results" "${pin[@]}" bash -c "source '$checkout/scripts/common.sh' && \
          cmake --build '$checkout/build/test' -j \"\$(kv_jobs)\" --target $EDIT_TARGET"
        git -C "$checkout" checkout -q -- "$EDIT_FILE" ;;
      *) echo "unknown step: $step" >&2; exit 2 ;;
    esac
  done
}

index=0
pids=()
for refspec in "${refs[@]}"; do
  index=$((index + 1))
  if [ $concurrent -eq 1 ]; then
    measure_ref "$refspec" "$index" &
    pids+=($!)
  else
    measure_ref "$refspec" "$index"
  fi
done
for pid in "${pids[@]}"; do wait "$pid"; done

echo
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) CPUs"
awk '
  FNR == 1 { file++; title[file] = substr($0, 3); next }
  { wall[file, $1] = $2; row[file, ++rows[file]] = $0 }
  END {
    for (f = 1; f <= file; f++) {
      printf "\n%s\n", title[f]
      printf "%-10s %8s %8s %8s %8s  %-7s %s\n", "step", "wall s", "user s", "sys s", "tests s", "status", (f > 1 ? "ref 1 / this" : "")
      for (r = 1; r <= rows[f]; r++) {
        split(row[f, r], c, " ")
        ratio = (f > 1 && wall[1, c[1]] && c[2]) ? sprintf("%.2f", wall[1, c[1]] / c[2]) : ""
        printf "%-10s %8s %8s %8s %8s  %-7s %s\n", c[1], c[2], c[3], c[4], c[5], c[6], ratio
      }
    }
  }' $(ls "$work"/*.results | sort -V)
