"""What the menu exerciser does and what it checks, without any I/O, so it can be tested natively.

A walk is a number and a screen: each step draws exactly four numbers from the walk number's
generator, whatever the screen shows, and maps them onto the lists visible now. The same walk
number therefore gives the same actions as long as the program answers the same way.
"""

from dataclasses import dataclass, field
import random

TRAY = (1269, 790)
HEADER = 8  # pixels above the first row (and below the last) at 96 dpi
TOP_ROW = 38  # a toolbar's row in the top list
SUB_ROW = 24  # a row of a folder's list
NAV_KEYS = ("up", "down", "home", "end", "pageup", "pagedown")
DESKTOP = (150, 60, 1000, 740)  # where a click meets nothing but the desktop, lists aside


@dataclass
class Node:
    """A folder of the toolbar tree, its rows in the program's order."""
    name: str
    rows: list = field(default_factory=list)  # Row

    def row_of(self, child):
        for i, row in enumerate(self.rows):
            if row.child is child:
                return i
        return -1


@dataclass
class Row:
    name: str
    child: Node = None  # the subfolder's node; None for a file (a copy of the probe)

    @property
    def folder(self):
        return self.child is not None


@dataclass(frozen=True)
class ListWindow:
    hwnd: int
    pid: int
    visible: bool
    rect: tuple  # left, top, right, bottom
    parent_prop: int = 0  # the "ZelkToolBars.ParentMenu" property, 0 when absent


def parse_state(lines):
    """Lists and the main window's process from the helper's "state" answer."""
    lists, main_pid = [], None
    for line in lines:
        words = line.split()
        if words[:1] == ["list"] and len(words) == 6:
            rect = tuple(int(v) for v in words[4].split(","))
            lists.append(ListWindow(int(words[1]), int(words[2]), words[3] == "1", rect,
                                    int(words[5])))
        elif words[:1] == ["main"] and len(words) == 3:
            main_pid = int(words[2])
    return lists, main_pid


@dataclass
class Known:
    """What the tour learnt about one list window."""
    node: Node
    parent: int  # the parent list's window, 0 for the top list
    row_height: int


class MenuMap:
    """List windows the tour has seen, by handle."""

    def __init__(self):
        self.by_hwnd = {}
        self.top = 0
        self.property_seen = False  # once the program names parents, every submenu must

    def learn(self, hwnd, node, parent):
        self.by_hwnd[hwnd] = Known(node, parent, TOP_ROW if parent == 0 else SUB_ROW)
        if parent == 0:
            self.top = hwnd

    def name(self, hwnd):
        known = self.by_hwnd.get(hwnd)
        return known.node.name if known else "list %d" % hwnd


def touches(child, parent):
    """Whether child was placed beside parent, as a submenu opens from one of its rows."""
    cl, ct, cr, cb = child.rect
    pl, pt, pr, pb = parent.rect
    beside = abs(cr - pl) <= 4 or abs(cl - pr) <= 4
    return beside and ct < pb and cb > pt


def parents(visible, menu):
    """Each visible submenu's parent: what the program says (the window property) when it
    says it, else what the tour saw, else the one visible list it was placed beside; -1 when
    none of these tells. The top list is left out."""
    parent_of = {}
    for w in visible:
        if w.hwnd == menu.top:
            continue
        if w.parent_prop:
            parent_of[w.hwnd] = w.parent_prop
        elif menu.property_seen:
            parent_of[w.hwnd] = 0  # the program stopped naming this one's parent
        elif w.hwnd in menu.by_hwnd:
            parent_of[w.hwnd] = menu.by_hwnd[w.hwnd].parent
        else:
            beside = [p.hwnd for p in visible if p is not w and touches(w, p)]
            parent_of[w.hwnd] = beside[0] if len(beside) == 1 else -1
    return parent_of


