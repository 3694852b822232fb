#!/usr/bin/env python3
"""vantrel beside one real tray host, as a user meets it: the item's picture shows a figure
tall enough to read, a left click opens the compact panel at the item's edge, an outside click
and Escape close it, the right click opens the menu, and after the host restarts there is
exactly one item. Every check runs and is reported; the test fails if any did. A screenshot
of the screen with the panel open and one of the item's cell are kept in the artefacts.

Usage: tray_host_test.py HOST VANTREL ARTEFACTS_DIR   (HOST: a name from hosts.py)
"""

import os
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import (PANEL, SCREEN, Desktop, background_of, fail, glyph_height,  # noqa: E402
                     overlap, rectangle_gap, stop_group, wait_for)
from hosts import HOSTS  # noqa: E402

TOOLS = {"Xvfb": "xvfb", "xdotool": "xdotool", "xwininfo": "x11-utils", "xprop": "x11-utils",
         "import": "imagemagick", "convert": "imagemagick", "dbus-daemon": "dbus-daemon",
         "dbus-send": "dbus-bin", "unshare": "util-linux"}
READABLE_HEIGHT = 7  # px of a figure's glyphs on screen
PLACEMENT_SLACK = 8  # px between the panel and the item's cell
SETTLE = 4.0  # s the item count is watched after a host restart


class Checks:
    """Each check's outcome, printed as it comes; the test fails at the end if any failed."""

    def __init__(self, host):
        self.host, self.failed = host, []

    def record(self, name, ok, detail=""):
        print("%s: %s%s" % ("ok" if ok else "FAIL", name, " (%s)" % detail if detail else ""),
              flush=True)
        if not ok:
            self.failed.append(name)
        return ok

    def wait(self, condition, timeout):
        """Polls `condition` until it returns something true; None after `timeout` seconds."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            value = condition()
            if value:
                return value
            time.sleep(0.1)
        return None


def bar(desktop, host):
    return desktop.screenshot("tray-host-%s-bar" % host.name, 0, 0, SCREEN[0], host.bar_height)


def item_cell(desktop, host, empty_bar):
    """Where the host shows the item: the largest cluster of columns of the bar that differ
    from the bar before the program started (a clock ticking in the bar forms a smaller one),
    as (x, y, width, height)."""
    now = bar(desktop, host)
    changed = [[sum(abs(a - b) for a, b in zip(p, q)) > 30 for p, q in zip(row, old)]
               for row, old in zip(now, empty_bar)]
    weights = [sum(row[col] for row in changed) for col in range(SCREEN[0])]
    clusters, start, gap = [], None, 0
    for col, weight in enumerate(weights + [0] * 6):
        if weight:
            start, gap = (col if start is None else start), 0
        elif start is not None:
            gap += 1
            if gap == 6:
                clusters.append((start, col - 6))
                start, gap = None, 0
    if not clusters:
        return None
    left, right = max(clusters, key=lambda c: sum(weights[c[0]:c[1] + 1]))
    rows = [row for row in range(host.bar_height) if any(changed[row][left:right + 1])]
    return (left, rows[0], right - left + 1, rows[-1] - rows[0] + 1)


def centre(rect):
    return rect[0] + rect[2] // 2, rect[1] + rect[3] // 2


def menu_window(desktop, known):
    """A window that was not there before and has the size of the program's menu (seven
    entries, over 100 px tall: a host's tooltip, as wide but shorter, is not one)."""
    return next((w for w in desktop.windows() if w[5] not in known and w[1] >= 80
                 and w[2] >= 100 and (w[1], w[2]) != PANEL), None)


def item_count(desktop):
    """The program's items: those the host's watcher lists and its XEmbed tray icons."""
    return len(desktop.registered_items() or []) + len(desktop.embedded_icons())


