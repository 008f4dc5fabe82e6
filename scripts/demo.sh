#!/usr/bin/env bash
# The main job on the shipped sample: load both plug-ins through the command-line host
# and show their captions, export samples/sample_tasks.json to a calendar, and import that
# calendar back into a copy of the sample task file. Output goes to out/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-session.sh
bin="$BUILD_DIR/bin"
host() { wine "$bin/plandra-host.exe" "$@"; }

echo "== Captions"
host captions "$bin/ics_writer.zvdll" "$bin/ics_reader.zvdll"

mkdir -p out
rm -f out/sample.ics out/sample.ics.log
cp samples/sample_tasks.json out/imported_tasks.json

echo
echo "== Export samples/sample_tasks.json to out/sample.ics"
host run "$bin/ics_writer.zvdll" --tasks samples/sample_tasks.json --file out/sample.ics --save-tasks out/exported_tasks.json
echo "calendar: out/sample.ics ($(wc -c < out/sample.ics) bytes), log: out/sample.ics.log"
sed -n '1,14p' out/sample.ics | tr -d '\r'
echo "..."

echo
echo "== Import out/sample.ics back into a copy of the task file, out/imported_tasks.json"
host run "$bin/ics_reader.zvdll" --tasks out/imported_tasks.json --file out/sample.ics
echo
echo "== What the import changed in the task file"
python3 scripts/task_changes.py samples/sample_tasks.json out/imported_tasks.json
echo "== The log, out/sample.ics.log (byte text in the ANSI code page; the UID-repair entry's fixed words are Windows-1251 bytes)"
tr -d '\r' < out/sample.ics.log
