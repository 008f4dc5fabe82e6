#!/usr/bin/env python3
"""Imports every calendar of the shared corpus through plandra-host and ics_reader under
Wine (a computer in Berlin, code page 1252) and compares each event's task with what the
native libical oracle (event_times_oracle) reads from the same file in the same zone.

Per event: right (title and local start and end agree), skipped (the log names the
event and its reason), wrong (a task that disagrees, or an event lost without a log
entry). Prints the counts per file; fails when any event is wrong or lost, or fewer
than 99% are right.

  compare_corpus.py CORPUS_DIR BIN_DIR WINEPREFIX ORACLE WORK_DIR
Exit 77 (skipped) when CORPUS_DIR is absent."""
import datetime
import json
import os
import re
import shutil
import subprocess
import sys

ZONE = "Europe/Berlin"
LOCALE = "en_US.UTF-8"  # ANSI code page 1252
CODE_PAGE = "cp1252"


def ole_text(value):
    """A saved task date (text, or an OleDate number when the text would not read back)."""
    if isinstance(value, str):
        return value
    moment = datetime.datetime(1899, 12, 30) + datetime.timedelta(days=value)
    return moment.replace(microsecond=0).strftime("%Y-%m-%d %H:%M:%S")


def unescape(text):
    """RFC 5545 3.3.11 escapes, undone as libical undoes them: a backslash before any
    other character (a writer's \\") leaves that character."""
    return re.sub(r"\\(.)", lambda m: "\n" if m.group(1) in "nN" else m.group(1), text, flags=re.S)


def units(text):
    data = text.encode("utf-16-le", "surrogatepass")
    return [data[i:i + 2] for i in range(0, len(data), 2)]


def title_agrees(imported, expected):
    """The reader keeps escapes as written and passes the title through the ANSI code
    page without apostrophes: a character the code page lacks comes back as some other
    one (best fit or "?"), one per UTF-16 unit; every other unit must be equal."""
    # libical drops the blanks that end a line; the reader keeps a value as written.
    got = units(unescape(imported).rstrip(" \t"))
    want = units(expected.replace("'", "").rstrip(" \t"))
    if len(got) != len(want):
        return False
    for g, w in zip(got, want):
        if g == w:
            continue
        char = w.decode("utf-16-le", "surrogatepass")
        try:
            char.encode(CODE_PAGE)
        except (UnicodeEncodeError, UnicodeDecodeError):
            continue  # not in the code page: replaced on the way, any unit will do
        return False
    return True


def run_import(calendar, bin_dir, prefix, work):
    tasks_in = os.path.join(work, "empty.json")
    with open(tasks_in, "w") as f:
        f.write('{"now": "2026-12-11 10:00:00", "tasks": []}')
    tasks_out = calendar + ".tasks.json"
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", TZ=ZONE, LC_ALL=LOCALE)
    with open(calendar + ".host.out", "wb") as out:
        subprocess.run(["wine", os.path.join(bin_dir, "plandra-host.exe"), "run",
                        os.path.join(bin_dir, "ics_reader.zvdll"), "--tasks", tasks_in, "--file", calendar,
                        "--save-tasks", tasks_out], env=env, stdout=out, stderr=subprocess.STDOUT,
                       stdin=subprocess.DEVNULL, check=True)
    tasks = []
    if os.path.exists(tasks_out):  # saved only when the import changed something
        with open(tasks_out, encoding="utf-8-sig") as f:
            tasks = json.load(f)["tasks"]
    log = []
    if os.path.exists(calendar + ".log"):
        with open(calendar + ".log", "rb") as f:
            log = f.read().decode(CODE_PAGE, "replace").split("\r\n")
    return tasks, log


def main():
    corpus, bin_dir, prefix, oracle, work = sys.argv[1:6]
    if not os.path.isdir(corpus):
        print("skipped: the shared corpus is absent at " + corpus)
        return 77
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    totals = {"events": 0, "right": 0, "skipped": 0, "wrong": 0}
    problems = []
    notes = []
    for name in sorted(n for n in os.listdir(corpus) if n.endswith(".ics")):
        calendar = os.path.join(work, name)
        shutil.copyfile(os.path.join(corpus, name), calendar)  # the log lands beside it
        tasks, log = run_import(calendar, bin_dir, prefix, work)
        expected = [json.loads(line) for line in subprocess.run(
            [oracle, calendar], env=dict(os.environ, TZ=ZONE), capture_output=True,
            check=True).stdout.decode("utf-8", "replace").splitlines()]
        skipped = {}
        for line in log:
            m = re.match(r"Event (\d+) skipped.*?: (.*)$", line)
            if m:
                skipped[int(m.group(1))] = m.group(2)
        found = sum(1 for line in log if line == "Event start found")
        counts = {"right": 0, "skipped": 0, "wrong": 0}
        if found != len(expected):
            problems.append("%s: the reader found %d events, libical %d" % (name, found, len(expected)))
        task_index = 0
        for event in expected:
            number = event["event"]
            if number in skipped:
                counts["skipped"] += 1
                if event["start"] is not None:  # e.g. 30 February, which libical rolls over
                    notes.append("%s event %d: skipped (%s) though libical reads its start %s" %
                                    (name, number, skipped[number], event["start"]))
                continue
            if task_index >= len(tasks):
                counts["wrong"] += 1
                problems.append("%s event %d: neither a task nor a log entry" % (name, number))
                continue
            task = tasks[task_index]
            task_index += 1
            got = (task.get("title", ""), ole_text(task["begin"]), ole_text(task["end"]))
            if event["start"] is None:
                counts["wrong"] += 1
                problems.append("%s event %d: imported %r, but libical reads no start" % (name, number, got))
                continue
            if title_agrees(got[0], event["summary"]) and got[1:] == (event["start"], event["end"]):
                counts["right"] += 1
            else:
                counts["wrong"] += 1
                problems.append("%s event %d: imported %r, libical %r (%s, %s)" % (
                    name, number, got, (event["summary"], event["start"], event["end"]), event["start_zone"],
                    event["end_zone"]))
        if task_index < len(tasks):
            problems.append("%s: %d tasks more than events" % (name, len(tasks) - task_index))
            counts["wrong"] += len(tasks) - task_index
        print("%-50s events %4d  right %4d  skipped %3d  wrong %3d" % (
            name, len(expected), counts["right"], counts["skipped"], counts["wrong"]))
        totals["events"] += len(expected)
        for key in counts:
            totals[key] += counts[key]
    print("%-50s events %4d  right %4d  skipped %3d  wrong %3d" % (
        "total", totals["events"], totals["right"], totals["skipped"], totals["wrong"]))
    for note in notes:
        print("  skipped with its reason: " + note)
    for problem in problems:
        print("  WRONG: " + problem)
    share = totals["right"] / totals["events"] if totals["events"] else 0
    print("right: %.2f%% of %d events" % (100 * share, totals["events"]))
    return 0 if not problems and share >= 0.99 else 1


if __name__ == "__main__":
    sys.exit(main())
