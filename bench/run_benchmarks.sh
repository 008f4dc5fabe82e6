#!/usr/bin/env bash
# One run, one machine, side by side: the export of COUNT tasks (wide tree and chain
# COUNT deep) and the import of the calendar it writes (into the same tree: updates;
# into an empty tree: inserts), timed inside ExecuteMainCommand by plandra-host with the
# stand-in's record off; the bare I/O that the design keeps for durability, done by
# bare_io.exe under the same Wine; libical natively reading and writing the same
# events; the plug-ins' own time, measured within one --profile run as the main command
# minus its file calls; and the plug-ins' own peak heap at COUNT/10 and COUNT events.
#   BUILD_DIR=build bench/run_benchmarks.sh [COUNT]
set -euo pipefail
cd "$(dirname "$0")/.."
count="${1:-100000}"
: "${BUILD_DIR:=build}"
bin="$BUILD_DIR/bin"
tools="$BUILD_DIR/bench"
mkdir -p "$tools"
i686-w64-mingw32-g++-posix -O2 -Wall -Wextra -municode -static bench/bare_io.cpp -o "$tools/bare_io.exe"
i686-w64-mingw32-g++-posix -O2 -Wall -Wextra -municode -static -Iframe -Ihost_standin bench/host_calls.cpp \
  -o "$bin/bench_host_calls.exe" "$BUILD_DIR/lib/libzv_plugins.dll.a"
cc -O2 -Wall -Wextra bench/libical_bench.c -o "$tools/libical_bench" $(pkg-config --cflags --libs libical)
source scripts/wine-session.sh
work="$(mktemp -d)"
cleanup() { rm -rf "$work"; stop_wine; }
trap cleanup EXIT

ms() { sed -n 's/.*: \([0-9.]*\) ms.*/\1/p' | head -1; }
host_run() { # module tasks file [options...]: prints the main command's milliseconds
  local module="$1" tasks="$2" file="$3"
  shift 3
  wine "$bin/plandra-host.exe" run "$bin/$module" --tasks "$tasks" --file "$file" --save-tasks "$work/saved.json" \
    --no-record "$@" | grep -E 'main command:|plug-in heap:'
}
own_ms() { # module tasks file: the main command minus its file calls, one --profile run
  local module="$1" tasks="$2" file="$3"
  wine "$bin/plandra-host.exe" run "$bin/$module" --tasks "$tasks" --file "$file" --save-tasks "$work/saved.json" \
    --no-record --time --profile |
    awk '/^main command:/ { main = $3 }
         $1 ~ /^(CreateFileW|WriteFile|ReadFile|CloseHandle)$/ { files += $(NF - 1) }
         END { printf "%.3f %.3f\n", main, main - files }'
}
lines_of() { tr -cd '\n' <"$1" | wc -c; }

echo '{"tasks": []}' >"$work/empty.json"
for shape in wide chain; do
  python3 bench/make_task_file.py --shape "$shape" --count "$count" "$work/$shape.json"
done

declare -A plugin bare ical profiled own
for shape in wide chain; do
  rm -f "$work/$shape.ics" "$work/$shape.ics.log"
  plugin[export-$shape]=$(host_run ics_writer.zvdll "$work/$shape.json" "$work/$shape.ics" --time | ms)
done
for shape in wide chain; do
  rm -f "$work/$shape.ics" "$work/$shape.ics.log"
  read -r profiled[export-$shape] own[export-$shape] < <(own_ms ics_writer.zvdll "$work/$shape.json" "$work/$shape.ics")
done
calendar_lines=$(lines_of "$work/wide.ics")
export_entries=$((count + 4))
events=$(grep -c '^BEGIN:VEVENT' "$work/wide.ics")
for into in wide empty; do
  rm -f "$work/wide.ics.log"
  plugin[import-$into]=$(host_run ics_reader.zvdll "$work/$into.json" "$work/wide.ics" --time | ms)
done
for into in wide empty; do
  rm -f "$work/wide.ics.log"
  read -r profiled[import-$into] own[import-$into] < <(own_ms ics_reader.zvdll "$work/$into.json" "$work/wide.ics")
done
import_entries=$((2 * events + 1))

bare_write=$(wine "$tools/bare_io.exe" write-calendar "$work/bare.ics" "$calendar_lines" | ms)
bare_export_log=$(wine "$tools/bare_io.exe" log "$work/bare-export.log" "$export_entries" | ms)
bare_read=$(wine "$tools/bare_io.exe" read-calendar "$work/wide.ics" | ms)
bare_import_log=$(wine "$tools/bare_io.exe" log "$work/bare-import.log" "$import_entries" | ms)
host_export=$(wine "$bin/bench_host_calls.exe" export "$work/wide.json" | ms)
host_update=$(wine "$bin/bench_host_calls.exe" update "$work/wide.json" | ms)
host_insert=$(wine "$bin/bench_host_calls.exe" insert "$work/empty.json" "$count" | ms)
bare[export]=$(echo "$bare_write + $bare_export_log" | bc)
bare[import]=$(echo "$bare_read + $bare_import_log" | bc)
ical[read]=$("$tools/libical_bench" read "$work/wide.ics" | ms)
ical[write]=$("$tools/libical_bench" write "$work/wide.ics" "$work/libical.ics" | ms)

echo "calendar: $events events, $calendar_lines lines, $(stat -c %s "$work/wide.ics") bytes"
echo "bare I/O: $calendar_lines calendar lines one WriteFile each ${bare_write} ms;" \
  "$export_entries log entries opened, appended, closed ${bare_export_log} ms;"
echo "          calendar read in 64 KiB portions ${bare_read} ms; $import_entries log entries ${bare_import_log} ms"
echo "host calls alone (stand-in, record off): export walk ${host_export} ms; updates ${host_update} ms;" \
  "inserts ${host_insert} ms"
echo
printf '%-28s %10s %10s %12s %10s %10s %10s %10s %8s\n' "work ($count)" "plug-in" "bare I/O" "beyond I/O" \
  "libical" "host" "profiled" "own" "target"
row() { # name plugin bare libical host profiled own
  local beyond verdict
  beyond=$(echo "$2 - $3" | bc)
  verdict=$(echo "$7 <= $4 + $5" | bc | sed 's/1/met/;s/0/MISSED/')
  printf '%-28s %10.0f %10.0f %12.0f %10.0f %10.0f %10.0f %10.0f %8s\n' "$1" "$2" "$3" "$beyond" "$4" "$5" "$6" "$7" \
    "$verdict"
}
row "export, wide tree" "${plugin[export-wide]}" "${bare[export]}" "${ical[write]}" "$host_export" \
  "${profiled[export-wide]}" "${own[export-wide]}"
row "export, chain $count deep" "${plugin[export-chain]}" "${bare[export]}" "${ical[write]}" "$host_export" \
  "${profiled[export-chain]}" "${own[export-chain]}"
row "import, all updates" "${plugin[import-wide]}" "${bare[import]}" "${ical[read]}" "$host_update" \
  "${profiled[import-wide]}" "${own[import-wide]}"
row "import, all inserts" "${plugin[import-empty]}" "${bare[import]}" "${ical[read]}" "$host_insert" \
  "${profiled[import-empty]}" "${own[import-empty]}"
echo "(milliseconds; profiled: the main command of a separate --profile run; own: that run's main command minus"
echo " its CreateFileW, WriteFile, ReadFile and CloseHandle; target: own <= libical + host calls alone)"

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
