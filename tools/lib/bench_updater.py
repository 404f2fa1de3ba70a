#!/usr/bin/python3
"""The whole updater against its download engine alone, on one served body.

tools/bench-download updater serves the signed installer and runs this. Each
round runs five ways, in an order that turns by one each round:
  engine          bench_download --engine-once: the engine on a worker thread,
                  its progress posted to a bare message window;
  window-shown    bench_download --window shown: the updater's main window in
                  the benchmark's process, the same download, hand-off, removal
                  of the previous installation and installer start, with its
                  repaints counted and timed;
  window-hidden   the same with both windows hidden: the same messages and
                  handlers, no repaints;
  updater-none    MevraUpdater.exe with no previous installation present;
  updater-prev    MevraUpdater.exe with a previous installation planted.
The window ways run with a previous installation planted.

Every way is timed the same way from outside: a poll every 5 ms of the file
the download grows (the first byte seen, the whole body seen) and of the
".ran" file the started installer writes. Prints each round, then medians
with their range (min-max) and the ratios of paired rounds.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

POLL = 0.005


def winepath(path):
    return subprocess.check_output(["winepath", "-w", path], stderr=subprocess.DEVNULL, text=True).strip()


def largest(paths):
    size = 0
    for path in paths:
        try:
            size = max(size, os.stat(path).st_size)
        except OSError:
            pass
    return size


def remove(*paths):
    for path in paths:
        try:
            os.remove(path)
        except FileNotFoundError:
            pass


def run_watched(command, grown, size, ran=None):
    """Runs `command`, polling the files in `grown` and `ran`; returns the times
    (from the start) of the first byte, the whole body, the ran file and the
    exit, the exit code and the command's standard output."""
    with tempfile.TemporaryFile() as out:
        start = time.monotonic()
        process = subprocess.Popen(command, stdout=out, stderr=subprocess.DEVNULL)
        first = whole = ran_at = None
        while True:
            now = time.monotonic() - start
            exited = process.poll() is not None
            if whole is None:
                got = largest(grown)
                if first is None and got > 0:
                    first = now
                if got >= size:
                    whole = now
            if ran is not None and ran_at is None and os.path.exists(ran):
                ran_at = now
            if exited:
                break
            time.sleep(POLL)
        ended = time.monotonic() - start
        # The installer is a process of its own: it may write after the updater ended.
        while ran is not None and ran_at is None and time.monotonic() - start < ended + 10:
            time.sleep(POLL)
            if os.path.exists(ran):
                ran_at = time.monotonic() - start
        out.seek(0)
        text = out.read().decode(errors="replace").replace("\r", "")
    return {"first": first, "whole": whole, "ran": ran_at, "end": ended, "code": process.returncode, "out": text}


