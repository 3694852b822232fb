"""A desktop of the test's own for vantrel beside a real tray host: an X server, a session bus
whose activated services (xfconfd, panel applets) see that display and the private home, the
stand-in pkexec in a mount namespace, windows as xwininfo lists them, screenshots through
`import` and the pixel helpers the host cases share."""

import ctypes
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

PKEXEC = "/usr/bin/pkexec"
SCREEN = (1280, 800)
PANEL = (320, 520)  # the compact panel
WATCHER = "org.kde.StatusNotifierWatcher"


def fail(message):
    print("FAIL: " + message, file=sys.stderr, flush=True)
    raise SystemExit(1)


def wait_for(what, condition, timeout=15.0):
    """Polls `condition` until it returns something true; fails after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    fail("timed out waiting for " + what)


def stop_group(program):
    """Ends a program and everything it started, killing what does not end within 5 s."""
    if program.poll() is None:
        try:
            os.killpg(program.pid, signal.SIGTERM)
            program.wait(5)
        except (subprocess.TimeoutExpired, ProcessLookupError):
            pass
    try:
        os.killpg(program.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    if program.poll() is None:
        program.wait(5)


def near(pixel, colour, tolerance=60):
    return all(abs(a - b) < tolerance for a, b in zip(pixel, colour))


def luminance(pixel):
    return 0.3 * pixel[0] + 0.59 * pixel[1] + 0.11 * pixel[2]


def background_of(pixels):
    """The most frequent colour: what is painted where nothing stands."""
    counts = {}
    for row in pixels:
        for pixel in row:
            counts[pixel] = counts.get(pixel, 0) + 1
    return max(counts, key=counts.get)


def glyph_pixel(pixel, picture_background, bar_background):
    """A pixel of a figure or label of the item's picture: a level colour or white, clearly
    lighter than the picture's own background and unlike the host's bar. Grey edges of the
    picture's rounded background and the sparkline's violet are not glyphs."""
    if near(pixel, bar_background, 40):
        return False
    if pixel[2] > pixel[0] + 30 and pixel[2] > pixel[1] + 30:
        return False
    coloured = max(pixel) - min(pixel) > 60
    return (coloured or min(pixel) > 215) and \
        luminance(pixel) - luminance(picture_background) > 40


def glyph_height(pixels, bar_background):
    """The tallest run of consecutive rows holding glyph pixels within any band of eight
    columns: how tall the item's figures are drawn on screen. A run from the top to the bottom
    edge of the area is the picture's border, not a figure."""
    picture_background = background_of(pixels)
    width = len(pixels[0]) if pixels else 0
    marks = [[glyph_pixel(p, picture_background, bar_background) for p in row] for row in pixels]
    best = 0
    for left in range(0, max(width - 7, 1), 2):
        run = 0
        for has in [any(row[left:left + 8]) for row in marks] + [False]:
            if has:
                run += 1
                continue
            if run < len(marks):
                best = max(best, run)
            run = 0
    return best


def rectangle_gap(a, b):
    """The distance between two rectangles (x, y, width, height) along each axis; 0 where they
    touch or overlap on that axis."""
    dx = max(0, b[0] - (a[0] + a[2]), a[0] - (b[0] + b[2]))
    dy = max(0, b[1] - (a[1] + a[3]), a[1] - (b[1] + b[3]))
    return dx, dy


def overlap(a, b):
    return rectangle_gap(a, b) == (0, 0) and not (
        a[0] + a[2] == b[0] or b[0] + b[2] == a[0] or a[1] + a[3] == b[1] or b[1] + b[3] == a[1])


