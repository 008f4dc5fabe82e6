#!/usr/bin/env bash
# Times the import through the command-line host, on the calendar that the export
# benchmark writes: the wide tree of COUNT tasks exported by ics_writer, then imported
# back into the same tree (every event an update) and into an empty tree (every event
# an insert). Then shows that memory is flat in the number of events: calendars of
# COUNT/100 and COUNT events that all update one task, so the stand-in's model stays
# one task and the peak resident size is the plug-in's own.
#   BUILD_DIR=build bench/time_import.sh [COUNT]
set -euo pipefail
cd "$(dirname "$0")/.."
count="${1:-100000}"
source scripts/wine-session.sh
work="$(mktemp -d)"
cleanup() { rm -rf "$work"; stop_wine; }
trap cleanup EXIT
host="$BUILD_DIR/bin/plandra-host.exe"

python3 bench/make_task_file.py --shape wide --count "$count" "$work/wide.json"
wine "$host" run "$BUILD_DIR/bin/ics_writer.zvdll" --tasks "$work/wide.json" --file "$work/wide.ics" --no-record >/dev/null
echo '{"tasks": []}' > "$work/empty.json"
events=$(grep -c '^BEGIN:VEVENT' "$work/wide.ics" || true)
echo "calendar: $events events, $(stat -c %s "$work/wide.ics") bytes"
for into in wide empty; do
  printf 'import into the %s tree: ' "$into"
  wine "$host" run "$BUILD_DIR/bin/ics_reader.zvdll" --tasks "$work/$into.json" --save-tasks "$work/out.json" \
    --file "$work/wide.ics" --time --no-record | grep 'main command:'
done

# One task, and a calendar of n events that all name it (the writer's bytes).
echo '{"tasks": [{"uid": "T1", "title": "One"}]}' > "$work/one.json"
for n in $((count / 100)) "$count"; do
  python3 - "$n" "$work/same-$n.ics" <<'PY'
import sys
n, path = int(sys.argv[1]), sys.argv[2]
with open(path, "wb") as out:
    out.write(b"\xef\xbb\xbfBEGIN:VCALENDAR\r\nPRODID:Plandra Export plugin\r\nVERSION:2.0\r\n")
    for i in range(n):
        out.write(b"BEGIN:VEVENT\r\nSUMMARY:Title %d\r\nUID:T1\r\nDTSTART:20240115T083000Z\r\n"
                  b"DTEND:20240115T093000Z\r\nCREATED:20240110T070000Z\r\nLAST-MODIFIED:20240110T070000Z\r\n"
                  b"END:VEVENT\r\n" % i)
    out.write(b"END:VCALENDAR\r\n")
PY
  printf '%s events updating one task: ' "$n"
  /usr/bin/time -f 'peak resident %M KiB' wine "$host" run "$BUILD_DIR/bin/ics_reader.zvdll" \
    --tasks "$work/one.json" --save-tasks "$work/out.json" --file "$work/same-$n.ics" --time --no-record \
    2>&1 | grep -E 'main command:|peak resident' | tr '\n' ' '
  echo
done
