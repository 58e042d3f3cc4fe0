#!/usr/bin/env python3
"""Faults at exit, against the stress driver's "exit" scenario (the real program, told to exit
as soon as it listens):

- killed with SIGKILL at random points of its exit, many times: the next start must find the
  settings file as it was before (old) or as that exit writes it (new), whole, never a part;
- a settings folder on a read-only file system, and on a full one: the program starts and exits
  normally, with status 0, and the file there is left whole.

The old file is written in a form that reads the same as the new one but differs byte for byte
("$0" for the port 0, "+100", " 50"), so that old and new can be told apart. Mounting needs
root; without it the file-system cases are reported as skipped.
"""

import argparse
import os
import random
import subprocess
import sys
import tempfile
import time

OLD = b"$0\r\n+100\r\n 50\r\n480\r\n640\r\n0\r\n"
EXIT_DEADLINE_S = 30


def settings_file(home):
    return os.path.join(home, "Harkenwire", "Harkenwire.txt")


def write_old(home):
    os.makedirs(os.path.join(home, "Harkenwire"), exist_ok=True)
    with open(settings_file(home), "wb") as f:
        f.write(OLD)


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def start(driver, home):
    env = dict(os.environ, XDG_CONFIG_HOME=home, QT_QPA_PLATFORM="offscreen")
    return subprocess.Popen([driver, "exit"], env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL)


def wait_exiting(process):
    """Reads the driver's output up to its "exiting" line; returns when that came, or None."""
    for line in process.stdout:
        if line.strip() == b"exiting":
            return time.monotonic()
    return None


def clean_exit(driver, home):
    """Runs one whole exit; returns its status and how long it took after "exiting"."""
    process = start(driver, home)
    pressed = wait_exiting(process)
    status = process.wait(timeout=EXIT_DEADLINE_S)
    process.stdout.close()
    took = time.monotonic() - pressed if pressed else None
    return status, took


def kill_during_exit(driver, kills):
    with tempfile.TemporaryDirectory(prefix="harkenwire-kill-") as home:
        write_old(home)
        status, took = clean_exit(driver, home)
        new = read(settings_file(home))
        lines = new.split(b"\r\n") if new else []
        if status != 0 or took is None or len(lines) != 7 or lines[-1] != b"" or new == OLD:
            print(f"faults: a clean exit did not write the settings (status {status}): {new!r}")
            return False
        # Kill anywhere from the press of Exit to a little after a clean exit has ended.
        window = took * 1.5
        outcomes = {"old": 0, "new": 0}
        for attempt in range(kills):
            write_old(home)
            process = start(driver, home)
            if wait_exiting(process) is None:
                process.wait(timeout=EXIT_DEADLINE_S)
                print("faults: the program ended before it exited")
                return False
            time.sleep(random.uniform(0, window))
            if process.poll() is None:
                process.kill()
            process.wait(timeout=EXIT_DEADLINE_S)
            process.stdout.close()
            found = read(settings_file(home))
            if found == OLD:
                outcomes["old"] += 1
            elif found == new:
                outcomes["new"] += 1
            else:
                print(f"faults: after kill {attempt + 1} the settings file is {found!r}")
                return False
        # A kill while the new file was being written leaves its temporary file behind.
        left = [n for n in os.listdir(os.path.join(home, "Harkenwire")) if n != "Harkenwire.txt"]
        print(f"faults: killed {kills} times within {window * 1000:.0f} ms of Exit: old file "
              f"{outcomes['old']} times, new file {outcomes['new']} times, never a part; "
              f"{len(left)} kills came while the new file was being written")
        return True


def mount_tmpfs(path, options):
    result = subprocess.run(["mount", "-t", "tmpfs", "-o", options, "tmpfs", path],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return result.returncode == 0


def unmount(path):
    subprocess.run(["umount", path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def exit_on(driver, home, case, expected):
    status, took = clean_exit(driver, home)
    found = read(settings_file(home))
    good = status == 0 and took is not None and found == expected
    print(f"faults: settings folder on a {case} file system: exit status {status}, "
          f"file {'left whole' if found == expected else repr(found)}"
          f"{'' if good else ' FAIL'}")
    return good


def unwritable_file_systems(driver):
    if os.geteuid() != 0:
        print("faults: read-only and full file systems skipped: mounting needs root")
        return True
    good = True
    with tempfile.TemporaryDirectory(prefix="harkenwire-fs-") as scratch:
        read_only = os.path.join(scratch, "read-only")
        full = os.path.join(scratch, "full")
        os.makedirs(read_only)
        os.makedirs(full)
        if not mount_tmpfs(read_only, "size=64k"):
            print("faults: read-only and full file systems skipped: tmpfs cannot be mounted here")
            return True
        try:
            write_old(read_only)
            subprocess.run(["mount", "-o", "remount,ro", read_only], check=True)
            good = exit_on(driver, read_only, "read-only", OLD) and good
        finally:
            unmount(read_only)
        if not mount_tmpfs(full, "size=16k"):
            print("faults: the full file system skipped: tmpfs cannot be mounted here")
            return good
        try:
            write_old(full)
            # Fill every block that is left; the last write, or the close, finds it full.
            try:
                with open(os.path.join(full, "filler"), "wb", buffering=0) as filler:
                    while True:
                        filler.write(b"\0" * 1024)
            except OSError:
                pass
            good = exit_on(driver, full, "full", OLD) and good
        finally:
            unmount(full)
    return good


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--kills", type=int, default=None)
    args = parser.parse_args()
    kills = args.kills
    if kills is None:
        default = 40 if os.environ.get("STRESS_SHORT") == "1" else 150
        kills = int(os.environ.get("STRESS_KILLS", default))
    good = kill_during_exit(args.driver, kills)
    good = unwritable_file_systems(args.driver) and good
    print(f"faults: {'PASS' if good else 'FAIL'}")
    return 0 if good else 1


if __name__ == "__main__":
    sys.exit(main())
