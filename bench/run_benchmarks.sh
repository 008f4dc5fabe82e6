#!/usr/bin/env bash
# One run, one machine, side by side: the export of COUNT tasks (wide tree and chain
# COUNT deep) and the import of the calendar it writes (into the same tree: updates;
# into an empty tree: inserts), timed inside ExecuteMainCommand by plandra-host with the
# stand-in's record off; the bare I/O that the design keeps for durability, done in the
# plug-ins' order by bare_io.exe under the same Wine; libical natively reading and
# writing the same events; the plug-ins' own time, measured within each run as the main
# command minus its file calls; and the plug-ins' own peak heap at COUNT/10 and COUNT.
# The plug-ins and the bare I/O alternate for ROUNDS rounds (default 3); medians shown.
# Everything runs on one processor (BENCH_CPU, default 0; "all" to leave it free): under
# Wine every open and close of a file is a round trip to the wineserver, and across two
# processors of a virtual machine that round trip costs several times more and varies
# by seconds from run to run; on one it is a plain switch between two processes.
#   BUILD_DIR=build bench/run_benchmarks.sh [COUNT]
set -euo pipefail
cd "$(dirname "$0")/.."
cpu="${BENCH_CPU:-0}"
if [[ "$cpu" != all && -z "${BENCH_PINNED:-}" ]]; then
  export BENCH_PINNED="$cpu"
  exec taskset -c "$cpu" "$0" "$@"
fi
count="${1:-100000}"
: "${BUILD_DIR:=build}"
: "${ROUNDS:=3}"
bin="$BUILD_DIR/bin"
tools="$BUILD_DIR/bench"
mkdir -p "$tools"
i686-w64-mingw32-g++-posix -O2 -Wall -Wextra -municode -static bench/bare_io.cpp -o "$tools/bare_io.exe"
i686-w64-mingw32-g++-posix -O2 -Wall -Wextra -municode -static -Iframe -Ihost_standin bench/host_calls.cpp \
  -o "$bin/bench_host_calls.exe" "$BUILD_DIR/lib/libzv_plugins.dll.a"
cc -O2 -Wall -Wextra bench/libical_bench.c -o "$tools/libical_bench" $(pkg-config --cflags --libs libical)
# A server left running from elsewhere would not be on the chosen processor.
WINEPREFIX="$PWD/$BUILD_DIR/wineprefix" wineserver -k >/dev/null 2>&1 || true
source scripts/wine-session.sh
work="$(mktemp -d)"
cleanup() { rm -rf "$work"; stop_wine; }
trap cleanup EXIT

ms() { sed -n 's/.*: \([0-9.]*\) ms.*/\1/p' | head -1; }
host_run() { # module tasks file [options...]: the main command's and the heap's lines
  local module="$1" tasks="$2" file="$3"
  shift 3
  wine "$bin/plandra-host.exe" run "$bin/$module" --tasks "$tasks" --file "$file" --save-tasks "$work/saved.json" \
    --no-record "$@" | grep -E 'main command:|plug-in heap:'
}
profiled_run() { # module tasks file: "main own host": own is the main command minus its file calls
  # and minus the time inside the host's functions (host)
  local module="$1" tasks="$2" file="$3"
  rm -f "$file.log"
  [[ "$module" == ics_writer.zvdll ]] && rm -f "$file"
  wine "$bin/plandra-host.exe" run "$bin/$module" --tasks "$tasks" --file "$file" --save-tasks "$work/saved.json" \
    --no-record --time --profile |
    awk '/^main command:/ { main = $3 }
         $1 ~ /^(CreateFileW|WriteFile|ReadFile|CloseHandle)$/ { files += $(NF - 1) }
         $1 == "host" { host = $(NF - 1) }
         END { printf "%.3f %.3f %.3f\n", main, main - files - host, host }'
}
median() { sort -n | sed -n "$(((ROUNDS + 1) / 2))p"; }
lines_of() { tr -cd '\n' <"$1" | wc -c; }

echo '{"tasks": []}' >"$work/empty.json"
for shape in wide chain; do
  python3 bench/make_task_file.py --shape "$shape" --count "$count" "$work/$shape.json"
done

# ROUNDS rounds, each: the plug-ins' four runs and the bare I/O of both directions, so that
# a slow spell of the machine falls on both sides; each figure is the median of its rounds.
declare -A plugin own host bare ical
rounds="$work/rounds"
for ((round = 0; round < ROUNDS; round++)); do
  for shape in wide chain; do
    echo "export-$shape $(profiled_run ics_writer.zvdll "$work/$shape.json" "$work/$shape.ics")" >>"$rounds"
  done
  rm -f "$work/bare-export.ics" "$work/bare-export.ics.log"
  echo "bare-export $(wine "$tools/bare_io.exe" export-pattern "$work/bare-export.ics" "$count" | ms)" >>"$rounds"
  for into in wide empty; do
    echo "import-$into $(profiled_run ics_reader.zvdll "$work/$into.json" "$work/wide.ics")" >>"$rounds"
  done
  rm -f "$work/wide.ics.log"
  echo "bare-import $(wine "$tools/bare_io.exe" import-pattern "$work/wide.ics" "$count" | ms)" >>"$rounds"
  rm -f "$work/wide.ics.log"
