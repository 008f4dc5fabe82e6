#!/usr/bin/env python3
"""Writes a task file for the stand-in zv_plugins.dll (format: host_standin/README.md)
with many tasks, to time the export on: a wide tree (every task has up to --fanout
children, breadth filled level by level) or a chain (each task the only child of the
one before it). Every task qualifies for export, so each one costs a whole event.

  make_task_file.py --shape wide --count 100000 OUT.json
  make_task_file.py --shape chain --count 100000 OUT.json
"""
import argparse
import datetime


def task_dates(index):
    # Spread over the year, on both sides of the daylight-saving changes.
    start = datetime.datetime(2024, 1, 1, 8, 0, 0) + datetime.timedelta(minutes=53 * index % (366 * 24 * 60))
    end = start + datetime.timedelta(minutes=45)
    created = start - datetime.timedelta(days=7)
    fmt = "%Y-%m-%d %H:%M:%S"
    return start.strftime(fmt), end.strftime(fmt), created.strftime(fmt)


def parent_of(index, shape, fanout):
    if index == 0:
        return "root"
    if shape == "chain":
        return "T%06d" % (index - 1)
    return "T%06d" % ((index - 1) // fanout)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--shape", choices=["wide", "chain"], default="wide")
    parser.add_argument("--count", type=int, default=100000)
    parser.add_argument("--fanout", type=int, default=10, help="children per task in a wide tree")
    parser.add_argument("output")
    args = parser.parse_args()

    with open(args.output, "w", encoding="utf-8", newline="\n") as out:
        out.write('{"tasks": [\n')
        for index in range(args.count):
            begin, end, created = task_dates(index)
            title = "Task %d: review, plan; follow up with Zoë" % index
            out.write('{"uid":"T%06d","parent":"%s","title":"%s","state":0,"begin":"%s","end":"%s",'
                      '"created":"%s","modified":"%s"}%s\n'
                      % (index, parent_of(index, args.shape, args.fanout), title, begin, end, created, end,
                         "," if index + 1 < args.count else ""))
        out.write("]}\n")


if __name__ == "__main__":
    main()
