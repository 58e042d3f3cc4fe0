"""Runs end-to-end test modules against the harkenwire binary on a private desktop.

    run.py --program BUILD/app/harkenwire --artifacts BUILD/e2e-screenshots [TEST ...]

TEST is a module (test_exit), a class or a single test (test_exit.ExitTest.test_exit_button);
without one every test_*.py beside this file runs. The whole run has a deadline (--limit), after
which it stops, ends every process it started and fails. On a failing test the screen and the
program's output are kept in the artifacts folder under failures/.
"""

import argparse
import os
import signal
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # Keep the source folder clean.

from case import ProgramTest  # noqa: E402
from desktop import Desktop  # noqa: E402


class SuiteTimeout(KeyboardInterrupt):
    """The run's deadline passed. A KeyboardInterrupt, so that unittest lets it through."""


class KeepingResult(unittest.TextTestResult):
    """Saves a screenshot and the program's output when a test fails or errs.

    unittest reports a failure as it happens, before the test's clean-ups stop the program, so
    the screen still shows what went wrong.
    """

    def addFailure(self, test, err):
        self._keep(test)
        super().addFailure(test, err)

    def addError(self, test, err):
        self._keep(test)
        super().addError(test, err)

    def addSubTest(self, test, subtest, err):
        if err is not None:
            self._keep(test, subtest.id())
        super().addSubTest(test, subtest, err)

    def _keep(self, test, name=None):
        program = getattr(test, "program", None)
        if program is None:
            return
        folder = os.path.join(ProgramTest.artifacts, "failures")
        os.makedirs(folder, exist_ok=True)
        base = os.path.join(folder, (name or test.id()).replace("/", "-"))
        try:
            ProgramTest.desktop.screenshot(base + ".png")
        except AssertionError as error:
            print(f"(no screenshot: {error})", file=sys.stderr)
        with open(base + ".log", "w") as log:
            log.write(program.log())


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True, help="the harkenwire executable")
    parser.add_argument("--artifacts", required=True, help="folder for screenshots")
    parser.add_argument("--limit", type=float, default=280, help="seconds for the whole run")
    parser.add_argument("tests", nargs="*", help="modules, classes or tests to run")
    args = parser.parse_args()

    try:
        import gi  # noqa: F401  The accessibility probe needs it.
    except ImportError:
        print(f"{sys.executable} lacks python3-gi; run this with the system's python3",
              file=sys.stderr)
        return 2
    if not os.access(args.program, os.X_OK):
        print(f"not an executable: {args.program}", file=sys.stderr)
        return 2

    def out_of_time(*_):
        raise SuiteTimeout(f"the run took longer than {args.limit:g} s")

    def terminated(*_):
        raise KeyboardInterrupt("terminated")

    signal.signal(signal.SIGALRM, out_of_time)
    signal.signal(signal.SIGTERM, terminated)
    signal.setitimer(signal.ITIMER_REAL, args.limit)

    loader = unittest.TestLoader()
    if args.tests:
        suite = loader.loadTestsFromNames(args.tests)
    else:
        suite = loader.discover(HERE, pattern="test_*.py", top_level_dir=HERE)

    ProgramTest.binary = os.path.abspath(args.program)
    ProgramTest.artifacts = os.path.abspath(args.artifacts)
    started = time.monotonic()
    desktop = Desktop()
    try:
        ProgramTest.desktop = desktop.start()
        runner = unittest.TextTestRunner(verbosity=2, resultclass=KeepingResult)
        result = runner.run(suite)
    except KeyboardInterrupt as stop:
        print(f"stopped: {stop}", file=sys.stderr)
        return 1
    finally:
        # Nothing may cut the clean-up short.
        signal.setitimer(signal.ITIMER_REAL, 0)
        signal.signal(signal.SIGTERM, signal.SIG_IGN)
        desktop.stop()
    print(f"end-to-end run: {time.monotonic() - started:.1f} s including the desktop")
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
