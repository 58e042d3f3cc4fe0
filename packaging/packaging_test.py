#!/usr/bin/env python3
"""Checks of what Harkenwire puts on a system: the desktop entry and the metainfo pass their
validators, the manual page renders cleanly and states the limits the code has, `cmake --install`
lays out exactly the expected files, and the Debian package holds them, depends on the packages
that provide every library the program loads, and its program starts and listens.

Run with one test class name as argument (ctest runs each class as a test of its own), with
HARKENWIRE_SOURCE_DIR and HARKENWIRE_BUILD_DIR in the environment. Every wait has a deadline.
"""

import gzip
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

SOURCE = Path(os.environ["HARKENWIRE_SOURCE_DIR"])
BUILD = Path(os.environ["HARKENWIRE_BUILD_DIR"])
PACKAGING = SOURCE / "packaging"

# What `cmake --install` puts under the prefix, and so the package under /usr.
INSTALLED_FILES = [
    "bin/harkenwire",
    "share/applications/harkenwire.desktop",
    "share/icons/hicolor/scalable/apps/harkenwire.svg",
    "share/man/man1/harkenwire.1.gz",
    "share/metainfo/io.harkenwire.Harkenwire.metainfo.xml",
]


def run(args, timeout=120, **kwargs):
    """Runs a command to its end and gives its result, output as text."""
    return subprocess.run(args, capture_output=True, text=True, timeout=timeout, **kwargs)


def files_under(root):
    """The regular files below root, as sorted paths relative to it."""
    return sorted(str(p.relative_to(root)) for p in Path(root).rglob("*") if p.is_file())