def chain_faults(lists, menu):
    """Why the visible lists are not one chain from the top list, or [] when they are."""
    visible = [w for w in lists if w.visible]
    if any(w.parent_prop for w in lists):
        menu.property_seen = True
    if not visible:
        return []
    by_hwnd = {w.hwnd: w for w in visible}
    faults = []
    if menu.top in by_hwnd and by_hwnd[menu.top].parent_prop:
        faults.append("the top list names a parent (%d)" % by_hwnd[menu.top].parent_prop)
    if menu.top not in by_hwnd:
        faults.append("lists are shown without the top list: " +
                      ", ".join(menu.name(h) for h in by_hwnd))
    parent_of = parents(visible, menu)
    for hwnd, parent in parent_of.items():
        if parent == 0:
            faults.append("%s is shown without naming its parent" % menu.name(hwnd))
        elif parent == -1:
            faults.append("cannot tell which list %s belongs to" % menu.name(hwnd))
        elif parent not in by_hwnd:
            faults.append("%s is shown but its parent %s is hidden" %
                          (menu.name(hwnd), menu.name(parent)))
    children = {}
    for hwnd, parent in parent_of.items():
        children.setdefault(parent, []).append(hwnd)
    for parent, kids in children.items():
        if len(kids) > 1 and parent in by_hwnd:
            faults.append("%s shows %d submenus at once: %s" %
                          (menu.name(parent), len(kids), ", ".join(menu.name(k) for k in kids)))
    for hwnd in parent_of:  # a loop of parents never reaches the top list
        seen, at = set(), hwnd
        while at in parent_of and at not in seen:
            seen.add(at)
            at = parent_of[at]
        if at in seen:
            faults.append("%s is in a loop of parents" % menu.name(hwnd))
            break
    return faults


def screen_faults(lists, menu, width, height):
    """The visible lists that leave the screen (0, 0, width, height): a list off its edge
    cannot be read or reached."""
    return ["%s leaves the screen at %s" % (menu.name(w.hwnd), ",".join(map(str, w.rect)))
            for w in lists if w.visible and (w.rect[0] < 0 or w.rect[1] < 0 or
                                             w.rect[2] > width or w.rect[3] > height)]


def chain_order(lists, menu):
    """The visible lists from the top list down, as far as each has exactly one child."""
    visible = [w for w in lists if w.visible]
    parent_of = parents(visible, menu)
    order, at = [], menu.top
    while at in {w.hwnd for w in visible} and at not in order:
        order.append(at)
        kids = [h for h, p in parent_of.items() if p == at]
        at = kids[0] if len(kids) == 1 else 0
    return order


def hotkey_faults(held, before):
    """Navigation keys held as hot keys once no list is shown, beyond those held before the
    program ever opened a list."""
    extra = [k for k in held if k not in before]
    if not extra:
        return []
    return ["no list is shown, yet these keys are still held as hot keys: " + " ".join(extra)]


# GDI object kinds as Wine numbers them (NTGDI_OBJ_* >> 16).
GDI_KINDS = {0x01: "window DC", 0x41: "memory DC", 0x04: "region", 0x05: "DC surface",
             0x08: "palette", 0x09: "bitmap", 0x0A: "font", 0x10: "brush", 0x30: "pen",
             0x50: "extended pen"}
# Each entry of Wine's per-process cache of window DCs (DCE_CACHE_SIZE, 64) is a DC, its
# visible region and its surface. The cache grows when a window wants a DC while every
# entry is taken or tied to another window, so it depends on timing, not on the program:
# it is left out of the comparison, as far as 64 entries.
DC_CACHE = (0x01, 0x04, 0x05)
DC_CACHE_SIZE = 64


def parse_types(text):
    """"1:7,4:5" -> {1: 7, 4: 5}"""
    return {int(k): int(v) for k, v in (p.split(":") for p in text.split(",") if p)}


def describe_types(text):
    return ", ".join("%d %s" % (n, GDI_KINDS.get(k, "kind %d" % k))
                     for k, n in sorted(parse_types(text).items()))


def object_faults(baseline, final):
    """Windows and GDI objects left over since the baseline; Wine's own cache of window DCs
    is told apart by its signature (as many DCs, regions and surfaces more)."""
    faults = []
    if final["windows"] != baseline["windows"]:
        faults.append("windows: %d after the first opening, %d at the end" %
                      (baseline["windows"], final["windows"]))
    before, after = parse_types(baseline["types"]), parse_types(final["types"])
    delta = {k: after.get(k, 0) - before.get(k, 0) for k in set(before) | set(after)}
    grown = delta.get(DC_CACHE[0], 0)
    if 0 < grown <= DC_CACHE_SIZE and all(delta.get(k, 0) == grown for k in DC_CACHE):
        for k in DC_CACHE:
            delta[k] = 0
    changed = sorted((k, d) for k, d in delta.items() if d)
    if changed:
        faults.append("GDI objects: %d after the first opening, %d at the end (%s)" % (
            baseline["gdi"], final["gdi"],
            ", ".join("%+d %s" % (d, GDI_KINDS.get(k, "kind %d" % k)) for k, d in changed)))
    return faults


