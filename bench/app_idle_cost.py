#!/usr/bin/env python3
"""What vantrel costs while it only shows its status item.

Starts the program on an X server and a session bus of its own (Xvfb, dbus-daemon), with
fresh settings (the strip, no panel open, the default 2 s interval), lets it settle, then reads
its CPU time from /proc/PID/stat and its resident memory from /proc/PID/status over a
measured stretch. Beside it, in the same session and over the same stretch, runs the floor:
vantrel_qt_floor (bench/qt_floor/), a Qt Widgets program that only updates a label every 2 s.
Prints CPU-seconds per hour and MiB of both, and the number of processes the machine ran;
exits 1 when a budget of vantrel's is exceeded.
With --tray-host the bus gets a stand-in StatusNotifierItem host (tests/app/
stand_in_tray_host.py, which reads the item's icon and label on every change as a desktop's
host does) and the program shows its StatusNotifierItem instead of the strip. With
--compact-panel the compact panel is opened (a click on the strip, through xdotool), with
--dashboard the dashboard (Alt+click), before the measured stretch; it stays open through it.
Runs as root: vantrel starts in a mount namespace of its own with a stand-in pkexec bound over
/usr/bin/pkexec.

Usage: app_idle_cost.py VANTREL [--seconds 60] [--settle 5] [--floor PROGRAM]
                        [--tray-host | --compact-panel | --dashboard]
Budgets, at about 140 processes: 2.0 CPU-seconds per hour and 40 MiB resident with only the
status item (nothing scans the processes then); with the compact panel open 5 CPU-seconds per
hour (a process scan every poll) and 60 MiB; with the dashboard open 19 CPU-seconds per hour
(8 ms for each poll's update and repaint on top) and 80 MiB.
"""

import argparse
import json
import os
import subprocess
import sys
import threading
import time

from desktop_session import DesktopSession, python_with_dbus, status_mib

TRAY_HOST = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tests", "app",
                         "stand_in_tray_host.py")
CPU_BUDGET = 2.0  # CPU-seconds per hour
RSS_BUDGET = 40.0  # MiB
COMPACT_PANEL_CPU_BUDGET = 5.0
COMPACT_PANEL_RSS_BUDGET = 60.0
DASHBOARD_CPU_BUDGET = 19.0  # 4.5 + 8 ms × 1800 polls an hour
DASHBOARD_RSS_BUDGET = 80.0


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    ticks = int(fields[11]) + int(fields[12])  # utime and stime, fields 14 and 15
    return ticks / os.sysconf("SC_CLK_TCK")


def run_nanoseconds(pid):
    """CPU time of the live threads in nanoseconds (/proc/PID/task/*/schedstat): the same
    quantity as the ticks of /proc/PID/stat, at a resolution a one-minute run can use."""
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, task)) as schedstat:
                total += int(schedstat.read().split()[0])
        except FileNotFoundError:
            pass  # the thread ended in between
    return total


def window_lines(env):
    listing = subprocess.run(["xwininfo", "-root", "-children"], env=env, capture_output=True,
                             text=True, timeout=30).stdout
    return [line.strip() for line in listing.splitlines() if line.strip().startswith("0x")]