def deadline_loop(seconds, step=0.05):
    """Yields until `seconds` have passed, sleeping `step` between rounds."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        yield
        time.sleep(step)


class Validators(unittest.TestCase):
    def assertValidatorClean(self, result):
        # Hints are advice; errors and warnings fail.
        output = result.stdout + result.stderr
        self.assertEqual(result.returncode, 0, output)
        self.assertNotRegex(output, r"(?im)^\S*:?\s*(error|warning):", output)

    def test_desktop_entry(self):
        self.assertValidatorClean(run(["desktop-file-validate", PACKAGING / "harkenwire.desktop"]))

    def test_metainfo(self):
        metainfo = PACKAGING / "io.harkenwire.Harkenwire.metainfo.xml"
        self.assertValidatorClean(run(["appstreamcli", "validate", "--no-net", metainfo]))


class Documents(unittest.TestCase):
    def test_manual_page_renders_without_warnings(self):
        result = run(["man", "--warnings", "-E", "UTF-8", "-l", PACKAGING / "harkenwire.1"],
                     env={**os.environ, "MANWIDTH": "80"})
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, "")
        self.assertIn("Couldn't bind to port", result.stdout)

    def test_readme_images_are_in_the_repository(self):
        images = re.findall(r"!\[[^\]]*\]\(([^)\s]+)\)", (SOURCE / "README.md").read_text())
        self.assertTrue(images)
        for image in images:
            self.assertTrue((SOURCE / image).is_file(), image)

    def test_readme_and_manual_page_give_the_limits_of_the_code(self):
        # Each limit's constant in the code, and the figure the README and the manual page give.
        cases = [
            ("kLineLimit", "1,048,576"),
            ("kTextAreaLimit", "4,194,304"),
            ("kIncomingBudget", "4,194,304"),
        ]
        headers = " ".join(p.read_text() for folder in ("platform", "receiver")
                           for p in (SOURCE / folder).rglob("*.h"))
        documents = {name: (SOURCE / name).read_text()
                     for name in ("README.md", "packaging/harkenwire.1")}
        for constant, written in cases:
            with self.subTest(constant=constant):
                found = re.search(constant + r"\s*=\s*([0-9']+)", headers)
                self.assertIsNotNone(found, f"{constant} is in no header")
                value = int(found.group(1).replace("'", ""))
                self.assertEqual(f"{value:,}", written)
                for name, text in documents.items():
                    self.assertIn(written, text, name)


class InstallTree(unittest.TestCase):
    def test_install_lays_out_the_expected_files(self):
        with tempfile.TemporaryDirectory() as prefix:
            result = run(["cmake", "--install", BUILD, "--prefix", prefix])
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            self.assertEqual(files_under(prefix), INSTALLED_FILES)
            self.assertTrue(os.access(Path(prefix, "bin/harkenwire"), os.X_OK))
            page = gzip.decompress(Path(prefix, "share/man/man1/harkenwire.1.gz").read_bytes())
            self.assertEqual(page, (PACKAGING / "harkenwire.1").read_bytes())
            # The metainfo finds its desktop entry, and the entry finds its program and icon.
            tree = run(["appstreamcli", "validate-tree", "--no-net", prefix])
            self.assertEqual(tree.returncode, 0, tree.stdout + tree.stderr)
            entry = Path(prefix, "share/applications/harkenwire.desktop").read_text()
            keys = dict(re.findall(r"(?m)^(\w+)=(.*)$", entry))
            self.assertTrue(Path(prefix, "bin", keys["Exec"]).is_file())
            self.assertTrue(Path(prefix, "share/icons/hicolor/scalable/apps",
                                 keys["Icon"] + ".svg").is_file())


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        out = Path(cls.scratch.name, "out")
        result = run(["cpack", "--config", BUILD / "CPackConfig.cmake", "-B", out], timeout=240)
        assert result.returncode == 0, result.stdout + result.stderr
        debs = list(out.glob("harkenwire_*.deb"))
        assert len(debs) == 1, f"expected one package, got {debs}"
        cls.deb = debs[0]
        cls.root = Path(cls.scratch.name, "root")
        extract = run(["dpkg-deb", "-x", cls.deb, cls.root])
        assert extract.returncode == 0, extract.stderr

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def field(self, name):
        return run(["dpkg-deb", "-f", self.deb, name]).stdout.strip()

    @staticmethod
    def package_names(relations):
        """The packages a Depends field names, taking the first of each set of alternatives,
        as apt does."""
        return {re.split(r"[\s(:]", clause.split("|")[0].strip())[0]
                for clause in relations.split(",") if clause.strip()}

    def installed_with_package(self):
        """Every package that installing this one brings in: its Depends and theirs, read from
        the packages installed here."""
        found = set()
        todo = self.package_names(self.field("Depends"))
        while todo:
            found |= todo
            # One query a level; a virtual package name gives no line and is skipped.
            relations = run(["dpkg-query", "-W", "-f=${Depends},${Pre-Depends},", *todo]).stdout
            todo = self.package_names(relations) - found
        return found

    def test_control_fields(self):
        architecture = run(["dpkg", "--print-architecture"]).stdout.strip()
        cases = [
            ("Package", "harkenwire"),
            ("Version", "1.0.0"),
            ("Architecture", architecture),
            ("Section", "net"),
        ]
        for name, expected in cases:
            with self.subTest(field=name):
                self.assertEqual(self.field(name), expected)
        self.assertRegex(self.field("Maintainer"), r"^[^<>]+ <[^<>@\s]+@[^<>\s]+>$")
        summary, *extended = self.field("Description").splitlines()
        self.assertIn("TCP", summary)
        self.assertTrue(extended, "the description has no extended part")
        self.assertNotEqual(extended[0].strip(), summary, "the summary is repeated")

    def test_holds_the_installed_files_under_usr(self):
        self.assertEqual(files_under(self.root), ["usr/" + f for f in INSTALLED_FILES])
        listing = run(["dpkg-deb", "-c", self.deb]).stdout
        self.assertRegex(listing, r"-rwxr-xr-x root/root .* \./usr/bin/harkenwire\n")

    def test_depends_on_every_library_the_program_loads(self):
        program = self.root / "usr/bin/harkenwire"
        ldd = run(["ldd", program])
        self.assertEqual(ldd.returncode, 0, ldd.stderr)
        self.assertNotIn("not found", ldd.stdout)
        libraries = re.findall(r"=> (/\S+)", ldd.stdout)
        self.assertTrue(libraries)
        needed = set(re.findall(r"NEEDED\s+(\S+)", run(["objdump", "-p", program]).stdout))
        owners = self.owners([path for path in libraries if Path(path).name in needed])
        # The X11 platform plugin is loaded at run time, not linked: its package must come too.
        plugin = run(["dpkg", "-S", "*/qt6/plugins/platforms/libqxcb.so"])
        self.assertEqual(plugin.returncode, 0, plugin.stderr)
        owners |= {line.split(":")[0] for line in plugin.stdout.splitlines()}
        self.assertLessEqual(owners, self.installed_with_package(),
                             f"Depends: {self.field('Depends')}")

    def owners(self, libraries):
        """The packages that hold the libraries, found under any of their names on a merged-/usr
        system (one query for all)."""
        names = {}
        for path in libraries:
            variants = {path, os.path.realpath(path)}
            names[path] = variants | {"/" + v[len("/usr/"):] for v in variants
                                      if v.startswith("/usr/")}
        listing = run(["dpkg", "-S", *set().union(*names.values())]).stdout
        holder = {line.split(": ", 1)[1]: line.split(":")[0] for line in listing.splitlines()}
        found = set()
        for path, variants in names.items():
            packages = {holder[v] for v in variants if v in holder}
            self.assertTrue(packages, f"no package holds {path}")
            found |= packages
        return found

    def test_installed_program_starts_and_listens(self):
        home = Path(self.scratch.name, "home")
        config = home / ".config"
        runtime = Path(self.scratch.name, "runtime")
        (config / "Harkenwire").mkdir(parents=True)
        runtime.mkdir(mode=0o700)
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            port = probe.getsockname()[1]
        (config / "Harkenwire/Harkenwire.txt").write_bytes(
            b"".join(b"%d\r\n" % v for v in (port, 320, 200, 480, 640, 0)))
        env = {"PATH": "/usr/bin:/bin", "HOME": str(home), "XDG_CONFIG_HOME": str(config),
               "XDG_RUNTIME_DIR": str(runtime), "QT_QPA_PLATFORM": "offscreen"}
        log = open(Path(self.scratch.name, "program.log"), "w+")
        program = subprocess.Popen([self.root / "usr/bin/harkenwire"], env=env,
                                   stdout=log, stderr=subprocess.STDOUT)
        try:
            listening = False
            for _ in deadline_loop(20):
                if program.poll() is not None:
                    self.fail(self.output(log))
                try:
                    with socket.create_connection(("127.0.0.1", port), timeout=2) as client:
                        client.sendall(b"hello\n")
                    listening = True
                    break
                except ConnectionRefusedError:
                    pass
            self.assertTrue(listening, f"nothing listened on port {port} within 20 s")
            if program.poll() is not None:
                self.fail(self.output(log))
        finally:
            program.send_signal(signal.SIGTERM)
            try:
                program.wait(timeout=10)
            except subprocess.TimeoutExpired:
                program.kill()
                program.wait(timeout=10)
            log.close()

    @staticmethod
    def output(log):
        log.seek(0)
        return "the program ended; its output:\n" + log.read()


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(f"usage: {sys.argv[0]} TESTCLASS")
    suite = unittest.defaultTestLoader.loadTestsFromName(sys.argv[1], sys.modules[__name__])
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)
