"""The exerciser's choices and checks, natively: run with python3 -m unittest."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import menu_walk as mw  # noqa: E402

# A small tree: the top list holds Apps and Many; Apps holds the folder Games and the
# program Alpha; Games holds Chess; Many holds sixty programs (it scrolls).
GAMES = mw.Node("Apps\\Games", [mw.Row("Chess")])
APPS = mw.Node("Apps", [mw.Row("Games", GAMES), mw.Row("Alpha")])
MANY = mw.Node("Many", [mw.Row("Item%02d" % i) for i in range(60)])
ROOT = mw.Node("top", [mw.Row("Apps", APPS), mw.Row("Many", MANY)])
TOP, APPS_W, GAMES_W, MANY_W = 100, 200, 300, 400


def learnt():
    menu = mw.MenuMap()
    menu.learn(TOP, ROOT, 0)
    menu.learn(APPS_W, APPS, TOP)
    menu.learn(GAMES_W, GAMES, APPS_W)
    menu.learn(MANY_W, MANY, TOP)
    return menu


def win(hwnd, visible=True, parent=0):
    rects = {TOP: (980, 688, 1280, 780), APPS_W: (630, 688, 980, 752),
             GAMES_W: (280, 688, 630, 728), MANY_W: (630, 0, 980, 784)}
    return mw.ListWindow(hwnd, 7, visible, rects.get(hwnd, (10, 10, 360, 74)), parent)


class ChainTest(unittest.TestCase):
    def test_chains(self):
        cases = [
            ("nothing shown", [win(TOP, False), win(APPS_W, False)], []),
            ("the top list alone", [win(TOP)], []),
            ("three levels", [win(GAMES_W), win(APPS_W), win(TOP)], []),
            ("hidden lists do not count", [win(MANY_W, False), win(APPS_W), win(TOP)], []),
            ("two submenus of the top list", [win(MANY_W), win(APPS_W), win(TOP)],
             ["top shows 2 submenus at once"]),
            ("a submenu left after the top list closed", [win(APPS_W), win(TOP, False)],
             ["without the top list", "its parent top is hidden"]),
            ("a grandchild whose parent closed", [win(GAMES_W), win(TOP)],
             ["Apps\\Games is shown but its parent Apps is hidden"]),
        ]
        for name, lists, expected in cases:
            with self.subTest(name):
                faults = mw.chain_faults(lists, learnt())
                self.assertEqual(len(faults), len(expected), faults)
                for part, fault in zip(expected, faults):
                    self.assertIn(part, fault)

    def test_the_property_wins_over_what_the_tour_saw(self):
        cases = [
            ("named parents", [win(GAMES_W, parent=APPS_W), win(APPS_W, parent=TOP), win(TOP)],
             []),
            ("a property naming a hidden list",
             [win(GAMES_W, parent=MANY_W), win(APPS_W, parent=TOP), win(TOP)],
             ["its parent Many is hidden"]),
            ("the top list with a parent", [win(TOP, parent=APPS_W)], ["top list names"]),
            ("a submenu without the property once others have it",
             [win(GAMES_W), win(APPS_W, parent=TOP), win(TOP)], ["without naming its parent"]),
            ("a loop of parents",
             [win(GAMES_W, parent=APPS_W), win(APPS_W, parent=GAMES_W), win(TOP)],
             ["loop of parents"]),
        ]
        for name, lists, expected in cases:
            with self.subTest(name):
                faults = mw.chain_faults(lists, learnt())
                self.assertEqual(len(faults), len(expected), faults)
                for part, fault in zip(expected, faults):
                    self.assertIn(part, fault)

    def test_a_list_the_tour_never_saw_goes_by_where_it_stands(self):
        beside = mw.ListWindow(900, 7, True, (630, 700, 980, 764), 0)  # left of the top list
        alone = mw.ListWindow(901, 7, True, (10, 10, 360, 74), 0)
        self.assertEqual(mw.chain_faults([beside, win(TOP)], learnt()), [])
        self.assertIn("cannot tell", mw.chain_faults([alone, win(TOP)], learnt())[0])

    def test_a_list_past_any_edge_of_the_screen_is_a_fault(self):
        self.assertEqual(mw.screen_faults([win(TOP), win(GAMES_W)], learnt(), 1280, 800), [])
        for rect in [(-70, 10, 280, 74), (10, -1, 360, 74), (1000, 10, 1281, 74),
                     (10, 700, 360, 801)]:
            with self.subTest(rect):
                off = mw.ListWindow(902, 7, True, rect, 0)
                self.assertEqual(len(mw.screen_faults([win(TOP), off], learnt(), 1280, 800)), 1)
        hidden = mw.ListWindow(903, 7, False, (-70, 10, 280, 74), 0)
        self.assertEqual(mw.screen_faults([hidden], learnt(), 1280, 800), [])

    def test_chain_order_follows_parents(self):
        self.assertEqual(mw.chain_order([win(GAMES_W), win(TOP), win(APPS_W)], learnt()),
                         [TOP, APPS_W, GAMES_W])
        # With two submenus of one list nobody knows which has the keys: the chain stops.
        self.assertEqual(mw.chain_order([win(MANY_W), win(APPS_W), win(TOP)], learnt()), [TOP])


class OtherChecksTest(unittest.TestCase):
    def test_hot_keys(self):
        cases = [([], [], False), (["down", "up"], [], True), (["tab"], ["tab"], False),
                 (["tab", "escape"], ["tab"], True)]
        for held, before, fault in cases:
            with self.subTest(held=held, before=before):
                faults = mw.hotkey_faults(held, before)
                self.assertEqual(bool(faults), fault)
                if fault:
                    self.assertNotIn("tab", faults[0].split(": ")[1].split())

    def test_objects(self):
        base = {"windows": 40, "gdi": 300, "types": "1:7,4:5,5:7,9:65,16:20,65:12"}

        def final(windows=40, **kinds):
            types = mw.parse_types(base["types"])
            for name, d in kinds.items():
                types[int(name[1:], 16)] = types.get(int(name[1:], 16), 0) + d
            return {"windows": windows, "gdi": sum(types.values()),
                    "types": ",".join("%d:%d" % kv for kv in sorted(types.items()))}

        cases = [
            ("nothing moved", final(), []),
            ("a brush per action", final(k10=7), ["+7 brush"]),
            ("a memory DC", final(k41=1), ["+1 memory DC"]),
            ("a window", final(windows=41), ["windows: 40"]),
            ("Wine's DC cache grew by two", final(k01=2, k04=2, k05=2), []),
            ("the cache and a leaked region", final(k01=2, k04=3, k05=2),
             ["+2 window DC, +3 region, +2 DC surface"]),
            ("more DCs than the cache holds", final(k01=70, k04=70, k05=70), ["+70 window DC"]),
            ("a bitmap gone", final(k09=-1), ["-1 bitmap"]),
        ]
        for name, end, expected in cases:
            with self.subTest(name):
                faults = mw.object_faults(base, end)
                self.assertEqual(len(faults), len(expected), faults)
                for part, fault in zip(expected, faults):
                    self.assertIn(part, fault)

    def test_state_lines(self):
        lists, pid = mw.parse_state(["list 65544 32 1 980,688,1280,780 0", "main 65550 32",
                                     "list 65600 32 0 0,0,0,0 65544"])
        self.assertEqual(pid, 32)
        self.assertEqual(lists[0], mw.ListWindow(65544, 32, True, (980, 688, 1280, 780), 0))
        self.assertEqual(lists[1].parent_prop, 65544)
        self.assertEqual(mw.parse_state(["list 1 2 1 0,0,0,0 0"])[1], None)

    def test_navigation_keys(self):
        # (index, key, page) -> row, for 5 rows; None is a selection nobody knows.
        cases = [(-1, "down", 3, 0), (4, "down", 3, 4), (0, "up", 3, 0), (-1, "up", 3, -1),
                 (2, "home", 3, 0), (None, "end", 3, 4), (None, "down", 3, None),
                 (0, "pagedown", 3, 3), (3, "pagedown", 3, 4), (4, "pageup", 3, 1),
                 (1, "pageup", 3, 0), (-1, "pagedown", 3, 2)]
        for index, key, page, row in cases:
            with self.subTest(index=index, key=key):
                self.assertEqual(mw.navigate(index, 5, key, page), row)


class WalkerTest(unittest.TestCase):
    SCREENS = [[win(TOP)], [win(APPS_W), win(TOP)], [win(GAMES_W), win(APPS_W), win(TOP)],
               [win(MANY_W), win(TOP)], []]

    def walk(self, number, screens, steps=300):
        walker = mw.Walker(number, learnt(), 0.05, 0.2)
        actions = []
        for i in range(steps):
            lists = screens[i % len(screens)]
            action = walker.next_action(lists)
            actions.append(action)
            walker.observe(action, lists)
        return walker, actions

    def test_a_walk_number_gives_the_same_walk(self):
        _, first = self.walk(7, self.SCREENS)
        _, again = self.walk(7, self.SCREENS)
        _, other = self.walk(8, self.SCREENS)
        self.assertEqual([a.describe() for a in first], [a.describe() for a in again])
        self.assertNotEqual([a.describe() for a in first], [a.describe() for a in other])

    def test_the_screen_does_not_shift_later_draws(self):
        # Whatever the program showed, step n uses the walk number's numbers for step n.
        a, _ = self.walk(3, self.SCREENS)
        b, _ = self.walk(3, [[]])
        self.assertEqual(a.rng.getstate(), b.rng.getstate())

    def test_every_kind_of_action_occurs(self):
        _, actions = self.walk(1, self.SCREENS, 2000)
        kinds = {a.kind for a in actions}
        self.assertEqual(kinds, {"tray", "hover", "click", "key", "outside"})
        keys = {a.key for a in actions if a.kind == "key"}
        self.assertTrue(set(mw.NAV_KEYS) | {"escape", "right", "left"} <= keys, keys)
        dwells = [a.dwell for a in actions if a.kind == "hover"]
        self.assertTrue(any(d < 0.05 for d in dwells) and any(d > 0.2 for d in dwells))

    def test_targets_are_on_screen(self):
        _, actions = self.walk(5, self.SCREENS, 2000)
        for i, action in enumerate(actions):
            shown = [w for w in self.SCREENS[i % len(self.SCREENS)] if w.visible]
            inside = [w for w in shown if w.rect[0] <= action.x < w.rect[2] and
                      w.rect[1] <= action.y < w.rect[3]]
            if action.kind in ("hover", "click"):
                self.assertTrue(inside, action.describe())
                window = inside[0]
                known = learnt().by_hwnd[window.hwnd]
                row_top = action.y - window.rect[1] - mw.HEADER
                self.assertTrue(0 <= row_top < window.rect[3] - window.rect[1] - 2 * mw.HEADER)
                if window.hwnd != MANY_W:  # a list that fits: the named row is under the mouse
                    self.assertIn(known.node.rows[row_top // known.row_height].name,
                                  action.what)
            if action.kind == "outside":
                self.assertFalse(inside, action.describe())
                self.assertTrue(mw.DESKTOP[0] <= action.x <= mw.DESKTOP[2])

    def test_enter_only_on_a_program(self):
        # Enter on a folder would hand the folder to the shell (a file browser opens).
        menu = learnt()
        for number in range(40):
            walker = mw.Walker(number, menu, 0.05, 0.2)
            screen = [win(APPS_W), win(TOP)]
            walker.observe(None, [win(TOP)])
            walker.observe(None, screen)
            for key in ("home", "down", "down", "up", "end", "pageup", None, None):
                action = walker.next_action(screen) if key is None else \
                    mw.Action("key", key=key)
                if action.kind == "key" and action.key == "return":
                    index = walker.selection[APPS_W]
                    self.assertFalse(APPS.rows[index].folder, (number, index))
                walker.observe(action, screen)

    def test_selection_follows_what_opens_and_closes(self):
        walker = mw.Walker(1, learnt(), 0.05, 0.2)
        steps = [
            (None, [win(TOP)], {TOP: -1}),
            (mw.Action("hover"), [win(APPS_W), win(TOP)], {TOP: 0, APPS_W: -1}),
            (mw.Action("key", key="down"), [win(APPS_W), win(TOP)], {APPS_W: 0}),
            (mw.Action("key", key="down"), [win(APPS_W), win(TOP)], {APPS_W: 1}),
            (mw.Action("key", key="home"), [win(APPS_W), win(TOP)], {APPS_W: 0}),
            (mw.Action("key", key="right"), [win(GAMES_W), win(APPS_W), win(TOP)],
             {APPS_W: 0, GAMES_W: -1}),
            (mw.Action("key", key="escape"), [win(APPS_W), win(TOP)], {APPS_W: 0}),
            (mw.Action("key", key="right"), [win(GAMES_W), win(APPS_W), win(TOP)], {}),
            (mw.Action("hover"), [win(APPS_W), win(TOP)], {APPS_W: None}),
            (mw.Action("hover"), [win(MANY_W), win(TOP)], {TOP: 1, MANY_W: -1}),
        ]
        for action, screen, expected in steps:
            walker.observe(action, screen)
            for hwnd, index in expected.items():
                self.assertEqual(walker.selection.get(hwnd), index,
                                 (action and action.describe(), hwnd))


if __name__ == "__main__":
    unittest.main()
