#!/usr/bin/env python3
"""vantrel beside GNOME Shell 43 and its AppIndicator extension, on an X server of the test's own.

GNOME Shell runs as the X11 window manager and compositor of an Xvfb display, with a session
bus, a system bus of its own (a private dbus-daemon) and a private home; the extension is turned
on through GSettings. Checks: the item's picture and figures in the top bar (digits at least
7 px tall, a picture rather than the extension's "..." placeholder); a single click opens the
menu; a double click opens the compact panel beside the item, and an outside click and Escape
close it; every one of 20 starts of the program shows an item. Screenshots are kept in the
artefacts folder.

Usage: gnome_shell_test.py VANTREL ARTEFACTS_DIR
"""

import os
import shutil
import subprocess
import sys
import time

# The desktop program's test, one folder up, brings the X server, buses and stand-in pkexec.
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import desktop_program_test as base  # noqa: E402
from desktop_program_test import fail, stop_group, wait_for  # noqa: E402

VANTREL, ARTEFACTS = base.VANTREL, base.ARTEFACTS
EXTENSION = "ubuntu-appindicators@ubuntu.com"
EXTENSION_DIR = "/usr/share/gnome-shell/extensions/" + EXTENSION
# What the case runs, and the Debian package that brings each.
TOOLS = {"gnome-shell": "gnome-shell", "gsettings": "libglib2.0-bin", "Xvfb": "xvfb",
         "xdotool": "xdotool", "xwininfo": "x11-utils", "import": "imagemagick",
         "convert": "imagemagick", "dbus-daemon": "dbus-daemon", "unshare": "util-linux"}
BAR_HEIGHT, REGISTRATIONS = 32, 20
# The extension drops an item it fails to set up a second after reading it (it looks at its
# properties once more then): an item counts as shown when it stays listed past that.
SETUP_SECONDS = 1.2
STATUS_AREA = 720  # the bar's columns from here rightwards hold the items (the clock is left)
WATCHER, WATCHER_PATH = "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher"
PROPERTIES = "org.freedesktop.DBus.Properties"

SYSTEM_BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=%s</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_requested_reply="true" send_type="method_return"/>
    <allow send_requested_reply="true" send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
    <allow receive_type="signal"/>
  </policy>