done
for work_name in export-wide export-chain import-wide import-empty; do
  plugin[$work_name]=$(awk -v w="$work_name" '$1 == w { print $2 }' "$rounds" | median)
  own[$work_name]=$(awk -v w="$work_name" '$1 == w { print $3 }' "$rounds" | median)
  host[$work_name]=$(awk -v w="$work_name" '$1 == w { print $4 }' "$rounds" | median)
done
bare[export]=$(awk '$1 == "bare-export" { print $2 }' "$rounds" | median)
bare[import]=$(awk '$1 == "bare-import" { print $2 }' "$rounds" | median)

calendar_lines=$(lines_of "$work/wide.ics")
events=$(grep -c '^BEGIN:VEVENT' "$work/wide.ics")
host_export=$(wine "$bin/bench_host_calls.exe" export "$work/wide.json" | ms)
host_export_chain=$(wine "$bin/bench_host_calls.exe" export "$work/chain.json" | ms)
host_update=$(wine "$bin/bench_host_calls.exe" update "$work/wide.json" | ms)
host_insert=$(wine "$bin/bench_host_calls.exe" insert "$work/empty.json" "$count" | ms)
ical[read]=$("$tools/libical_bench" read "$work/wide.ics" | ms)
ical[write]=$("$tools/libical_bench" write "$work/wide.ics" "$work/libical.ics" | ms)

echo "calendar: $events events, $calendar_lines lines, $(stat -c %s "$work/wide.ics") bytes"
echo "bare I/O in the plug-ins' order: export (a log entry opened, appended, closed, then eight calendar lines"
echo "  one WriteFile each, $count times) ${bare[export]} ms; import (the calendar read through, then read"
echo "  again in 64 KiB portions among \"Start changes\" and two entries an event) ${bare[import]} ms"
echo "the same host calls made bare (stand-in, record off, no file or text work): export walk ${host_export} ms" \
  "(chain ${host_export_chain} ms);" \
  "updates ${host_update} ms;" \
  "inserts ${host_insert} ms"
echo "every round (work, main command, own, host):"
sed 's/^/  /' "$rounds"
echo
printf '%-28s %10s %10s %12s %10s %10s %10s %14s %12s\n' "work ($count)" "plug-in" "bare I/O" "beyond I/O" \
  "host" "own" "libical" "target (own)" "beyond I/O"
row() { # name work bare libical
  local beyond verdict crossrun
  beyond=$(echo "${plugin[$2]} - $3" | bc)
  verdict=$(echo "${own[$2]} <= $4" | bc | sed 's/1/met/;s/0/MISSED/')
  crossrun=$(echo "$beyond - ${host[$2]} <= $4" | bc | sed 's/1/met/;s/0/MISSED/')
  printf '%-28s %10.0f %10.0f %12.0f %10.0f %10.0f %10.0f %14s %12s\n' "$1" "${plugin[$2]}" "$3" "$beyond" \
    "${host[$2]}" "${own[$2]}" "$4" "$verdict" "$crossrun"
}
row "export, wide tree" export-wide "${bare[export]}" "${ical[write]}"
row "export, chain $count deep" export-chain "${bare[export]}" "${ical[write]}"
row "import, all updates" import-wide "${bare[import]}" "${ical[read]}"
row "import, all inserts" import-empty "${bare[import]}" "${ical[read]}"
echo "(milliseconds, medians of $ROUNDS rounds; plug-in: the main command of a --profile run; host: the time inside"
echo " the host's functions in that run; own: the main command minus its CreateFileW, WriteFile, ReadFile and"
echo " CloseHandle and minus host; target: own <= libical, and plug-in - bare I/O - host <= libical;"
echo " processor: ${BENCH_PINNED:-all})"
echo
echo "plug-in's own heap (peak of live bytes during ExecuteMainCommand):"
for n in $((count / 10)) "$count"; do
  python3 bench/make_task_file.py --shape wide --count "$n" "$work/heap.json"
  python3 bench/make_task_file.py --shape chain --count "$n" "$work/heap-chain.json"
  rm -f "$work/heap.ics"
  printf '  export %6d tasks, wide:  %s\n' "$n" "$(host_run ics_writer.zvdll "$work/heap.json" "$work/heap.ics" --heap)"
  printf '  export %6d tasks, chain: %s\n' "$n" \
    "$(host_run ics_writer.zvdll "$work/heap-chain.json" "$work/heap-chain.ics" --heap)"
  printf '  import %6d events, updates: %s\n' "$n" "$(host_run ics_reader.zvdll "$work/heap.json" "$work/heap.ics" --heap)"
  printf '  import %6d events, inserts: %s\n' "$n" "$(host_run ics_reader.zvdll "$work/empty.json" "$work/heap.ics" --heap)"
done
