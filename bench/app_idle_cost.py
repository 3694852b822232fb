#!/usr/bin/env python3
"""What vantrel costs while it only shows its status item.

Starts the program on an X server and a session bus of its own (Xvfb, dbus-daemon), with
fresh settings (the strip, no panel open, the default 2 s interval), lets it settle, then reads
its CPU time from /proc/PID/stat and its resident memory from /proc/PID/status over a
measured stretch. Prints CPU-seconds per hour and MiB; exits 1 when a budget is exceeded.
With --tray-host the bus gets a stand-in StatusNotifierItem host (tests/app/
stand_in_tray_host.py, which reads the item's icon and label on every change as a desktop's
host does) and the program shows its StatusNotifierItem instead of the strip. With
--dashboard the dashboard is opened (Alt+click on the strip, through xdotool) before the
measured stretch and stays open through it. Runs as root: vantrel starts in a mount namespace
of its own with a stand-in pkexec bound over /usr/bin/pkexec.

Usage: app_idle_cost.py VANTREL [--seconds 60] [--settle 5] [--tray-host | --dashboard]
Budgets: 4.5 CPU-seconds per hour, 60 MiB resident; with the dashboard open 19 CPU-seconds
per hour (8 ms for each poll's update and repaint on top) and 80 MiB.
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
CPU_BUDGET = 4.5  # CPU-seconds per hour
RSS_BUDGET = 60.0  # MiB
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


def open_dashboard(env):
    """Alt+click on the strip; returns once the dashboard's window is mapped."""
    def windows():
        listing = subprocess.run(["xwininfo", "-root", "-children"], env=env, capture_output=True,
                                 text=True, timeout=30).stdout
        return [line.strip() for line in listing.splitlines() if line.strip().startswith("0x")]
    strip = next((line for line in windows() if '"Vantrel"' in line), None)
    if strip is None:
        sys.exit("no status strip to click")
    size, x, y = strip.split()[-2].split("+")
    width, height = (int(v) for v in size.split("x"))
    subprocess.run(["xdotool", "mousemove", str(int(x) + width // 2), str(int(y) + height // 2),
                    "keydown", "alt", "click", "1", "keyup", "alt"], env=env, timeout=30)
    deadline = time.monotonic() + 15
    while not any('"Vantrel Dashboard"' in line for line in windows()):
        if time.monotonic() > deadline:
            sys.exit("the dashboard did not open")
        time.sleep(0.1)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("vantrel")
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--settle", type=float, default=5)
    parser.add_argument("--tray-host", action="store_true",
                        help="show the item on a stand-in StatusNotifierItem host")
    parser.add_argument("--dashboard", action="store_true",
                        help="measure with the dashboard open")
    args = parser.parse_args()
    if args.tray_host and args.dashboard:
        sys.exit("--dashboard opens the dashboard from the strip: not with --tray-host")
    session = DesktopSession("vantrel-idle-", ("xdotool", "xwininfo") if args.dashboard else ())
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
        start_cpu, start_ns = cpu_seconds(program.pid), run_nanoseconds(program.pid)
        start = time.monotonic()
        time.sleep(args.seconds)
        used, elapsed = cpu_seconds(program.pid) - start_cpu, time.monotonic() - start
        used_ns = run_nanoseconds(program.pid) - start_ns
        rss, peak = status_mib(program.pid, "VmRSS"), status_mib(program.pid, "VmHWM")
    finally:
        session.close([program] + helpers)

    per_hour = used / elapsed * 3600
    precise = used_ns / 1e9 / elapsed * 3600
    shown = "StatusNotifierItem" if args.tray_host else "strip"
    cpu_budget, rss_budget = CPU_BUDGET, RSS_BUDGET
    if args.dashboard:
        shown, cpu_budget, rss_budget = "strip and dashboard", DASHBOARD_CPU_BUDGET, DASHBOARD_RSS_BUDGET
    print("vantrel, %s shown, 2 s interval, %.0f s measured after %.0f s:" %
          (shown, elapsed, args.settle))
    print("  CPU  %.2f CPU-seconds per hour from /proc/PID/stat (clock ticks of %.0f ms), "
          "%.2f from the threads' schedstat (budget %.1f)"
          % (per_hour, 1000 / os.sysconf("SC_CLK_TCK"), precise, cpu_budget))
    print("  RSS  %.1f MiB now, %.1f MiB peak (budget %.0f)" % (rss, peak, rss_budget))
    if precise > cpu_budget or rss > rss_budget:
        sys.exit(1)


if __name__ == "__main__":
    main()
