#!/usr/bin/env python3
"""Prints what an import changed between two task files: tasks added, and the title,
start, end and state fields that differ (the modification date is left out: every
saved task gets one)."""
import json
import sys


def tasks_by_uid(path):
    with open(path, encoding="utf-8-sig") as f:
        return {t["uid"]: t for t in json.load(f).get("tasks", [])}


def main(before_path, after_path):
    before, after = tasks_by_uid(before_path), tasks_by_uid(after_path)
    changed = added = 0
    for uid, task in after.items():
        old = before.get(uid)
        if old is None:
            added += 1
            print(f'new task under {task.get("parent", "root")}: "{task.get("title", "")}" '
                  f'{task.get("begin")} .. {task.get("end")}')
            continue
        diffs = [f'{key}: "{old.get(key)}" -> "{task.get(key)}"'
                 for key in ("title", "begin", "end", "state") if old.get(key) != task.get(key)]
        if diffs:
            changed += 1
            print(f"{uid}: " + "; ".join(diffs))
    print(f"{changed} task(s) changed, {added} added, {len(after) - added - changed} unchanged")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
