#!/usr/bin/env python3
"""vantrel as a whole program, on an X server and a session bus of the test's own.

Cases: the command line; no tray at all (the status strip, its clicks, the compact panel,
the outside click, the menu, a second launch, dragging); an XEmbed tray (trayer), the tray
going away and coming back. Screenshots are kept in the artefacts folder and checked by pixels.

Usage: desktop_program_test.py VANTREL ARTEFACTS_DIR
"""

import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

VANTREL, ARTEFACTS = sys.argv[1], sys.argv[2]
TOOLS = ["Xvfb", "xdotool", "xwininfo", "import", "convert", "trayer", "dbus-daemon"]
GREEN, AMBER, RED = (77, 199, 115), (242, 191, 64), (242, 77, 77)
ACCENT = (139, 92, 246)  # the default "purple" of the sparklines
STRIP_HEIGHT, PANEL = 24, (320, 520)


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def wait_for(what, condition, timeout=15.0):
    """Polls `condition` until it returns something true; fails after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    fail("timed out waiting for " + what)


class Desktop:
    """Xvfb, a session bus and a private home; ends them all on exit."""

    def __init__(self):
        self.home = tempfile.mkdtemp(prefix="vantrel-desktop-")
        runtime = os.path.join(self.home, "run")
        os.mkdir(runtime, 0o700)
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            number = reader.readline().strip()
        if not number:
            fail("Xvfb did not start")
        self.display = ":" + number
        self.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        address = self.bus.stdout.readline().strip()
        self.env = dict(os.environ, DISPLAY=self.display, DBUS_SESSION_BUS_ADDRESS=address,
                        HOME=self.home, XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                        XDG_DATA_HOME=os.path.join(self.home, "data"), XDG_RUNTIME_DIR=runtime,
                        QT_QPA_PLATFORM="xcb")
        self.env.pop("WAYLAND_DISPLAY", None)
        self.programs = []

    def close(self):
        for program in self.programs + [self.bus, self.xvfb]:
            if program.poll() is None:
                program.terminate()
                try:
                    program.wait(5)
                except subprocess.TimeoutExpired:
                    program.kill()
        shutil.rmtree(self.home, ignore_errors=True)

    def start(self, command):
        program = subprocess.Popen(command, env=self.env, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, text=True)
        self.programs.append(program)
        return program

    def settings(self, values):
        folder = os.path.join(self.env["XDG_CONFIG_HOME"], "vantrel")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "settings.json"), "w") as out:
            json.dump(values, out)

    def read_settings(self):
        with open(os.path.join(self.env["XDG_CONFIG_HOME"], "vantrel", "settings.json")) as f:
            return json.load(f)

    def run(self, *command):
        return subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=30)

    def windows(self, tree=False):
        """Mapped windows as (name, width, height, x, y) with absolute positions."""
        listing = self.run("xwininfo", "-root", "-tree" if tree else "-children").stdout
        found = []
        for line in listing.splitlines():
            line = line.strip()
            if not line.startswith("0x"):
                continue
            name = line.split('"')[1] if line.count('"') >= 2 else ""
            geometry = line.split()[-2]
            size, _, _ = geometry.partition("+")
            width, height = (int(v) for v in size.split("x"))
            absolute = line.split()[-1].lstrip("+").split("+")
            found.append((name, width, height, int(absolute[0]), int(absolute[1])))
        return found

    def strip(self):
        return next((w for w in self.windows() if w[0] == "Vantrel" and w[2] == STRIP_HEIGHT), None)

    def panel(self):
        return next((w for w in self.windows() if (w[1], w[2]) == PANEL), None)

    def click(self, x, y, button=1):
        self.run("xdotool", "mousemove", str(x), str(y), "click", str(button))

    def screenshot(self, name, x, y, width, height):
        """Keeps a PNG of the area and returns its pixels as rows of (r, g, b)."""
        os.makedirs(ARTEFACTS, exist_ok=True)
        path = os.path.join(ARTEFACTS, name + ".png")
        self.run("import", "-display", self.display, "-window", "root",
                 "-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage", path)
        ppm = subprocess.run(["convert", path, "ppm:-"], capture_output=True, timeout=30).stdout
        header, offset = [], 0
        while len(header) < 4:  # P6, width, height, maxval
            end = ppm.index(b"\n", offset) if ppm[offset:offset + 1] == b"#" else None
            if end is not None:
                offset = end + 1
                continue
            token_end = offset
            while ppm[token_end:token_end + 1] not in (b" ", b"\n", b"\t", b"\r"):
                token_end += 1
            header.append(ppm[offset:token_end])
            offset = token_end + 1
        w, h = int(header[1]), int(header[2])
        data = ppm[offset:offset + w * h * 3]
        return [[tuple(data[(row * w + col) * 3:(row * w + col) * 3 + 3]) for col in range(w)]
                for row in range(h)]


def near(pixel, color, tolerance=45):
    return all(abs(a - b) < tolerance for a, b in zip(pixel, color))


def luminance(pixel):
    return 0.3 * pixel[0] + 0.59 * pixel[1] + 0.11 * pixel[2]


def check_command_line():
    version = subprocess.run([VANTREL, "--version"], capture_output=True, text=True, timeout=10)
    if version.returncode != 0 or not version.stdout.startswith("vantrel "):
        fail("--version: %r" % (version.stdout,))
    usage = subprocess.run([VANTREL, "--help"], capture_output=True, text=True, timeout=10)
    if usage.returncode != 0 or "--version" not in usage.stdout:
        fail("--help")
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    headless = subprocess.run([VANTREL], capture_output=True, text=True, timeout=10, env=env)
    lines = headless.stderr.strip().splitlines()
    if headless.returncode != 1 or len(lines) != 1 or "display" not in lines[0]:
        fail("without a display: rc %d, %r" % (headless.returncode, headless.stderr))


def check_strip_pixels(desktop, name, pill, sparkline=False):
    strip = wait_for("the strip", desktop.strip)
    _, width, height, x, y = strip

    def drawn():
        pixels = desktop.screenshot(name, x, y, width, height)
        # A sparkline needs two polls: about a second after the start.
        has_line = any(near(p, ACCENT, 60) for row in pixels for p in row)
        return pixels if has_line or not sparkline else None
    pixels = wait_for("a sparkline in the strip", drawn)
    inside_pill, outside_pill = pixels[height // 2][2], pixels[0][0]
    if pill and not (luminance(inside_pill) < 80 < luminance(outside_pill)):
        fail("%s: no dark pill (%s inside, %s at the corner)" % (name, inside_pill, outside_pill))
    if not pill and luminance(inside_pill) < 150:
        fail("%s: a pill where none is set (%s)" % (name, inside_pill))
    levels = [p for row in pixels for p in row if any(near(p, c) for c in (GREEN, AMBER, RED))]
    if not levels:
        fail("%s: no text in a level colour" % name)
    return strip


def check_no_tray(desktop):
    # Two entries: the CPU as text (level colour) and the RAM as sparkline and value.
    desktop.settings({"menuBarItemConfigs": [
        {"metric": "cpu", "enabled": True, "displayMode": "textOnly"},
        {"metric": "ram", "enabled": True, "displayMode": "graphAndText"}]})
    program = desktop.start([VANTREL])
    _, width, height, x, y = check_strip_pixels(desktop, "strip-no-tray", pill=True,
                                                    sparkline=True)
    centre = (x + width // 2, y + height // 2)

    desktop.click(*centre)
    panel = wait_for("the compact panel", desktop.panel)
    expected_x = min(max(centre[0] - PANEL[0] // 2, 0), 1280 - PANEL[0])
    if (panel[3], panel[4]) != (expected_x, y + height + 4):
        fail("panel at %s, expected (%d, %d)" % (panel[3:], expected_x, y + height + 4))
    desktop.screenshot("compact-panel-placeholder", 0, 0, 1280, 800)

    desktop.click(200, 600)  # the desktop: the panel closes
    wait_for("the panel to close", lambda: desktop.panel() is None)

    desktop.click(*centre, button=3)
    menu = wait_for("the menu", lambda: next(
        (w for w in desktop.windows() if w[0] != "Vantrel" and w[1] > 100 and w[2] > 100), None))
    desktop.screenshot("menu", menu[3], menu[4], menu[1], menu[2])
    desktop.run("xdotool", "key", "Escape")
    wait_for("the menu to close", lambda: not any(
        w for w in desktop.windows() if w[0] != "Vantrel" and w[1] > 100 and w[2] > 100))

    second = desktop.run(VANTREL)
    if second.returncode != 0:
        fail("second launch: rc %d %s" % (second.returncode, second.stderr))
    wait_for("the first program's panel", desktop.panel)
    desktop.click(200, 600)
    wait_for("the panel to close", lambda: desktop.panel() is None)

    # Dragging moves the strip and keeps the place.
    desktop.run("xdotool", "mousemove", str(centre[0]), str(centre[1]), "mousedown", "1",
                "mousemove", "300", "300", "mouseup", "1")
    moved = wait_for("the strip to move", lambda: (s := desktop.strip()) and s[3] != x and s)
    kept = wait_for("the kept place", lambda: desktop.read_settings().get("statusStripPosition"))
    if (kept["x"], kept["y"]) != (moved[3], moved[4]):
        fail("kept %s, strip at %s" % (kept, moved[3:]))

    program.send_signal(signal.SIGTERM)
    if program.wait(10) != 0:
        fail("SIGTERM: rc %d %s" % (program.returncode, program.stderr.read()))


def check_pill_off(desktop):
    desktop.settings({"menuBarPillOpacity": 0})
    program = desktop.start([VANTREL])
    check_strip_pixels(desktop, "strip-no-pill", pill=False)
    program.terminate()
    program.wait(10)


def embedded_icon(desktop):
    return next((w for w in desktop.windows(tree=True) if w[0] == "vantrel" and w[1] <= 64
                 and w[2] <= 64 and w[1] > 1), None)


def check_xembed_tray(desktop):
    tray = desktop.start(["trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                          "--height", "24", "--SetDockType", "false"])
    wait_for("trayer", lambda: any(w[0] == "panel" for w in desktop.windows()))
    program = desktop.start([VANTREL])
    icon = wait_for("the tray icon", lambda: embedded_icon(desktop))
    if desktop.strip():
        fail("a strip beside the tray icon in the automatic mode")
    _, width, height, x, y = icon
    wait_for("a value in a level colour on the tray icon", lambda: any(
        near(p, c) for row in desktop.screenshot("xembed-tray-icon", x, y, width, height)
        for p in row for c in (GREEN, AMBER, RED)))

    desktop.click(x + width // 2, y + height // 2)
    panel = wait_for("the panel under the tray icon", desktop.panel)
    if panel[4] != y + height + 4:
        fail("panel at y %d, icon bottom %d" % (panel[4], y + height))
    desktop.click(x + width // 2, y + height // 2)  # the icon again: closes, no reopening
    wait_for("the panel to close", lambda: desktop.panel() is None)
    # The program handles its events in order: once the menu of a later click is up, a
    # reopening by the earlier click would have happened.
    desktop.click(x + width // 2, y + height // 2, button=3)
    wait_for("the menu", lambda: any(w[1] > 100 and w[2] > 100 and w[0] != "Vantrel"
                                     for w in desktop.windows()))
    if desktop.panel():
        fail("a click on the tray icon closed and reopened the panel")
    desktop.run("xdotool", "key", "Escape")

    tray.terminate()  # the tray goes away: the strip takes over
    tray.wait(10)
    wait_for("the strip after the tray left", desktop.strip)
    desktop.start(["trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                   "--height", "24", "--SetDockType", "false"])  # and comes back
    wait_for("the tray icon again", lambda: embedded_icon(desktop))
    wait_for("the strip to give way", lambda: desktop.strip() is None)
    program.terminate()
    program.wait(10)


def main():
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        fail("missing tools: %s (scripts/install-deps.sh installs them)" % ", ".join(missing))
    check_command_line()
    for case in (check_no_tray, check_pill_off, check_xembed_tray):
        desktop = Desktop()
        try:
            case(desktop)
        except SystemExit:
            for program in desktop.programs:
                if program.poll() is None:
                    program.terminate()
                print("%s: %s" % (program.args, program.communicate(timeout=10)[1]),
                      file=sys.stderr)
            raise
        finally:
            desktop.close()
        print("ok: " + case.__name__)
    print("screenshots in " + ARTEFACTS)


if __name__ == "__main__":
    main()