</busconfig>
"""


class GnomeDesktop(base.Desktop):
    """The base desktop with a system bus and GNOME Shell on it, the extension enabled."""

    def __init__(self):
        super().__init__()
        self.env["XDG_CACHE_HOME"] = os.path.join(self.home, "cache")
        # Settings in a file of the home: no dconf service to start or wait for.
        self.env["GSETTINGS_BACKEND"] = "keyfile"
        socket = os.path.join(self.home, "system_bus_socket")
        config = os.path.join(self.home, "system-bus.conf")
        with open(config, "w") as out:
            out.write(SYSTEM_BUS_CONFIG % socket)
        self.system_bus = self.start(["dbus-daemon", "--config-file=" + config, "--nofork",
                                      "--print-address=1"], read_stdout=True)
        if not self.system_bus.stdout.readline().strip():
            fail("the private system bus did not start")
        self.env["DBUS_SYSTEM_BUS_ADDRESS"] = "unix:path=" + socket
        # The extension on; no notification banners over the bar's surroundings.
        for schema, key, value in (
                ("org.gnome.shell", "disable-user-extensions", "false"),
                ("org.gnome.shell", "enabled-extensions", "['%s']" % EXTENSION),
                ("org.gnome.desktop.notifications", "show-banners", "false")):
            result = self.run("gsettings", "set", schema, key, value)
            if result.returncode != 0:
                fail("gsettings set %s %s: %s" % (schema, key, result.stderr.strip()))
        self.session = base.dbus.bus.BusConnection(self.env["DBUS_SESSION_BUS_ADDRESS"])
        self.shell = self.start(["gnome-shell", "--x11", "--replace"])
        wait_for("GNOME Shell's StatusNotifierItem watcher", self.watcher_ready, timeout=40)
        self.vantrel = None

    def overview_active(self):
        try:
            shell = self.session.get_object("org.gnome.Shell", "/org/gnome/Shell")
            return bool(shell.Get("org.gnome.Shell", "OverviewActive", dbus_interface=PROPERTIES))
        except base.dbus.DBusException:
            return False

    def steady_bar(self):
        """The bar once two looks in a row agree (no animation under way), else None."""
        first, second = self.bar("gnome-bar-empty"), self.bar("gnome-bar-empty")
        return second if first == second else None

    def leave_overview(self):
        """Whether the desktop shows: the overview left (asked to over the shell's bus
        interface) and its background drawn, not the black of a shell still starting."""
        try:
            shell = self.session.get_object("org.gnome.Shell", "/org/gnome/Shell")
            if shell.Get("org.gnome.Shell", "OverviewActive", dbus_interface=PROPERTIES):
                shell.Set("org.gnome.Shell", "OverviewActive", False, dbus_interface=PROPERTIES)
                return False
        except base.dbus.DBusException:
            return False
        centre = self.screenshot("gnome-desktop", 600, 380, 80, 40)
        return all(pixel[2] > pixel[0] + 60 for row in centre for pixel in row)

    def watcher_ready(self):
        if self.shell.poll() is not None:
            self.print_logs()
            fail("gnome-shell ended: " + base.exit_text(self.shell))
        try:
            watcher = self.session.get_object(WATCHER, WATCHER_PATH)
            return bool(watcher.Get(WATCHER, "IsStatusNotifierHostRegistered",
                                    dbus_interface=PROPERTIES))
        except base.dbus.DBusException:
            return False

    def registered_items(self):
        try:
            watcher = self.session.get_object(WATCHER, WATCHER_PATH)
            return [str(item) for item in watcher.Get(WATCHER, "RegisteredStatusNotifierItems",
                                                      dbus_interface=PROPERTIES)]
        except base.dbus.DBusException:
            return []

    def start_vantrel(self):
        self.vantrel = self.start([VANTREL])
        return self.vantrel

    def stop_vantrel(self):
        stop_group(self.vantrel)
        self.programs.remove(self.vantrel)
        self.vantrel.log.close()
        self.vantrel = None

    def panel(self):
        """The compact panel, found among the windows the window manager framed."""
        return next((w for w in self.windows(tree=True) if (w[1], w[2]) == base.PANEL), None)

    def bar(self, name):
        return self.screenshot(name, 0, 0, 1280, BAR_HEIGHT)


def luminance(pixel):
    return 0.299 * pixel[0] + 0.587 * pixel[1] + 0.114 * pixel[2]


def changed_columns(before, after):
    """The range of columns of the bar that differ, as (first, last), or None."""
    columns = [x for x in range(STATUS_AREA, len(after[0]))
               if any(abs(luminance(after[y][x]) - luminance(before[y][x])) > 40
                      for y in range(len(after)))]
    return (columns[0], columns[-1]) if columns else None


def tallest_light_run(pixels, first, last):
    """The tallest column run of light (text) pixels between two columns: a digit's height."""
    tallest = 0
    for x in range(first, last + 1):
        rows = [y for y in range(len(pixels)) if luminance(pixels[y][x]) > 150]
        if rows:
            tallest = max(tallest, rows[-1] - rows[0] + 1)
    return tallest


def coloured(pixels, first, last):
    """Whether the columns hold a picture in colour (the glance), not only grey text or the
    extension's grey "..." placeholder."""
    return any(max(pixels[y][x]) - min(pixels[y][x]) > 60
               for y in range(len(pixels)) for x in range(first, last + 1))


def item_columns(desktop, empty_bar, name):
    """Waits until the item shows in the bar with a picture and its figures; its columns."""
    found = {}

    def shown():
        pixels = desktop.bar(name)
        columns = changed_columns(empty_bar, pixels)
        if columns and coloured(pixels, *columns) and tallest_light_run(pixels, *columns) >= 7:
            found["columns"] = columns
            return True
        return False

    wait_for("the item's picture and figures in the top bar (%s.png)" % name, shown, timeout=10)
    return found["columns"]


