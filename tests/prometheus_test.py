#!/usr/bin/env python3
"""vantrel-sample watched by the real Prometheus, node exporter and promtool.

  prometheus_test.py VANTREL_SAMPLE SOURCE_ROOT ARTEFACT_FOLDER

Everything runs on loopback ports picked here, in temporary folders: `vantrel-sample --serve`
and `vantrel-sample --textfile` beside `prometheus-node-exporter`, both scraped every second by
one Prometheus. The figures read back through Prometheus' query API are compared with /proc and
statvfs; one real scrape's head and the query results are kept in ARTEFACT_FOLDER.
"""

import http.client
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse
import urllib.request

if len(sys.argv) < 4:
    sys.exit(__doc__)
SAMPLER, ROOT, ARTEFACTS = (os.path.abspath(a) for a in sys.argv[1:4])
del sys.argv[1:4]

PROGRAMS = {"prometheus": shutil.which("prometheus"), "promtool": shutil.which("promtool"),
            "node exporter": shutil.which("prometheus-node-exporter")}
missing = [name for name, path in PROGRAMS.items() if path is None]
if missing:
    if os.environ.get("CI"):
        sys.exit(f"prometheus_test.py: {', '.join(missing)} missing in CI "
                 "(scripts/install-deps.sh installs them)")
    print(f"SKIPPED: {', '.join(missing)} not installed (scripts/install-deps.sh installs them)")
    sys.exit(77)

DEADLINE = 60  # seconds any one condition may take to come true
SERVING = re.compile(r"vantrel-sample: serving metrics on http://(\S+):(\d+)/metrics")


def free_port():
    """A loopback port nobody listens on now: the kernel's pick for port 0."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_for(condition, what, deadline=DEADLINE):
    """condition()'s first true value, polled until `deadline` seconds have passed."""
    end = time.monotonic() + deadline
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError(f"after {deadline} s still waiting for {what}")
        time.sleep(0.05)


def fetch(url, timeout=5):
    with urllib.request.urlopen(url, timeout=timeout) as answer:
        return answer.read().decode()


def read_text(path):
    with open(path) as text:
        return text.read()


def meminfo_bytes():
    figures = {}
    with open("/proc/meminfo") as meminfo:
        for line in meminfo:
            name, value = line.split(":")
            figures[name] = int(value.split()[0]) * 1024
    return figures


def sample_names(exposition):
    """The metric name of every sample line of a text exposition."""
    return {line.split("{")[0].split()[0] for line in exposition.splitlines()
            if line and not line.startswith("#")}


