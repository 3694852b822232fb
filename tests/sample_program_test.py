#!/usr/bin/env python3
"""Runs vantrel-sample on this machine and checks what it prints against the kernel's files."""

import json
import os
import signal
import subprocess
import sys
import tempfile
import unittest

SAMPLER = sys.argv.pop(1) if len(sys.argv) > 1 else "vantrel-sample"
RECORDS = ["cpu", "ram", "network", "battery", "disk", "gpu", "processes",
           "thermalState", "sensors", "session"]


def sampler_env():
    # Settings come from a private folder, so the user's own never matter or change.
    env = dict(os.environ)
    home = tempfile.mkdtemp(prefix="vantrel-sample-test-")
    env["XDG_CONFIG_HOME"] = os.path.join(home, "config")
    env["XDG_DATA_HOME"] = os.path.join(home, "data")
    return env


def meminfo_kib(key):
    with open("/proc/meminfo") as meminfo:
        for line in meminfo:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    raise KeyError(key)


def default_route_interface():
    with open("/proc/net/route") as routes:
        for line in routes.readlines()[1:]:
            fields = line.split()
            if fields[1] == "00000000" and fields[7] == "00000000":
                return fields[0]
    return None


class SamplerProgram(unittest.TestCase):
    def run_sampler(self, *arguments, timeout=30):
        return subprocess.run([SAMPLER, *arguments], capture_output=True, text=True,
                              timeout=timeout, env=sampler_env())

    def test_prints_one_object_per_poll_that_agrees_with_the_kernel(self):
        result = self.run_sampler("--count", "3", "--interval", "0.2")
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = result.stdout.splitlines()
        self.assertEqual(len(lines), 3)
        polls = [json.loads(line) for line in lines]
        for number, poll in enumerate(polls, start=1):
            self.assertEqual(sorted(poll), sorted(RECORDS))
            self.assertEqual(poll["session"]["pollCount"], number)
        last = polls[-1]
        online = os.sysconf("SC_NPROCESSORS_ONLN")
        self.assertEqual(len(last["cpu"]["perCore"]), online)
        self.assertTrue(0 <= last["cpu"]["overall"] <= 1)
        self.assertEqual(last["ram"]["totalBytes"], meminfo_kib("MemTotal") * 1024)
        used_by_free = (meminfo_kib("MemTotal") - meminfo_kib("MemAvailable")) * 1024
        self.assertLess(abs(last["ram"]["usedBytes"] - used_by_free),
                        0.03 * last["ram"]["totalBytes"])
        route = default_route_interface()
        if route is not None:
            self.assertEqual(last["network"]["interfaceName"], route)
        self.assertEqual(last["battery"]["timeRemainingMinutes"], -1)
        self.assertEqual(last["gpu"]["name"], "GPU")
        self.assertIsNone(last["sensors"]["cpuTempCelsius"])

    def test_interrupt_ends_after_a_whole_line(self):
        process = subprocess.Popen([SAMPLER, "--interval", "0.1"], stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, text=True, env=sampler_env())
        first = process.stdout.readline()
        process.send_signal(signal.SIGINT)
        rest, errors = process.communicate(timeout=10)
        self.assertEqual(process.returncode, 0, errors)
        for line in [first, *rest.splitlines()]:
            self.assertEqual(sorted(json.loads(line)), sorted(RECORDS))

    def test_bad_arguments_give_one_line_and_status_two(self):
        for arguments in (["--count", "zero"], ["--interval", "-1"], ["--frobnicate"]):
            result = self.run_sampler(*arguments)
            self.assertEqual(result.returncode, 2, arguments)
            self.assertEqual(result.stdout, "")
            self.assertEqual(len(result.stderr.splitlines()), 1, result.stderr)

    def test_help_describes_the_options(self):
        result = self.run_sampler("--help")
        self.assertEqual(result.returncode, 0)
        for option in ("--count", "--interval", "--help"):
            self.assertIn(option, result.stdout)


if __name__ == "__main__":
    unittest.main(verbosity=2)
