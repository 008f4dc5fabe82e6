#!/usr/bin/env bash
# Times the export of 100,000 tasks through the command-line host: a wide tree and a
# chain 100,000 deep, each generated afresh. plandra-host measures ExecuteMainCommand
# alone (QueryPerformanceCounter); the stand-in's call record is off.
#   BUILD_DIR=build bench/time_export.sh [COUNT]
set -euo pipefail
cd "$(dirname "$0")/.."
count="${1:-100000}"
source scripts/wine-session.sh
work="$(mktemp -d)"
cleanup() { rm -rf "$work"; stop_wine; }
trap cleanup EXIT

for shape in wide chain; do
  python3 bench/make_task_file.py --shape "$shape" --count "$count" "$work/$shape.json"
  printf '%s, %s tasks: ' "$shape" "$count"
  wine "$BUILD_DIR/bin/plandra-host.exe" run "$BUILD_DIR/bin/ics_writer.zvdll" \
    --tasks "$work/$shape.json" --file "$work/$shape.ics" --time --no-record | grep 'main command:'
  events=$(grep -c '^BEGIN:VEVENT' "$work/$shape.ics" || true)
  echo "  $events events, calendar $(stat -c %s "$work/$shape.ics") bytes, log $(stat -c %s "$work/$shape.ics.log") bytes"
done
