#!/usr/bin/env python3
"""Shows that the exerciser's probes see what they claim to see under this Wine, with
stand-ins instead of the program:
  - a navigation key held as a hot key by another process is reported, and no longer once
    that process lets go;
  - the object counts of another process (its windows; its GDI objects, read from the GDI
    handle table its PEB points to, since GetGuiResources answers 0 under Wine 8) move with a
    program that leaks one brush or one window per action, and stay put when it frees what
    it makes, so the end-of-walk comparison catches such a leak (by kind: brushes, memory
    DCs, windows).
"""

import os
import subprocess
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import exercise as ex  # noqa: E402
import menu_walk as mw  # noqa: E402


class Standin:
    """A second helper process ("hold KEY" or "leaker") driven one line at a time."""

    def __init__(self, helper, *args):
        self.proc = subprocess.Popen(["wine", helper] + list(args), stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.first = self.read()

    def read(self):
        return self.proc.stdout.readline().decode().strip()

    def tell(self, line):
        self.proc.stdin.write((line + "\n").encode())
        self.proc.stdin.flush()
        return self.read()

    def end(self):
        self.proc.stdin.close()
        self.proc.wait(timeout=20)


def check_hot_keys(helper, failures):
    before = ex.held_keys(helper)
    for key in ("pagedown", "escape"):
        holder = Standin(helper.exe, "hold", key)
        if holder.first != "held":
            failures.append("the stand-in could not hold %s: %s" % (key, holder.first))
            holder.end()
            continue
        faults = mw.hotkey_faults(ex.held_keys(helper), before)
        if len(faults) != 1 or faults[0].split(": ")[1] != key:
            failures.append("%s held by another process: the probe says %s" % (key, faults))
        holder.end()
        faults = mw.hotkey_faults(ex.held_keys(helper), before)
        if faults:
            failures.append("%s let go, the probe still says %s" % (key, faults))
    print("hot keys held by another process are seen, and seen let go")


def check_objects(helper, failures):
    leaker = Standin(helper.exe, "leaker")
    pid = int(leaker.first.split()[1])
    # The first window of a thread brings the thread's input-method window with it.
    leaker.tell("window")
    base = ex.objects(helper, pid)
    rounds = [("balanced", 6, 0, 0), ("brush", 7, 0, 7), ("dc", 4, 0, 4), ("window", 3, 3, 0)]
    for what, actions, windows, gdi in rounds:
        start = ex.objects(helper, pid)
        for _ in range(actions):
            if leaker.tell(what) != "ok":
                failures.append("the stand-in could not make a %s" % what)
        end = ex.objects(helper, pid)
        moved = (end["windows"] - start["windows"], end["gdi"] - start["gdi"])
        if moved != (windows, gdi):
            failures.append("%d actions leaking %s: the counts moved by %s, not %s" %
                            (actions, what, moved, (windows, gdi)))
        print("%d actions (%s): windows %+d, GDI objects %+d" % (actions, what, *moved))
    faults = mw.object_faults(base, ex.objects(helper, pid))
    if len(faults) != 2 or not all(s in faults[1] for s in ("+7 brush", "+4 memory DC")):
        failures.append("the comparison at the end of a walk misses the leaks: %s" % faults)
    else:
        print("the end-of-walk comparison says: " + "; ".join(faults))
    leaker.tell("quit")
    leaker.end()


def main():
    helper = ex.Helper(sys.argv[1])
    helper.exe = sys.argv[1]
    failures = []
    try:
        check_hot_keys(helper, failures)
        check_objects(helper, failures)
    finally:
        helper.close()
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