class Watched(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="vantrel-prometheus-test-")
        self.children = []
        self.env = dict(os.environ)
        # The user's own settings never matter here.
        for name in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME"):
            self.env[name] = os.path.join(self.work, name.lower())
            os.makedirs(self.env[name])

        self.serve_log = self.start("serve", [SAMPLER, "--serve", "127.0.0.1:0",
                                              "--interval", "1"])
        self.serve_port = int(wait_for(
            lambda: (SERVING.search(self.read_log(self.serve_log)) or [None, None, None])[2],
            "vantrel-sample's serving line"))

        self.textfiles = os.path.join(self.work, "textfiles")
        os.mkdir(self.textfiles)
        self.textfile = os.path.join(self.textfiles, "vantrel.prom")
        self.start("textfile", [SAMPLER, "--textfile", self.textfile, "--interval", "0.5"])
        self.node_port = free_port()
        # The textfile collector alone: the others read what this test does not look at.
        self.start("node", [PROGRAMS["node exporter"], "--collector.disable-defaults",
                            "--collector.textfile",
                            f"--collector.textfile.directory={self.textfiles}",
                            f"--web.listen-address=127.0.0.1:{self.node_port}"])

        config = os.path.join(self.work, "prometheus.yml")
        with open(config, "w") as out:
            out.write(f"""global:
  scrape_interval: 1s
  scrape_timeout: 1s
scrape_configs:
  - job_name: vantrel
    static_configs: [{{targets: ['127.0.0.1:{self.serve_port}']}}]
  - job_name: node
    static_configs: [{{targets: ['127.0.0.1:{self.node_port}']}}]
""")
        self.prometheus_port = free_port()
        self.start("prometheus", [PROGRAMS["prometheus"], f"--config.file={config}",
                                  f"--storage.tsdb.path={os.path.join(self.work, 'data')}",
                                  f"--web.listen-address=127.0.0.1:{self.prometheus_port}"])

    def tearDown(self):
        for child in self.children:
            child.terminate()
        for child in self.children:
            try:
                child.wait(timeout=10)
            except subprocess.TimeoutExpired:
                child.kill()
                child.wait()
        shutil.rmtree(self.work, ignore_errors=True)

    def start(self, name, command):
        log = os.path.join(self.work, f"{name}.log")
        with open(log, "w") as out:
            self.children.append(subprocess.Popen(command, stdout=out, stderr=subprocess.STDOUT,
                                                  stdin=subprocess.DEVNULL, env=self.env))
        return log

    def read_log(self, log):
        for child in self.children:
            if child.poll() is not None:
                raise AssertionError(f"{child.args[0]} ended with {child.returncode}:\n" +
                                     "".join(read_text(os.path.join(self.work, n))
                                             for n in os.listdir(self.work)
                                             if n.endswith(".log")))
        return read_text(log)

    def query(self, expression):
        """The instant vector Prometheus answers for `expression`: {labels: value}."""
        url = (f"http://127.0.0.1:{self.prometheus_port}/api/v1/query?" +
               urllib.parse.urlencode({"query": expression}))
        try:
            answer = json.loads(fetch(url))
        except OSError:
            self.read_log(self.serve_log)  # a child that ended says so
            return {}
        self.assertEqual(answer["status"], "success", answer)
        return {tuple(sorted(r["metric"].items())): float(r["value"][1])
                for r in answer["data"]["result"]}

    def one(self, expression):
        values = wait_for(lambda: self.query(expression), expression)
        self.assertEqual(len(values), 1, values)
        return next(iter(values.values()))

    def wait_until_up(self, job):
        wait_for(lambda: self.query(f'up{{job="{job}"}} == 1'), f"job {job} up")

    def test_the_served_figures_agree_with_the_kernel(self):
        self.wait_until_up("vantrel")
        scrape = fetch(f"http://127.0.0.1:{self.serve_port}/metrics")
        results = {}

        memory = meminfo_bytes()
        total = self.one('vantrel_memory_total_bytes{job="vantrel"}')
        self.assertEqual(total, memory["MemTotal"])
        used = self.one('vantrel_memory_used_bytes{job="vantrel"}')
        # The poll may be two seconds older than this reading of /proc: 5 % of memory.
        self.assertAlmostEqual(used, memory["MemTotal"] - memory["MemAvailable"],
                               delta=0.05 * total)
        results["memory (total, used; /proc/meminfo total, total - available)"] = (
            total, used, memory["MemTotal"], memory["MemTotal"] - memory["MemAvailable"])

        root = os.statvfs("/")
        size = self.one('vantrel_disk_size_bytes{job="vantrel", mountpoint="/"}')
        available = self.one('vantrel_disk_available_bytes{job="vantrel", mountpoint="/"}')
        disk_used = self.one('vantrel_disk_used_bytes{job="vantrel", mountpoint="/"}')
        self.assertEqual(size, root.f_blocks * root.f_frsize)
        # Other programs write meanwhile: 1 % of the volume.
        self.assertAlmostEqual(available, root.f_bavail * root.f_frsize, delta=0.01 * size)
        self.assertAlmostEqual(disk_used, (root.f_blocks - root.f_bfree) * root.f_frsize,
                               delta=0.01 * size)
        results["disk / (size, available, used; statvfs)"] = (
            size, available, disk_used, root.f_blocks * root.f_frsize,
            root.f_bavail * root.f_frsize, (root.f_blocks - root.f_bfree) * root.f_frsize)

        usage = self.one('vantrel_cpu_usage_ratio{job="vantrel"}')
        self.assertTrue(0 <= usage <= 1, usage)
        cores = self.one('count(vantrel_cpu_core_usage_ratio{job="vantrel"})')
        self.assertEqual(cores, os.cpu_count())
        results["cpu (usage, cores; os.cpu_count)"] = (usage, cores, os.cpu_count())

        polls = self.one('vantrel_polls_total{job="vantrel"}')
        later = wait_for(lambda: (lambda v: v if v > polls else None)(
            self.one('vantrel_polls_total{job="vantrel"}')), "a later poll")
        results["polls_total (first, later)"] = (polls, later)

        check = subprocess.run([PROGRAMS["promtool"], "check", "metrics"], input=scrape,
                               capture_output=True, text=True, timeout=30)
        self.assertEqual((check.returncode, check.stdout + check.stderr), (0, ""))

        os.makedirs(ARTEFACTS, exist_ok=True)
        with open(os.path.join(ARTEFACTS, "prometheus-scrape-head.txt"), "w") as out:
            out.write("\n".join(scrape.splitlines()[:60]) + "\n")
        with open(os.path.join(ARTEFACTS, "prometheus-query-results.txt"), "w") as out:
            for name, values in results.items():
                out.write(f"{name}: {values}\n")

    def ask(self, method, path):
        """The server's status, headers and body for one request; None for the status when it
        ends the connection without an answer."""
        peer = http.client.HTTPConnection("127.0.0.1", self.serve_port, timeout=10)
        try:
            peer.request(method, path)
            answer = peer.getresponse()
            return answer.status, answer.headers, answer.read()
        except (http.client.RemoteDisconnected, ConnectionError):
            return None, {}, b""
        finally:
            peer.close()

    def test_bad_requests_and_idle_connections_leave_the_scrapes_alone(self):
        self.wait_until_up("vantrel")
        # (method, path, the answer's status, a header it must carry)
        cases = [
            ("GET", "/nope", 404, None),
            ("POST", "/metrics", 405, ("Allow", "GET, HEAD")),
            ("HEAD", "/metrics", 200, ("Content-Type", "text/plain; version=0.0.4; charset=utf-8")),
            # A request line of a mebibyte: refused (any status but 200) or the connection ended.
            ("GET", "/" + "a" * (1 << 20), None, None),
        ]
        for method, path, status, header in cases:
            with self.subTest(method=method, path=path[:20]):
                code, headers, body = self.ask(method, path)
                if status is None:
                    self.assertNotEqual(code, 200)
                else:
                    self.assertEqual(code, status)
                if header:
                    self.assertEqual(headers.get(header[0]), header[1])
                if method == "HEAD":
                    self.assertEqual(body, b"")
        self.assertIn(b"vantrel_polls_total", self.ask("GET", "/metrics")[2])

        idle = []
        try:
            # Connected without waiting: a server that stops accepting leaves them in its
            # backlog, where Prometheus' own connections would queue behind them.
            for _ in range(200):
                peer = socket.socket()
                idle.append(peer)
                peer.setblocking(False)
                peer.connect_ex(("127.0.0.1", self.serve_port))
            since = self.one('timestamp(up{job="vantrel"})')
            wait_for(lambda: self.one('timestamp(up{job="vantrel"})') > since + 6,
                     "six seconds of scrapes with 200 idle connections open")
            window = f"[{int(time.time() - since) - 1}s]"
            self.assertEqual(self.one(f'min_over_time(up{{job="vantrel"}}{window})'), 1)
            self.assertGreaterEqual(
                self.one(f'count_over_time(up{{job="vantrel"}}{window})'), 4)
        finally:
            for peer in idle:
                peer.close()

    def test_the_textfile_arrives_through_the_node_exporter(self):
        # Whole files only, read in a tight loop while three polls replace the file.
        exposition = wait_for(lambda: os.path.exists(self.textfile) and read_text(self.textfile),
                              "the first textfile")
        first = sample_names(exposition)
        self.assertIn("vantrel_polls_total", first)
        replaced = 0
        inode = os.stat(self.textfile).st_ino
        end = time.monotonic() + DEADLINE
        while replaced < 3:
            self.assertLess(time.monotonic(), end, "the textfile is not replaced")
            with open(self.textfile) as text:
                seen = text.read()
                now = os.fstat(text.fileno()).st_ino
            self.assertTrue(seen.endswith("\n") and "vantrel_polls_total " in seen, seen[-200:])
            if now != inode:
                replaced, inode = replaced + 1, now
        self.assertEqual([n for n in os.listdir(self.textfiles) if n.endswith(".prom")],
                         ["vantrel.prom"])

        self.wait_until_up("node")
        self.wait_until_up("vantrel")
        wait_for(lambda: self.query('vantrel_polls_total{job="node"}'), "polls through node")
        self.assertEqual(self.one('node_textfile_scrape_error{job="node"}'), 0)
        names = {dict(labels)["__name__"] for labels in
                 self.query('count by (__name__) ({__name__=~"vantrel_.+", job="node"})')}
        served = {dict(labels)["__name__"] for labels in
                  self.query('count by (__name__) ({__name__=~"vantrel_.+", job="vantrel"})')}
        # The node exporter passes every family of the file on, as the server serves them.
        self.assertEqual(names, sample_names(read_text(self.textfile)))
        self.assertEqual(names, served)


class Rules(unittest.TestCase):
    def test_the_example_rules_check_and_pass_their_unit_test(self):
        for command in (["check", "rules", os.path.join(ROOT, "packaging/vantrel-alerts.yml")],
                        ["test", "rules",
                         os.path.join(ROOT, "tests/prometheus/vantrel-alerts.test.yml")]):
            with self.subTest(command=command[:2]):
                run = subprocess.run([PROGRAMS["promtool"], *command], capture_output=True,
                                     text=True, timeout=60)
                self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
                self.assertIn("SUCCESS", run.stdout)


if __name__ == "__main__":
    unittest.main(verbosity=2)