def check_clicks(desktop, first, last):
    middle = (first + min(first + 16, last)) // 2

    # One click: the extension opens the item's menu (its entries' text below the item) after
    # the double-click time; Escape closes it.
    left = max(0, first - 250)

    def menu_entry():
        """Where the menu's first entry is written, or None while no menu shows."""
        pixels = desktop.screenshot("gnome-menu", left, BAR_HEIGHT, 1280 - left, 200)
        text = [(x, y) for y, row in enumerate(pixels) for x, pixel in enumerate(row)
                if luminance(pixel) > 150]
        if len(text) < 200:
            return None
        y = min(point[1] for point in text)
        x = min(point[0] for point in text if point[1] <= y + 4)
        return left + x, BAR_HEIGHT + y

    desktop.click(middle, BAR_HEIGHT // 2)
    wait_for("the menu below the item after one click (gnome-menu.png)", menu_entry)
    desktop.run("xdotool", "key", "Escape")
    wait_for("the menu to close on Escape", lambda: not menu_entry())

    # A double click activates the item: the compact panel opens beside it.
    desktop.run("xdotool", "mousemove", str(middle), str(BAR_HEIGHT // 2), "click", "--repeat",
                "2", "--delay", "60", "1")
    panel = wait_for("the compact panel after a double click", desktop.panel)
    _, width, height, x, y = panel

    def painted():  # the panel's dark background, not the blue desktop behind a window not drawn
        pixels = desktop.screenshot("gnome-compact-panel", 0, 0, 1280, 800)
        return all(luminance(pixels[y + height // 2][x + dx]) < 60 for dx in (10, width // 2))

    wait_for("the compact panel painted (gnome-compact-panel.png)", painted)
    if abs(y - BAR_HEIGHT) > 8 or x > last + 8 or x + width < first - 8:
        fail("the compact panel at %d,%d (%dx%d), not within 8 px of the item (columns %d-%d, "
             "bar bottom %d)" % (x, y, width, height, first, last, BAR_HEIGHT))
    desktop.click(200, 600)  # the desktop, outside every window of the program
    wait_for("the compact panel to close on an outside click", lambda: desktop.panel() is None)

    # Again from the menu's first entry, "Open Compact View".
    desktop.click(middle, BAR_HEIGHT // 2)
    x, y = wait_for("the menu again", menu_entry)
    desktop.click(x + 20, y + 4)
    wait_for("the compact panel from the menu", desktop.panel)
    desktop.run("xdotool", "key", "Escape")
    wait_for("the compact panel to close on Escape", lambda: desktop.panel() is None)


def check_registrations(desktop):
    """Starts the program again and again: the extension must keep every start's item. The
    shell's overview is busy drawing meanwhile: the extension then sets an item up slowly, which
    is when it used to drop items registered by bus name. The item's picture is checked in the
    bar once, by check_clicks' caller; here the watcher's list says what the extension keeps."""
    shown, earlier = 0, set(desktop.registered_items())
    for attempt in range(REGISTRATIONS):
        desktop.start_vantrel()
        new = wait_for("registration %d with the extension" % (attempt + 1),
                       lambda: set(desktop.registered_items()) - earlier)
        listed_at = time.monotonic()
        while time.monotonic() - listed_at < SETUP_SECONDS and \
                new <= set(desktop.registered_items()):
            time.sleep(0.1)
        if new <= set(desktop.registered_items()):
            shown += 1
        else:
            print("registration %d: the extension dropped the item" % (attempt + 1),
                  file=sys.stderr)
        earlier |= new
        desktop.stop_vantrel()
    print("%d of %d registrations showed an item" % (shown, REGISTRATIONS))
    if shown != REGISTRATIONS:
        fail("only %d of %d registrations showed an item" % (shown, REGISTRATIONS))
    wait_for("the items to leave the bar", lambda: not desktop.registered_items())


def main():
    if os.geteuid() != 0:
        # vantrel runs /usr/bin/pkexec; the stand-in is laid over it in a mount namespace.
        fail("the GNOME Shell test must run as root (a stand-in pkexec is mounted)")
    missing = sorted({package for tool, package in TOOLS.items() if shutil.which(tool) is None})
    if not os.path.isdir(EXTENSION_DIR):
        missing.append("gnome-shell-extension-appindicator")
    if missing:
        fail("missing packages: %s (scripts/install-deps.sh installs them)" % ", ".join(missing))
    began = time.monotonic()
    desktop = GnomeDesktop()
    try:
        # The shell starts in its overview.
        wait_for("the shell's overview", desktop.overview_active)
        check_registrations(desktop)
        # Then on the desktop, which the overview holds the keyboard from.
        wait_for("the shell to leave its overview", desktop.leave_overview)
        empty_bar = wait_for("a steady top bar", desktop.steady_bar)
        desktop.start_vantrel()
        first, last = item_columns(desktop, empty_bar, "gnome-bar")
        if last - first < 24:
            fail("the item is %d px wide: its figures are missing" % (last - first))
        check_clicks(desktop, first, last)
    except BaseException:
        print("FAIL: beside GNOME Shell", file=sys.stderr)
        for program in desktop.programs:
            stop_group(program)
        desktop.print_logs()
        raise
    finally:
        desktop.close()
    print("ok: GNOME Shell in %.0f s; screenshots in %s" % (time.monotonic() - began, ARTEFACTS))


if __name__ == "__main__":
    main()
