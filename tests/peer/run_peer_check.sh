#!/usr/bin/env bash
# The exported sample calendar read by libical natively: exports the sample task file
# through plandra-host under Wine (UTC, code page 1251 so the Cyrillic titles survive),
# reads the calendar with ical_peer_read and compares every event with the expected list.
#   run_peer_check.sh BIN_DIR WINEPREFIX SAMPLE_TASKS PEER_READER EXPECTED WORK_DIR
set -euo pipefail
bin="$1" prefix="$2" sample="$3" reader="$4" expected="$5" work="$6"
rm -rf "$work" && mkdir -p "$work"

# The output goes to files: a wineserver started here must not hold CTest's pipe.
if ! env WINEPREFIX="$prefix" WINEDEBUG=-all TZ=UTC LC_ALL=ru_RU.UTF-8 \
    wine "$bin/plandra-host.exe" run "$bin/ics_writer.zvdll" --tasks "$sample" --file "$work/sample.ics" \
    >"$work/host.out" 2>"$work/host.err" </dev/null; then
  cat "$work/host.out" "$work/host.err"
  exit 1
fi
test -s "$work/sample.ics" || { echo "no calendar written"; cat "$work/host.out" "$work/host.err"; exit 1; }

"$reader" "$work/sample.ics" >"$work/events.txt"

# The repaired task's UID is fresh in every export: check its form, then name it.
sed -E '/^SUMMARY=Imported from the old planner/s/ UID=[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12} / UID=<replacement> /' \
  "$work/events.txt" >"$work/events.normalised.txt"
diff -u "$expected" "$work/events.normalised.txt"
echo "libical read $(tail -n 1 "$work/events.txt") as expected"