def navigate(index, count, key, page_rows):
    """The row a navigation key selects in a list of count rows (every row selectable), as the
    list does it; None when unknown."""
    last = count - 1
    if count == 0:
        return index
    if key == "home":
        return 0
    if key == "end":
        return last
    if index is None:
        return None
    if key == "up":
        return index - 1 if index - 1 >= 0 else index
    if key == "down":
        return index + 1 if index + 1 <= last else index
    if key == "pagedown":
        return index + page_rows if index + page_rows <= last else last
    if key == "pageup":
        return index - page_rows if index - page_rows >= 0 else 0
    return index


@dataclass
class Action:
    kind: str  # tray, hover, click, key, outside
    x: int = 0
    y: int = 0
    key: str = ""
    dwell: float = 0.0
    what: str = ""  # for the log

    def describe(self):
        if self.kind == "key":
            return "key %s%s" % (self.key, " (" + self.what + ")" if self.what else "")
        if self.kind == "hover":
            return "hover %.0f ms at %d,%d %s" % (self.dwell * 1000, self.x, self.y, self.what)
        if self.kind in ("click", "outside"):
            return "%s at %d,%d %s" % (self.kind, self.x, self.y, self.what)
        return self.kind


def row_targets(window, known):
    """(row index, y, is_folder) for each row of a list that shows on screen now."""
    left, top, right, bottom = window.rect
    if known is None:
        height = SUB_ROW
        count = max(0, (bottom - top - 2 * HEADER) // height)
        return [(i, top + HEADER + i * height + height // 2, None) for i in range(count)]
    height = known.row_height
    rows = known.node.rows
    shown = (bottom - top - 2 * HEADER) // height
    if shown >= len(rows):
        return [(i, top + HEADER + i * height + height // 2, row.folder)
                for i, row in enumerate(rows)]
    # A list that scrolls holds only files (the tree is built so): where the scroll stands
    # does not matter then.
    return [(None, top + HEADER + i * height + height // 2, False) for i in range(shown)]


class Walker:
    """Chooses the next action from the walk number and what is on screen, and keeps a model of the
    selection (the row Enter would open) of the list that has the keys."""

    def __init__(self, number, menu, delay_min, delay_max):
        self.rng = random.Random(number)
        self.menu = menu
        self.delay_min = delay_min
        self.delay_max = delay_max
        self.selection = {}  # hwnd -> row index, -1 for none, None for unknown
        self.visible_before = []

    def draw(self):
        return [self.rng.random() for _ in range(4)]

    def _pick_row(self, visible, u_list, u_row, want_folder, folder_share):
        window = visible[min(int(u_list * len(visible)), len(visible) - 1)]
        known = self.menu.by_hwnd.get(window.hwnd)
        targets = row_targets(window, known)
        folders = [t for t in targets if t[2]]
        files = [t for t in targets if t[2] is False or t[2] is None]
        pool = folders if (want_folder < folder_share and folders) or not files else files
        if not pool:
            return window, None
        return window, pool[min(int(u_row * len(pool)), len(pool) - 1)]

    def _row_x(self, window, u):
        left, _, right, _ = window.rect
        # The left two thirds of a row: the scroll bar, when there is one, is on the right.
        return left + 12 + int(u * ((right - left) * 2 // 3 - 12))

    def _label(self, window, target):
        known = self.menu.by_hwnd.get(window.hwnd)
        name = self.menu.name(window.hwnd)
        if target[0] is None or known is None:
            return "in %s" % name
        row = known.node.rows[target[0]]
        return "on %s row %d (%s%s)" % (name, target[0], row.name, "\\" if row.folder else "")

    def frontmost(self, lists):
        order = chain_order(lists, self.menu)
        return order[-1] if order else 0

    def next_action(self, lists):
        u_kind, u_list, u_row, u_extra = self.draw()
        visible = [w for w in lists if w.visible]
        if not visible:
            if u_kind < 0.75:
                return Action("tray")
            if u_kind < 0.85:
                return self._outside(lists, u_list, u_row)
            return Action("key", key=NAV_KEYS[min(int(u_extra * 6), 5)], what="nothing shown")
        cumulative = 0.0
        for kind, share in (("tray", 0.04), ("hover_short", 0.14), ("hover_long", 0.17),
                            ("click", 0.13), ("nav", 0.22), ("escape", 0.05), ("right", 0.06),
                            ("left", 0.05), ("outside", 0.06), ("open", 0.08)):
            cumulative += share
            if u_kind < cumulative:
                break
        if kind == "tray":
            return Action("tray")
        if kind in ("hover_short", "hover_long"):
            window, target = self._pick_row(visible, u_list, u_row, u_extra, 0.6)
            if target is None:
                return Action("key", key="down")
            if kind == "hover_short":
                dwell = u_extra * 0.6 * self.delay_min
            else:
                dwell = 1.2 * self.delay_max + 0.05 + u_extra * 0.05
            return Action("hover", self._row_x(window, u_row), target[1], dwell=dwell,
                          what=self._label(window, target))
        if kind == "click":
            window, target = self._pick_row(visible, u_list, u_row, u_extra, 0.75)
            if target is None:
                return Action("key", key="down")
            return Action("click", self._row_x(window, u_extra), target[1],
                          what=self._label(window, target))
        if kind == "nav":
            return Action("key", key=NAV_KEYS[min(int(u_extra * 6), 5)])
        if kind in ("escape", "right", "left"):
            return Action("key", key=kind)
        if kind == "outside":
            return self._outside(lists, u_list, u_row)
        return self._open(lists, visible, u_list, u_row, u_extra)

    def _open(self, lists, visible, u_list, u_row, u_extra):
        """Enter on the selected row when it is known to be a program, else a click on a
        program's row."""
        front = self.frontmost(lists)
        known = self.menu.by_hwnd.get(front)
        index = self.selection.get(front)
        if known is not None and index is not None and 0 <= index < len(known.node.rows) \
                and not known.node.rows[index].folder:
            return Action("key", key="return",
                          what="opens %s" % known.node.rows[index].name)
        window, target = self._pick_row(visible, u_list, u_row, 1.0, 0.0)
        if target is None or target[2]:
            return Action("key", key=NAV_KEYS[min(int(u_extra * 6), 5)])
        return Action("click", self._row_x(window, u_extra), target[1],
                      what="opens " + self._label(window, target))

    def _outside(self, lists, u1, u2):
        left, top, right, bottom = DESKTOP
        for k in range(12):
            x = left + int(((u1 + 0.37 * k) % 1.0) * (right - left))
            y = top + int(((u2 + 0.61 * k) % 1.0) * (bottom - top))
            if not any(w.visible and w.rect[0] - 12 <= x <= w.rect[2] + 12 and
                       w.rect[1] - 12 <= y <= w.rect[3] + 12 for w in lists):
                return Action("outside", x, y, what="on the desktop")
        return Action("key", key="escape", what="no desktop left to click")

    def observe(self, action, lists):
        """Keeps the selection model in step with what the action did and what shows now."""
        order = chain_order(lists, self.menu)
        before = self.visible_before
        if action is not None and action.kind == "key" and action.key in NAV_KEYS and before \
                and before[-1] in order:
            front = before[-1]
            known = self.menu.by_hwnd.get(front)
            if known is not None:
                window = next(w for w in lists if w.hwnd == front)
                page = max(1, (window.rect[3] - window.rect[1] - 2 * HEADER) // known.row_height)
                self.selection[front] = navigate(self.selection.get(front),
                                                 len(known.node.rows), action.key, page)
        for hwnd in order:
            if hwnd not in before:
                self.selection[hwnd] = -1  # a list opens with nothing selected
        pairs_before = set(zip(before, before[1:]))
        for parent, child in zip(order, order[1:]):
            if (parent, child) not in pairs_before:  # opening a submenu selects its row
                parent_known = self.menu.by_hwnd.get(parent)
                child_known = self.menu.by_hwnd.get(child)
                row = parent_known.node.row_of(child_known.node) \
                    if parent_known and child_known else -1
                self.selection[parent] = row if row >= 0 else None
        if order and order[-1] in before[:-1]:
            # The list lost its submenu: by a key in the submenu the row stays selected; by the
            # mouse it is dropped.
            if not (action is not None and action.kind == "key" and
                    action.key in ("escape", "left")):
                self.selection[order[-1]] = None
        self.visible_before = order
