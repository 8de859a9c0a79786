#!/usr/bin/env python3
"""Walks the program's menu from a walk number the way people do (tray clicks, hovers shorter and
longer than the hover delay, clicks on rows at every level, navigation keys, clicks on the
desktop, opening programs) and checks from outside the program after every step:
  (a) the visible lists form one chain from the top list,
  (b) once no list is shown, no navigation key is still held as a hot key,
  (c) the program is alive,
and at the end that its windows and GDI objects are back to what they were once every list
had been opened once.

The program must already run in the Wine taskbar desktop with the toolbars named in
--toolbars (exercise.sh builds the tree and starts it). Exit status 0 when every check held, 1 on a failure (with the walk number and the
last 20 actions printed), 2 when the walk could not be set up.
"""

import argparse
import os
import select
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import menu_walk as mw  # noqa: E402


class SetupError(Exception):
    pass


class Failure(Exception):
    pass


class Helper:
    """The helper exe in "serve" mode: one Wine process for the whole walk."""

    def __init__(self, exe):
        self.proc = subprocess.Popen(["wine", exe, "serve"], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.buffer = b""

    def ask(self, command, timeout=20.0):
        self.proc.stdin.write((command + "\n").encode())
        self.proc.stdin.flush()
        lines, end = [], time.monotonic() + timeout
        while True:
            while b"\n" in self.buffer:
                raw, self.buffer = self.buffer.split(b"\n", 1)
                line = raw.decode("utf-8", "replace").rstrip("\r")
                if line == "end":
                    return lines
                lines.append(line)
            left = end - time.monotonic()
            if left <= 0 or not select.select([self.proc.stdout], [], [], left)[0]:
                raise SetupError("the helper did not answer %r" % command)
            chunk = os.read(self.proc.stdout.fileno(), 65536)
            if not chunk:
                raise SetupError("the helper ended while answering %r" % command)
            self.buffer += chunk

    def close(self):
        try:
            self.proc.stdin.write(b"quit\n")
            self.proc.stdin.close()
            self.proc.wait(timeout=10)
        except (OSError, subprocess.TimeoutExpired):
            self.proc.kill()
            self.proc.wait()


def held_keys(helper):
    """The navigation keys someone holds as a hot key now."""
    answer = helper.ask("hotkeys")
    held = next((line.split()[1:] for line in answer if line.startswith("held")), None)
    errors = [line for line in answer if line.startswith("error")]
    if held is None or errors:
        raise SetupError("the hot-key probe failed: %s" % answer)
    return held


def objects(helper, pid):
    """The windows and GDI objects of a process, None once it has ended."""
    answer = helper.ask("objects %d" % pid)
    if answer[:1] == ["gone"]:
        return None
    fields = dict(f.split("=", 1) for f in answer[0].split()[1:])
    counts = {"windows": int(fields["windows"]), "gdi": int(fields["gdi"]),
              "types": fields.get("types", "")}
    if counts["gdi"] < 0:
        raise SetupError("cannot read the GDI handle table of process %d under this Wine" % pid)
    return counts


def xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class Exerciser:
    def __init__(self, args):
        self.args = args
        self.helper = Helper(args.helper)
        self.menu = mw.MenuMap()
        self.log = []
        self.app_pid = None
        self.keys_held_before = []
        self.transient = 0
        self.folders_closed = 0
        self.closing = set()
        self.survey = args.survey
        self.found = []  # (action number, fault) in survey mode
        geometry = subprocess.run(["xdotool", "getdisplaygeometry"], check=True,
                                  capture_output=True, text=True).stdout.split()
        self.screen = (int(geometry[0]), int(geometry[1]))

    # --- looking -------------------------------------------------------------------------

    def state(self):
        answer = self.helper.ask("state")
        for line in answer:
            if line.startswith("folder ") and line not in self.closing:
                # Enter on a folder's row hands the folder to the shell, as it should; the
                # walk only means to open programs, so its model of the selection was off
                # (a key can fall between a submenu closing and its parent taking the keys).
                self.helper.ask("close " + line.split()[1])
                self.closing.add(line)
                self.log.append("     (a folder window opened and was closed)")
                self.folders_closed += 1
        lists, pid = mw.parse_state(answer)
        if self.app_pid is not None:
            lists = [w for w in lists if w.pid == self.app_pid]  # only this program's lists
        return lists, pid

    def visible(self, lists):
        return [w for w in lists if w.visible]

    def wait_for(self, what, test, timeout=10.0, step=0.02):
        end = time.monotonic() + timeout
        while True:
            lists, _ = self.state()
            if test(lists):
                return lists
            if time.monotonic() > end:
                raise SetupError("%s (visible: %s)" % (what, self.describe(lists)))
            time.sleep(step)

    def describe(self, lists):
        shown = self.visible(lists)
        if not shown:
            return "no list"
        return ", ".join("%s at %s%s" % (self.menu.name(w.hwnd), ",".join(map(str, w.rect)),
                                         " parent=%d" % w.parent_prop if w.parent_prop else "")
                         for w in shown)

    def settle(self):
        """Until the lists stop changing: the next action is then chosen from a screen that
        does not depend on how fast the machine happens to be (for a reproducible walk)."""
        time.sleep(0.03)
        last = [(w.hwnd, w.rect) for w in self.visible(self.state()[0])]
        for _ in range(30):
            time.sleep(0.03)
            now = [(w.hwnd, w.rect) for w in self.visible(self.state()[0])]
            if now == last:
                return
            last = now

    def held_keys(self):
        return held_keys(self.helper)

    def objects(self):
        counts = objects(self.helper, self.app_pid)
        if counts is None:
            raise Failure("the program has ended")
        return counts

    def steady_objects(self):
        """The counts once they stop moving (pictures are fetched a few at a time after a list
        first opens)."""
        last = self.objects()
        for _ in range(20):
            time.sleep(0.5)
            now = self.objects()
            if (now["windows"], now["gdi"]) == (last["windows"], last["gdi"]):
                return now
            last = now
        return last

    # --- acting --------------------------------------------------------------------------

    def keys(self, *names):
        answer = self.helper.ask("keys " + " ".join(names))
        if answer:
            raise SetupError("keys: %s" % answer)

    def perform(self, action):
        if action.kind == "tray":
            xdotool("mousemove", *mw.TRAY, "mousedown", 1, "mouseup", 1)
        elif action.kind == "hover":
            xdotool("mousemove", action.x, action.y, "mousemove", action.x + 1, action.y)
            time.sleep(action.dwell)
        elif action.kind in ("click", "outside"):
            # xdotool's "click" waits 100 ms after the press for nothing.
            xdotool("mousemove", action.x, action.y, "mousedown", 1, "mouseup", 1)
        elif action.kind == "key":
            self.keys(action.key)

    # --- checking ------------------------------------------------------------------------

    def check(self, settle):
        """The invariants now; a breach counts once it has lasted longer than the hover delay
        (a list closing its chain is seen mid-way by a look from outside, a left-over list
        stays)."""
        lists, pid = self.state()
        if pid != self.app_pid:
            raise Failure("the program has ended (no main window of process %d)" % self.app_pid)
        faults = mw.chain_faults(lists, self.menu) + mw.screen_faults(lists, self.menu,
                                                                       *self.screen)
        if faults:
            time.sleep(0.3 + 2 * self.delay_max)
            lists, pid = self.state()
            if pid != self.app_pid:
                raise Failure("the program has ended")
            confirmed = mw.chain_faults(lists, self.menu) + mw.screen_faults(
                lists, self.menu, *self.screen)
            if confirmed:
                self.breach("; ".join(confirmed) + " [visible: %s]" % self.describe(lists))
            else:
                self.transient += 1
        if not self.visible(lists):
            time.sleep(settle)
            lists, _ = self.state()
            if not self.visible(lists):
                faults = mw.hotkey_faults(self.held_keys(), self.keys_held_before)
                if faults:
                    time.sleep(0.5)
                    lists, _ = self.state()
                    if not self.visible(lists):
                        confirmed = mw.hotkey_faults(self.held_keys(), self.keys_held_before)
                        if confirmed:
                            self.breach("; ".join(confirmed))
        return lists

    def breach(self, fault):
        if not self.survey:
            # What the user would find next: the keys every other program has lost.
            raise Failure("%s [hot keys held now: %s]" %
                          (fault, " ".join(self.held_keys()) or "none"))
        if not self.found or self.found[-1][1] != fault:  # a lasting breach is told once
            print("  after action %d: %s" % (len(self.log), fault), flush=True)
        self.found.append((len(self.log), fault))

    # --- the walk ------------------------------------------------------------------------

    def read_tree(self):
        """The toolbars and their folders as the program lists them: subfolders first, then
        programs, each in the file system's order."""
        root = mw.Node("top")

        def folder(path, name, depth):
            node = mw.Node(name)
            if depth > 12:
                return node
            entries = [line.split(" ", 1) for line in self.helper.ask("dir " + path)]
            folders = [n for kind, n in entries if kind == "d" and n not in (".", "..")]
            files = [n for kind, n in entries if kind == "f" and n.lower().endswith(".exe")]
            for sub in folders:
                node.rows.append(mw.Row(sub, folder(path + "\\" + sub, name + "\\" + sub,
                                                    depth + 1)))
            for f in files:
                node.rows.append(mw.Row(f[:-4]))
            return node

        for line in open(self.args.toolbars, encoding="latin-1").read().splitlines():
            if "|" in line:
                path, title = line.split("|", 1)
                root.rows.append(mw.Row(title, folder(path, title, 0)))
        return root

    def tour(self, root):
        """Opens every list once with the keyboard, learning which window shows which
        folder; the object counts are taken after this "first opening"."""
        xdotool("mousemove", *mw.TRAY, "click", 1)
        lists = self.wait_for("no menu after a tray click", lambda ls: len(self.visible(ls)) == 1)
        top = self.visible(lists)[0]
        self.menu.learn(top.hwnd, root, 0)
        expected = 2 * mw.HEADER + mw.TOP_ROW * len(root.rows)
        if top.rect[3] - top.rect[1] != expected:
            raise SetupError("the top list is %d pixels high, not %d (%d toolbars of %d pixels)"
                             % (top.rect[3] - top.rect[1], expected, len(root.rows), mw.TOP_ROW))
        self.tour_list(top.hwnd, root)
        self.keys("escape")
        self.wait_for("Escape did not close the top list", lambda ls: not self.visible(ls))

    def tour_list(self, hwnd, node):
        for j, row in enumerate(node.rows):
            if not row.folder:
                continue
            shown_before = {w.hwnd for w in self.visible(self.state()[0])}
            self.keys("home", *(["down"] * j), "right")
            lists = self.wait_for("Right on %s opened no list" % row.child.name,
                                  lambda ls: any(w.hwnd not in shown_before
                                                 for w in self.visible(ls)))
            hwnd_new = [w.hwnd for w in self.visible(lists) if w.hwnd not in shown_before][0]
            # A list's window is created on its first opening and may show before it has its
            # size: wait until it stands still.
            self.settle()
            new = next((w for w in self.visible(self.state()[0]) if w.hwnd == hwnd_new), None)
            if new is None:
                raise SetupError("%s closed again by itself" % row.child.name)
            height = new.rect[3] - new.rect[1]
            rows = (height - 2 * mw.HEADER) // mw.SUB_ROW
            if rows < len(row.child.rows) and any(r.folder for r in row.child.rows):
                raise SetupError("%s scrolls but holds folders" % row.child.name)
            if rows > len(row.child.rows) or (rows == len(row.child.rows) and
                                              height != 2 * mw.HEADER + rows * mw.SUB_ROW):
                raise SetupError("%s is %d pixels high for %d rows" %
                                 (row.child.name, height, len(row.child.rows)))
            self.menu.learn(new.hwnd, row.child, hwnd)
            self.tour_list(new.hwnd, row.child)
            self.keys("escape")
            self.wait_for("Escape did not close %s" % row.child.name,
                          lambda ls: not any(w.hwnd == new.hwnd for w in self.visible(ls)))
            # The parent takes the keys back just after the submenu is hidden: a key sent in
            # between reaches nobody.
            time.sleep(0.1)

    def measure_delay(self, root):
        """How long a hovered toolbar takes to open its submenu, seen from outside."""
        xdotool("mousemove", *mw.TRAY, "click", 1)
        lists = self.wait_for("no menu", lambda ls: len(self.visible(ls)) == 1)
        left, top, right, _ = self.visible(lists)[0].rect
        samples = []
        order = [i for i in range(len(root.rows))] * 2
        for n, i in enumerate(order):
            if n > 0 and order[n - 1] == i:
                continue
            y = top + mw.HEADER + i * mw.TOP_ROW + mw.TOP_ROW // 2
            child = next(h for h, k in self.menu.by_hwnd.items() if k.node is root.rows[i].child)
            start = time.monotonic()
            xdotool("mousemove", left + 100 + n, y, "mousemove", left + 101 + n, y)
            self.wait_for("hovering %s opened nothing" % root.rows[i].name,
                          lambda ls: any(w.hwnd == child for w in self.visible(ls)),
                          step=0.002)
            samples.append(time.monotonic() - start)
        self.keys("escape")
        self.wait_for("Escape left the submenu", lambda ls: len(self.visible(ls)) == 1)
        time.sleep(0.1)  # until the top list has taken the keys back
        self.keys("escape")
        self.wait_for("Escape left the top list", lambda ls: not self.visible(ls))
        xdotool("mousemove", 640, 60)
        return samples

    def cycles(self, root, count):
        """Opens the first toolbar's submenu with Right and closes it with Left, count times,
        and prints the windows and GDI objects after the first opening and after the last:
        someone who lives in the menu must not pile anything up."""
        xdotool("mousemove", *mw.TRAY, "click", 1)
        lists = self.wait_for("no menu for the cycles", lambda ls: len(self.visible(ls)) == 1)
        top = self.visible(lists)[0].hwnd
        row = next(j for j, r in enumerate(root.rows) if r.folder)
        child = next(h for h, k in self.menu.by_hwnd.items() if k.node is root.rows[row].child)
        self.keys("home", *(["down"] * row))

        def once():
            # The parent takes the keys back just after its submenu hides: a Right sent in
            # between reaches nobody and is sent again.
            for _ in range(20):
                self.keys("right")
                try:
                    self.wait_for("Right opened nothing", lambda ls: any(
                        w.hwnd == child for w in self.visible(ls)), timeout=0.5, step=0.005)
                    break
                except SetupError:
                    continue
            self.keys("left")
            self.wait_for("Left left the submenu open", lambda ls: not any(
                w.hwnd == child for w in self.visible(ls)), step=0.005)

        once()
        first = self.steady_objects()
        started = time.monotonic()
        for _ in range(count):
            once()
        last = self.steady_objects()
        print("%d openings of %s in %.0f s: windows %+d, GDI objects %+d (after the first: "
              "%d windows, %d GDI objects)" % (count, root.rows[row].name,
                                               time.monotonic() - started,
                                               last["windows"] - first["windows"],
                                               last["gdi"] - first["gdi"], first["windows"],
                                               first["gdi"]), flush=True)
        faults = mw.object_faults(first, last)
        if faults:
            self.breach("after %d openings: %s" % (count, "; ".join(faults)))
        self.keys("escape")
        self.wait_for("Escape left the top list", lambda ls: not any(
            w.hwnd == top for w in self.visible(ls)))

    def run(self, number, count):
        lists, self.app_pid = self.state()
        if self.app_pid is None:
            raise SetupError("the program's main window is missing")
        self.keys_held_before = self.held_keys()
        root = self.read_tree()
        self.tour(root)
        samples = self.measure_delay(root)
        # In steps of 50 ms, so that the same walk number dwells just as long from run to run.
        self.delay_min = max(0.05, 0.05 * int(min(samples) / 0.05))
        self.delay_max = 0.05 * (int(max(samples) / 0.05) + 1)
        print("hover delay seen from outside: %s ms" %
              " ".join("%.0f" % (s * 1000) for s in samples), flush=True)
        if self.args.cycles:
            self.cycles(root, self.args.cycles)
        baseline = self.steady_objects()
        print("after the first opening: %d windows, %d GDI objects (%s)" %
              (baseline["windows"], baseline["gdi"], mw.describe_types(baseline["types"])),
              flush=True)
        walker = mw.Walker(number, self.menu, self.delay_min, self.delay_max)
        lists, _ = self.state()
        walker.observe(None, lists)
        started = time.monotonic()
        spent = {}
        for i in range(count):
            action = walker.next_action(lists)
            self.log.append("%4d %s" % (i + 1, action.describe()))
            begun = time.monotonic()
            self.perform(action)
            if action.kind != "hover" or action.dwell > self.delay_min:
                self.settle()
            lists = self.check(settle=0.15)
            walker.observe(action, lists)
            kind = action.key if action.kind == "key" else action.kind
            n, total = spent.get(kind, (0, 0.0))
            spent[kind] = (n + 1, total + time.monotonic() - begun)
        print("%d actions in %.0f s (%d breaches that did not last, %d folder windows): %s" %
              (count, time.monotonic() - started, self.transient, self.folders_closed,
               ", ".join("%s %dx%.2f s" % (k, n, t / n) for k, (n, t) in sorted(spent.items()))),
              flush=True)
        self.close_everything()
        final = self.steady_objects()
        print("at the end: %d windows, %d GDI objects (%s)" %
              (final["windows"], final["gdi"], mw.describe_types(final["types"])), flush=True)
        faults = mw.object_faults(baseline, final)
        if faults and not self.visible(self.state()[0]):  # shown lists hold their pictures
            self.breach("; ".join(faults))
        if self.found:
            raise Failure("%d breaches, the first after action %d" % (len(self.found),
                                                                      self.found[0][0]))

    def close_everything(self):
        self.log.append("     close: Escape until no list, then a click on the desktop")
        for _ in range(10):
            lists, _ = self.state()
            if not self.visible(lists):
                break
            self.keys("escape")
            time.sleep(0.2)
        lists, _ = self.state()
        if self.visible(lists):
            xdotool("mousemove", 600, 40, "click", 1)
            time.sleep(0.5 + 2 * self.delay_max)
        lists = self.check(settle=0.5)
        if self.visible(lists):
            self.breach("lists stay open after Escape and a click on the desktop: " +
                        self.describe(lists))

    def keep_evidence(self, name):
        os.makedirs(self.args.work, exist_ok=True)
        shot = os.path.join(self.args.work, name + ".png")
        subprocess.run(["import", "-window", "root", shot], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        with open(os.path.join(self.args.work, name + "-windows.txt"), "w") as out:
            try:
                out.write("\n".join(self.helper.ask("windows")) + "\n")
            except SetupError as error:
                out.write("no window list: %s\n" % error)
        return shot


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--helper", required=True, help="e2e_helper.exe")
    parser.add_argument("--toolbars", required=True, help="the program's ToolBars.txt")
    parser.add_argument("--work", required=True, help="where evidence of a failure goes")
    parser.add_argument("--walk", type=int, required=True)
    parser.add_argument("--actions", type=int, default=400)
    parser.add_argument("--cycles", type=int, default=0,
                        help="open and close one submenu this many times before the walk")
    parser.add_argument("--survey", action="store_true",
                        help="note every breach and walk on, instead of stopping at the first")
    args = parser.parse_args()
    exerciser = Exerciser(args)
    status = 0
    try:
        exerciser.run(args.walk, args.actions)
        print("walk %d: every check held over %d actions" % (args.walk, args.actions))
    except (Failure, SetupError) as error:
        status = 1 if isinstance(error, Failure) else 2
        name = "failure-walk%d" % args.walk
        shot = exerciser.keep_evidence(name)
        print("FAIL walk %d: %s" % (args.walk, error))
        print("last %d actions:" % min(20, len(exerciser.log)))
        for line in exerciser.log[-20:]:
            print("  " + line)
        print("evidence: %s, %s-windows.txt" % (shot, os.path.join(args.work, name)))
    finally:
        with open(os.path.join(args.work, "actions-walk%d.txt" % args.walk), "w") as out:
            out.write("\n".join(exerciser.log) + "\n")
        exerciser.helper.close()
    return status


if __name__ == "__main__":
    sys.exit(main())