class Bench:
    def __init__(self, args):
        self.args = args
        self.bench = os.path.join(args.build, "bench", "bench_download.exe")
        self.updater = os.path.join(args.build, "installer", "MevraUpdater.exe")
        self.target = os.path.join(args.user_folder, "Mevra.exe")
        self.url = "https://localhost/client/latest/mevra.exe"
        self.engine_file = os.path.join(args.work, "engine.bin")

    def wine(self, *arguments):
        return ["wine", *arguments]

    def previous(self, present):
        what = "--plant-previous" if present else "--clear-previous"
        done = subprocess.run(self.wine(self.bench, what), stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        if present and done.returncode != 0:
            sys.exit("cannot plant the previous installation: " + done.stderr)
        return done.stdout.replace("\r", "").strip()

    def fresh_target(self):
        remove(self.target, self.target + ".ran", self.target + ".partial")

    def way(self, name):
        size = self.args.size
        if name == "engine":
            remove(self.engine_file, self.engine_file + ".partial")
            r = run_watched(self.wine(self.bench, "--engine-once", self.url, winepath(self.engine_file)),
                            [self.engine_file, self.engine_file + ".partial"], size)
            fields = r["out"].split()
            r["messages"] = int(fields[3]) if len(fields) >= 4 and fields[0] == "engine" else None
            return r
        self.fresh_target()
        self.previous(name != "updater-none")
        grown = [self.target, self.target + ".partial"]
        if name.startswith("window-"):
            r = run_watched(self.wine(self.bench, "--window", name[len("window-"):]), grown, size, self.target + ".ran")
            line = [l for l in r["out"].splitlines() if l.startswith("frame-")]
            if line:
                _, paints, paint_seconds, progress, removal, handoff = line[0].split()
                r.update(paints=int(paints), paint_seconds=float(paint_seconds), progress=int(progress),
                         removal=float(removal), handoff_in=float(handoff))
            return r
        return run_watched(self.wine(self.updater), grown, size, self.target + ".ran")


def check(name, r):
    problems = []
    if r["whole"] is None or r["first"] is None:
        problems.append("the body never arrived whole")
    if name != "engine" and r["ran"] is None:
        problems.append("the installer never started")
    if r["code"] != 0:
        problems.append("exit code %s" % r["code"])
    if problems:
        sys.exit("%s: %s\n%s" % (name, "; ".join(problems), r["out"][-2000:]))


def spread(values, unit="", digits=3):
    values = [v for v in values if v is not None]
    if not values:
        return "-"
    fmt = "%%.%df" % digits
    return (fmt + "%s (%s-%s)") % (statistics.median(values), unit, fmt % min(values), fmt % max(values))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--user-folder", required=True)
    parser.add_argument("--size", type=int, required=True)
    parser.add_argument("--rounds", type=int, default=5)
    args = parser.parse_args()
    bench = Bench(args)

    ways = ["engine", "window-shown", "window-hidden", "updater-none", "updater-prev"]
    print("previous installation: " + bench.previous(True))
    rounds = []
    for number in range(args.rounds):
        order = ways[number % len(ways):] + ways[:number % len(ways)]
        results = {}
        for name in order:
            r = bench.way(name)
            check(name, r)
            results[name] = r
        rounds.append(results)
        print("round %d: " % (number + 1) + "  ".join(
            "%s %.3f s" % (name, results[name]["whole"] - results[name]["first"]) for name in ways), flush=True)
    bench.previous(False)
    bench.fresh_target()
    report(rounds, ways, args.size)


def report(rounds, ways, size):
    transfer = {name: [r[name]["whole"] - r[name]["first"] for r in rounds] for name in ways}
    print()
    print("%d rounds, body %d bytes; transfer = first byte to whole body in the file (polled every 5 ms)" %
          (len(rounds), size))
    print("%-14s %22s %22s %22s %22s" % ("way", "transfer s", "MB/s", "start to first byte s", "last byte to installer s"))
    for name in ways:
        rates = [size / 1e6 / t for t in transfer[name]]
        starts = [r[name]["first"] for r in rounds]
        handoffs = [r[name]["ran"] - r[name]["whole"] if r[name]["ran"] is not None else None for r in rounds]
        print("%-14s %22s %22s %22s %22s" % (name, spread(transfer[name]), spread(rates, digits=1), spread(starts),
                                             spread(handoffs)))

    def paired(a, b):
        return [x / y for x, y in zip(transfer[a], transfer[b])]

    print()
    print("rate ratio to the engine alone (median of the rounds' ratios, range):")
    for name in ways[1:]:
        print("  %-14s %s" % (name, spread(paired("engine", name))))

    # Where the updater's extra transfer time goes, per round.
    extra = [u - e for u, e in zip(transfer["updater-prev"], transfer["engine"])]
    repaint = [s - h for s, h in zip(transfer["window-shown"], transfer["window-hidden"])]
    window_rest = [h - e for h, e in zip(transfer["window-hidden"], transfer["engine"])]
    paints = [r["window-shown"].get("paints") for r in rounds]
    paint_seconds = [r["window-shown"].get("paint_seconds") for r in rounds]
    progress = [r["window-shown"].get("progress") for r in rounds]
    print()
    print("the updater's transfer time over the engine's:        %s s" % spread(extra))
    print("progress repaints (window shown - hidden):            %s s" % spread(repaint))
    print("  their share of the updater's transfer time:         %s" %
          spread([p / u for p, u in zip(repaint, transfer["updater-prev"])]))
    print("  their share of its time over the engine's:          %s" %
          spread([p / x for p, x in zip(repaint, extra) if x > 0]))
    print("  repaints in the shown window:                       %s, for %s progress messages" %
          (spread(paints, digits=0), spread(progress, digits=0)))
    print("  time inside them on the UI thread:                  %s s (%s of its transfer time)" %
          (spread(paint_seconds), spread([p / t for p, t in zip(paint_seconds, transfer["window-shown"])])))
    print("the window's other work (hidden window - engine):     %s s" % spread(window_rest))
    print("the rest (MevraUpdater.exe - shown window):           %s s" %
          spread([u - s for u, s in zip(transfer["updater-prev"], transfer["window-shown"])]))

    removal = [r[name].get("removal") for r in rounds for name in ("window-shown", "window-hidden")]
    whole_prev = [r["updater-prev"]["ran"] for r in rounds]
    handoff_prev = [r["updater-prev"]["ran"] - r["updater-prev"]["whole"] for r in rounds]
    handoff_none = [r["updater-none"]["ran"] - r["updater-none"]["whole"] for r in rounds]
    print()
    print("removal of the previous installation (runs in the hand-off, after the last byte, so none of the")
    print("transfer time above is its own; with a previous installation vs without, the transfer differs by chance):")
    print("  timed around the removal in the window runs:        %s s" % spread(removal))
    print("  updater hand-off with a previous installation:      %s s, without: %s s" %
          (spread(handoff_prev), spread(handoff_none)))
    print("  transfer with a previous installation / without:    %s" %
          spread([p / n for p, n in zip(transfer["updater-prev"], transfer["updater-none"])]))
    print("  its share of the updater's whole run (start to installer started, %s s): %s" %
          (spread(whole_prev), spread([r["window-shown"]["removal"] / r["updater-prev"]["ran"] for r in rounds])))


if __name__ == "__main__":
    main()