class Desktop:
    """Xvfb, a session bus and a private home; `close` ends everything started."""

    def __init__(self, artefacts):
        self.artefacts = artefacts
        os.makedirs(artefacts, exist_ok=True)
        self.home = tempfile.mkdtemp(prefix="vantrel-tray-host-")
        runtime = os.path.join(self.home, "run")
        os.mkdir(runtime, 0o700)
        self.programs = []
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN,
             "-nolisten", "tcp", "-noreset"], pass_fds=[write_end], stderr=subprocess.DEVNULL,
            start_new_session=True)
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            number = reader.readline().strip()
        if not number:
            fail("Xvfb did not start")
        self.display = ":" + number
        self.env = dict(os.environ, DISPLAY=self.display, HOME=self.home,
                        XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                        XDG_DATA_HOME=os.path.join(self.home, "data"),
                        XDG_CACHE_HOME=os.path.join(self.home, "cache"),
                        XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb",
                        GSETTINGS_BACKEND="memory", NO_AT_BRIDGE="1")
        for name in ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_SESSION_TYPE",
                     "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION"):
            self.env.pop(name, None)
        # The bus starts its activated services with its own environment: the display and the
        # private home must be in it.
        self.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                    env=self.env, start_new_session=True)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.bus.stdout.readline().strip()
        # vantrel runs /usr/bin/pkexec, never one found through PATH: it starts in a mount
        # namespace of its own with a stand-in bound there, so no case installs the helper.
        self.pkexec = os.path.join(self.home, "pkexec")
        with open(self.pkexec, "w") as out:
            out.write("#!/bin/sh\nexit 0\n")
        os.chmod(self.pkexec, 0o755)

    def close(self):
        for program in reversed(self.programs):
            stop_group(program)
        for program in (self.bus, self.xvfb):
            stop_group(program)
        shutil.rmtree(self.home, ignore_errors=True)

    def config_file(self, relative, text):
        path = os.path.join(self.env["XDG_CONFIG_HOME"], relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as out:
            out.write(text)
        return path

    def start(self, command, stand_in_pkexec=False):
        """Starts a program in a process group of its own, its output in a log file."""
        log = open(os.path.join(self.home, "program-%d.log" % len(self.programs)), "w+")
        if stand_in_pkexec:
            command = ["unshare", "--mount", "--propagation", "private", "sh", "-c",
                       'mount --bind "$0" %s && exec "$@"' % PKEXEC, self.pkexec, *command]
        program = subprocess.Popen(command, env=self.env, stdout=log, stderr=log, text=True,
                                   start_new_session=True)
        program.log = log
        self.programs.append(program)
        return program

    def print_logs(self):
        for program in self.programs:
            program.log.flush()
            with open(program.log.name, errors="replace") as log:
                text = log.read().strip()[-3000:]
            state = "running" if program.poll() is None else "exit %d" % program.returncode
            print("--- %s (%s):\n%s" % (" ".join(program.args[-3:]), state, text),
                  file=sys.stderr)

    def run(self, *command):
        return subprocess.run(list(command), env=self.env, capture_output=True, text=True,
                              timeout=30)

    def windows(self, tree=False):
        """Viewable windows as (name, width, height, x, y, id) at absolute positions."""
        listing = self.run("xwininfo", "-root", "-tree" if tree else "-children").stdout
        viewable = {int(wid) for wid in
                    self.run("xdotool", "search", "--onlyvisible", "--name", "").stdout.split()}
        found = []
        for line in listing.splitlines():
            match = re.match(r'\s*(0x[0-9a-f]+) (?:"([^"]*)"|\(has no name\)).*?'
                             r'(\d+)x(\d+)\+-?\d+\+-?\d+ +\+(-?\d+)\+(-?\d+)\s*$', line)
            if not match or int(match.group(1), 16) not in viewable:
                continue
            wid, name = int(match.group(1), 16), match.group(2) or ""
            found.append((name, int(match.group(3)), int(match.group(4)), int(match.group(5)),
                          int(match.group(6)), wid))
        return found

    def compact_panel(self):
        return next((w for w in self.windows() if (w[1], w[2]) == PANEL), None)

    def embedded_icons(self):
        """vantrel's XEmbed tray icons: small windows of its own inside a tray. The root's own
        children are left out: a tooltip, unmanaged and as small, is one of them."""
        top_level = {w[5] for w in self.windows()}
        return [w for w in self.windows(tree=True)
                if w[0] == "vantrel" and 1 < w[1] <= 128 and 1 < w[2] <= 64
                and w[5] not in top_level]

    def registered_items(self):
        """The items the host's watcher lists, or None while no watcher is on the bus."""
        reply = self.run("dbus-send", "--session", "--print-reply", "--dest=" + WATCHER,
                         "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties.Get",
                         "string:" + WATCHER, "string:RegisteredStatusNotifierItems")
        if reply.returncode != 0:
            return None
        return re.findall(r'string "([^"]*)"', reply.stdout)

    def item_tooltip(self):
        """The (title, description) of the first StatusNotifierItem the watcher lists, or None
        when it lists none."""
        items = self.registered_items()
        if not items:
            return None
        name, slash, path = items[0].partition("/")
        reply = self.run("dbus-send", "--session", "--print-reply", "--dest=" + name,
                         slash + path if slash else "/StatusNotifierItem",
                         "org.freedesktop.DBus.Properties.Get",
                         "string:org.kde.StatusNotifierItem", "string:ToolTip")
        texts = re.findall(r'string "([^"]*)"', reply.stdout, re.S)
        return tuple(texts[-2:]) if reply.returncode == 0 and len(texts) >= 2 else None

    def click(self, x, y, button=1):
        self.run("xdotool", "mousemove", str(x), str(y), "click", str(button))

    def key(self, name):
        self.run("xdotool", "key", name)

    def screenshot(self, name, x, y, width, height):
        """Keeps a PNG of the area in the artefacts and returns its pixels as rows of
        (r, g, b)."""
        path = os.path.join(self.artefacts, name + ".png")
        self.run("import", "-display", self.display, "-window", "root",
                 "-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage", path)
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True,
                             timeout=30).stdout
        if len(raw) != width * height * 3:
            return [[(0, 0, 0)] * width for _ in range(height)]
        return [[tuple(raw[(row * width + col) * 3:(row * width + col) * 3 + 3])
                 for col in range(width)] for row in range(height)]

    def selection_owned(self, name):
        """Whether some client owns the X selection `name` (an XEmbed tray owns
        _NET_SYSTEM_TRAY_S0)."""
        xlib = ctypes.CDLL("libX11.so.6")
        xlib.XOpenDisplay.restype = ctypes.c_void_p
        xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        xlib.XInternAtom.restype = ctypes.c_ulong
        xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        xlib.XGetSelectionOwner.restype = ctypes.c_ulong
        xlib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        connection = xlib.XOpenDisplay(self.display.encode())
        if not connection:
            return False
        owner = xlib.XGetSelectionOwner(connection, xlib.XInternAtom(connection, name.encode(), 0))
        xlib.XCloseDisplay(connection)
        return owner != 0

    def window_manager_running(self):
        return "window id" in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK").stdout