def open_from_strip(env, keys, opened, what):
    """A click on the strip with `keys` held; returns once `opened(window lines)` holds."""
    strip = next((line for line in window_lines(env) if '"Vantrel"' in line), None)
    if strip is None:
        sys.exit("no status strip to click")
    size, x, y = strip.split()[-2].split("+")
    width, height = (int(v) for v in size.split("x"))
    command = ["xdotool", "mousemove", str(int(x) + width // 2), str(int(y) + height // 2)]
    command += [word for key in keys for word in ("keydown", key)] + ["click", "1"]
    command += [word for key in keys for word in ("keyup", key)]
    subprocess.run(command, env=env, timeout=30)
    deadline = time.monotonic() + 15
    while not opened(window_lines(env)):
        if time.monotonic() > deadline:
            sys.exit("the %s did not open" % what)
        time.sleep(0.1)


def open_dashboard(env):
    open_from_strip(env, ["alt"], lambda lines: any('"Vantrel Dashboard"' in line
                                                    for line in lines), "dashboard")


def open_compact_panel(env):
    """The panel's window is titled "Vantrel" like the strip's: two of them once it is open."""
    open_from_strip(env, [], lambda lines: sum('"Vantrel"' in line for line in lines) >= 2,
                    "compact panel")


def process_count():
    return sum(1 for name in os.listdir("/proc") if name.isdigit())


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("vantrel")
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--settle", type=float, default=5)
    parser.add_argument("--tray-host", action="store_true",
                        help="show the item on a stand-in StatusNotifierItem host")
    parser.add_argument("--dashboard", action="store_true",
                        help="measure with the dashboard open")
    parser.add_argument("--compact-panel", action="store_true",
                        help="measure with the compact panel open")
    parser.add_argument("--floor", help="the Qt floor program (default: vantrel_qt_floor "
                        "beside VANTREL)")
    args = parser.parse_args()
    floor_program = args.floor or os.path.join(os.path.dirname(os.path.abspath(args.vantrel)),
                                               "vantrel_qt_floor")
    if not os.access(floor_program, os.X_OK):
        sys.exit("no Qt floor program at %s (build the vantrel_qt_floor target)" % floor_program)
    if sum((args.tray_host, args.dashboard, args.compact_panel)) > 1:
        sys.exit("--tray-host, --compact-panel and --dashboard exclude each other")
    opens_window = args.dashboard or args.compact_panel
    session = DesktopSession("vantrel-idle-", ("xdotool", "xwininfo") if opens_window else ())
    env = session.env
    os.makedirs(os.path.join(session.home, "config", "vantrel"))
    with open(os.path.join(session.home, "config", "vantrel", "settings.json"), "w") as out:
        json.dump({} if args.tray_host else {"statusItemMode": "strip"}, out)
    helpers = []
    if args.tray_host:
        host = subprocess.Popen([python_with_dbus(), TRAY_HOST], env=env, stdout=subprocess.PIPE,
                                text=True)
        helpers.append(host)
        if host.stdout.readline().strip() != "ready":
            sys.exit("the stand-in tray host did not start")
    program = session.start_vantrel(args.vantrel)
    floor = subprocess.Popen([floor_program], env=env)
    helpers.append(floor)
    try:
        time.sleep(args.settle)
        if program.poll() is not None:
            sys.exit("vantrel ended early: rc %d" % program.returncode)
        if args.tray_host:
            registered = host.stdout.readline().split()
            if registered[:1] != ["registered"]:
                sys.exit("vantrel's StatusNotifierItem did not register: %s" % registered)
            # The host keeps reading the item's changes; its report lines go nowhere.
            threading.Thread(target=host.stdout.read, daemon=True).start()
        if args.dashboard:
            open_dashboard(env)
            time.sleep(args.settle)
        if args.compact_panel:
            open_compact_panel(env)
            time.sleep(args.settle)
        if floor.poll() is not None:
            sys.exit("the Qt floor program ended early: rc %d" % floor.returncode)
        processes = process_count()
        start_cpu, start_ns = cpu_seconds(program.pid), run_nanoseconds(program.pid)
        floor_start_ns = run_nanoseconds(floor.pid)
        start = time.monotonic()
        time.sleep(args.seconds)
        used, elapsed = cpu_seconds(program.pid) - start_cpu, time.monotonic() - start
        used_ns = run_nanoseconds(program.pid) - start_ns
        floor_ns = run_nanoseconds(floor.pid) - floor_start_ns
        rss, peak = status_mib(program.pid, "VmRSS"), status_mib(program.pid, "VmHWM")
        floor_rss = status_mib(floor.pid, "VmRSS")
    finally:
        session.close([program] + helpers)

    per_hour = used / elapsed * 3600
    precise = used_ns / 1e9 / elapsed * 3600
    shown = "StatusNotifierItem" if args.tray_host else "strip"
    cpu_budget, rss_budget = CPU_BUDGET, RSS_BUDGET
    if args.dashboard:
        shown, cpu_budget, rss_budget = "strip and dashboard", DASHBOARD_CPU_BUDGET, DASHBOARD_RSS_BUDGET
    if args.compact_panel:
        shown, cpu_budget, rss_budget = ("strip and compact panel", COMPACT_PANEL_CPU_BUDGET,
                                         COMPACT_PANEL_RSS_BUDGET)
    print("vantrel, %s shown, 2 s interval, %.0f s measured after %.0f s, %d processes:" %
          (shown, elapsed, args.settle, processes))
    print("  CPU  %.2f CPU-seconds per hour from /proc/PID/stat (clock ticks of %.0f ms), "
          "%.2f from the threads' schedstat (budget %.1f)"
          % (per_hour, 1000 / os.sysconf("SC_CLK_TCK"), precise, cpu_budget))
    print("  RSS  %.1f MiB now, %.1f MiB peak (budget %.0f)" % (rss, peak, rss_budget))
    print("Qt floor (a label updated every 2 s), same stretch:")
    print("  CPU  %.2f CPU-seconds per hour from the threads' schedstat"
          % (floor_ns / 1e9 / elapsed * 3600))
    print("  RSS  %.1f MiB now" % floor_rss)
    if precise > cpu_budget or rss > rss_budget:
        sys.exit(1)


if __name__ == "__main__":
    main()