def outside_point(panel):
    """A point on the bare desktop, away from the bars and the panel."""
    return (100 if panel[3] > SCREEN[0] // 2 else SCREEN[0] - 100), SCREEN[1] // 2


def open_panel(desktop, checks, cell):
    """Opens the compact panel as a user does: a left click on the item. A host that opens
    the item's menu on a left click instead gets the menu's first entry clicked. Returns the
    panel (or None) and the menu the left click opened (or None)."""
    known = {w[5] for w in desktop.windows()}
    desktop.click(*centre(cell))
    opened = checks.wait(lambda: desktop.compact_panel() or menu_window(desktop, known), 5)
    if not opened or (opened[1], opened[2]) == PANEL:
        return opened, None
    desktop.click(opened[3] + 40, opened[4] + 14)  # "Open Compact View"
    return checks.wait(desktop.compact_panel, 5), opened


def close_panel(desktop, checks):
    """Closes a panel that a failed check left open, so the next check starts clean."""
    if desktop.compact_panel():
        desktop.key("super+shift+p")
        checks.wait(lambda: desktop.compact_panel() is None, 3)


def check_readable(desktop, host, checks, cell):
    heights = []

    def tall_enough():
        x, _, width, _ = item_cell(desktop, host, checks.empty_bar) or cell
        pixels = desktop.screenshot("tray-host-%s-item" % host.name, x, 0, width,
                                    host.bar_height)
        heights.append(glyph_height(pixels, checks.bar_background))
        return heights[-1] >= READABLE_HEIGHT
    checks.wait(tall_enough, 6)
    checks.record("the item's picture shows a readable figure", max(heights) >= READABLE_HEIGHT,
                  "glyphs %d px tall at most in a picture of %dx%d, %d wanted" %
                  (max(heights), cell[2], cell[3], READABLE_HEIGHT))


def check_panel(desktop, host, checks):
    # Along a top bar the host's cell spans the bar's height: the panel belongs under it.
    x, _, width, _ = item_cell(desktop, host, checks.empty_bar)
    cell = (x, 0, width, host.bar_height)
    tooltip = desktop.item_tooltip()
    if tooltip is not None:
        checks.record("the tooltip names the program once", tooltip[0] == "Vantrel" and
                      "Vantrel" not in tooltip[1], "title %r, text %r" % tooltip)
    panel, menu = open_panel(desktop, checks, cell)
    if panel and tooltip is not None:
        # The host's tooltip under the resting pointer would cover the panel's figures.
        checks.record("no tooltip while the panel is open",
                      checks.wait(lambda: desktop.item_tooltip() == ("", ""), 3),
                      "the item's tooltip is %r" % (desktop.item_tooltip(),))
    if menu and host.left_click_opens_menu:
        checks.record("the menu's first entry opens the panel", panel)
    elif menu:
        checks.record("a left click opens the panel at the item's edge", False,
                      "the left click opened a menu of %dx%d" % menu[1:3])
    else:
        detail = "no panel"
        if panel:
            rect = (panel[3], panel[4], panel[1], panel[2])
            gap = rectangle_gap(rect, cell)
            detail = "panel at %d,%d, item's cell %d,%d %dx%d: %d px across, %d px down" % (
                rect[0], rect[1], *cell, *gap)
        checks.record("a left click opens the panel at the item's edge", panel and not overlap(
            rect, cell) and max(gap) <= PLACEMENT_SLACK, detail)
    if not panel:
        return
    desktop.screenshot("tray-host-" + host.name, 0, 0, *SCREEN)
    focus = desktop.run("xdotool", "getwindowfocus", "getwindowgeometry").stdout.split()
    desktop.key("Escape")
    checks.record("Escape closes the panel",
                  checks.wait(lambda: desktop.compact_panel() is None, 3),
                  "the keyboard focus was on %s" % " ".join(focus[1:2] + focus[-1:]))
    close_panel(desktop, checks)

    # A press outside closes the panel; the click on the item that follows it at once counts
    # as the same click, so the outside click comes last.
    panel, _ = open_panel(desktop, checks, cell)
    if not panel:
        checks.record("an outside click closes the panel", False, "the panel did not open again")
        return
    desktop.click(*outside_point(panel))
    checks.record("an outside click closes the panel",
                  checks.wait(lambda: desktop.compact_panel() is None, 3))
    close_panel(desktop, checks)


def check_menu(desktop, host, checks):
    cell = item_cell(desktop, host, checks.empty_bar)
    known = {w[5] for w in desktop.windows()}
    desktop.click(*centre(cell), button=3)
    menu = checks.wait(lambda: menu_window(desktop, known), 5)
    checks.record("a right click opens the menu", menu,
                  "menu of %dx%d at %d,%d" % menu[1:5] if menu else "no menu window")
    if menu:
        desktop.screenshot("tray-host-%s-menu" % host.name, 0, 0, *SCREEN)
        desktop.key("Escape")
        checks.wait(lambda: menu_window(desktop, known) is None, 3)


def check_restart(desktop, host, checks, program):
    checks.record("one item before the host restarts", item_count(desktop) == 1,
                  "%d items" % item_count(desktop))
    stop_group(program)
    program = desktop.start(host.command(desktop))
    # Counted from the host's start on: an icon that shows only while the host comes up is
    # one too many as well.
    counts = []
    appeared = checks.wait(lambda: counts.append(item_count(desktop)) or
                           item_cell(desktop, host, checks.empty_bar), 20)
    if not checks.record("the item comes back after the host restarts", appeared):
        return
    deadline = time.monotonic() + SETTLE
    while time.monotonic() < deadline:
        counts.append(item_count(desktop))
        time.sleep(0.25)
    checks.record("exactly one item after the host restarts",
                  max(counts) == 1 and counts[-1] == 1, "counts seen %s" % sorted(set(counts)))


def run(desktop, host, vantrel):
    checks = Checks(host.name)
    desktop.start(host.window_manager)
    wait_for("the window manager", desktop.window_manager_running)
    program = desktop.start(host.command(desktop))
    wait_for("the host's tray", lambda: desktop.registered_items() is not None or
             desktop.selection_owned("_NET_SYSTEM_TRAY_S0"))
    # The bar without the item, once it is mapped and two looks in a row agree.
    wait_for("the host's bar", lambda: any(w[4] == 0 and w[2] == host.bar_height
                                           for w in desktop.windows()))
    looks = [bar(desktop, host)]
    wait_for("the host's bar to be drawn",
             lambda: looks.append(bar(desktop, host)) or looks[-1] == looks[-2])
    checks.empty_bar = looks[-1]
    checks.bar_background = background_of(checks.empty_bar)
    desktop.start([vantrel], stand_in_pkexec=True)
    cell = wait_for("the item in the host's bar",
                    lambda: item_cell(desktop, host, checks.empty_bar), 20)
    check_readable(desktop, host, checks, cell)
    check_panel(desktop, host, checks)
    check_menu(desktop, host, checks)
    check_restart(desktop, host, checks, program)
    return checks


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in HOSTS:
        fail("usage: tray_host_test.py {%s} VANTREL ARTEFACTS_DIR" % ",".join(HOSTS))
    host, vantrel, artefacts = HOSTS[sys.argv[1]], sys.argv[2], sys.argv[3]
    if os.geteuid() != 0:
        fail("the tray host tests run as root: vantrel sees a stand-in pkexec mounted over "
             "/usr/bin/pkexec")
    needs = dict(TOOLS, **host.needs)
    missing = sorted({package for tool, package in needs.items() if not shutil.which(tool)})
    if missing:
        fail("missing packages: %s (scripts/install-deps.sh installs them)" % ", ".join(missing))
    started = time.monotonic()
    desktop = Desktop(artefacts)
    try:
        checks = run(desktop, host, vantrel)
    except SystemExit:
        desktop.print_logs()
        raise
    finally:
        desktop.close()
    print("%s: %.1f s; screenshots in %s" % (host.name, time.monotonic() - started, artefacts))
    if checks.failed:
        fail("%d of the checks failed beside %s: %s" % (len(checks.failed), host.name,
                                                       "; ".join(checks.failed)))


if __name__ == "__main__":
    main()
