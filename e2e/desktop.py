"""A private X desktop for driving a program from the outside.

Desktop starts a virtual X server, a window manager and a session bus of its own, and offers the
few things a user does there: find windows and their frames, click, type, read and own the
clipboard, take screenshots, and read what accessibility tools see. Every step waits with a
deadline and raises StepTimeout when it runs out. stop() ends every process the desktop started,
by process id, together with everything those processes started in turn (the bus starts the
accessibility helpers on demand); nothing else is touched.
"""

import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import uuid
from typing import NamedTuple

HERE = os.path.dirname(os.path.abspath(__file__))

# The environment variable that marks every process started here, so that teardown also finds
# the ones that were started on our behalf and then left their parent (bus-activated helpers).
MARKER = "HARKENWIRE_E2E_DESKTOP"

COMMAND_TIMEOUT = 10.0


class StepTimeout(AssertionError):
    """A step of the desktop did not happen within its deadline."""


def wait_until(check, timeout, what, interval=0.05):
    """Calls check() until it gives a true value, and returns that value.

    Raises StepTimeout naming `what` when `timeout` seconds pass first.
    """
    deadline = time.monotonic() + timeout
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() > deadline:
            raise StepTimeout(f"{what}: not within {timeout:g} s")
        time.sleep(interval)


def holds_for(check, duration, what, interval=0.05):
    """Calls check() for `duration` seconds; raises AssertionError naming `what` if it fails.

    For things that must not happen, where there is no event to wait for.
    """
    deadline = time.monotonic() + duration
    while time.monotonic() < deadline:
        if not check():
            raise AssertionError(f"{what}: broken within {duration:g} s")
        time.sleep(interval)


def wait_stable(read, timeout, what, polls=4, interval=0.1):
    """Reads a value until it is not None and the same over `polls` reads in a row; returns it."""
    deadline = time.monotonic() + timeout
    last, same = None, 0
    while True:
        value = read()
        if value is not None and value == last:
            same += 1
            if same >= polls:
                return value
        else:
            last, same = value, 1 if value is not None else 0
        if time.monotonic() > deadline:
            raise StepTimeout(f"{what}: not steady within {timeout:g} s (last {last!r})")
        time.sleep(interval)


class Rect(NamedTuple):
    """A rectangle in screen pixels."""

    x: int
    y: int
    width: int
    height: int

    def union(self, other):
        left, top = min(self.x, other.x), min(self.y, other.y)
        right = max(self.x + self.width, other.x + other.width)
        bottom = max(self.y + self.height, other.y + other.height)
        return Rect(left, top, right - left, bottom - top)


def _proc_parent(pid):
    """Returns the parent pid of a process, or None when it is gone."""
    try:
        with open(f"/proc/{pid}/stat", "rb") as stat:
            fields = stat.read().rsplit(b")", 1)[1].split()
        return int(fields[1])
    except (OSError, IndexError, ValueError):
        return None


def _proc_has_marker(pid, token):
    try:
        with open(f"/proc/{pid}/environ", "rb") as environ:
            return token in environ.read().split(b"\0")
    except OSError:
        return False


def _all_pids():
    return [int(name) for name in os.listdir("/proc") if name.isdigit()]


class Desktop:
    """A virtual X server with a window manager and a private session bus."""

    def __init__(self, size=(1600, 1200)):
        self.size = size
        self.root_dir = tempfile.mkdtemp(prefix="harkenwire-e2e-")
        self.runtime_dir = os.path.join(self.root_dir, "runtime")
        os.mkdir(self.runtime_dir, 0o700)
        self.token = f"{MARKER}={uuid.uuid4().hex}".encode()
        self.display = None
        self.bus_address = None
        self.bus_pid = None
        self._started = []  # Popen objects, in start order.

    # ---- life cycle -------------------------------------------------------------------------

    def start(self):
        """Starts the X server, the window manager and the bus; returns self."""
        try:
            self._start_x()
            self._start_window_manager()
            self._start_bus()
        except BaseException:
            self.stop()
            raise
        return self

    def _base_env(self):
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.root_dir,
            "XDG_RUNTIME_DIR": self.runtime_dir,
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
        }
        # Lets a developer watch Qt's own logging while chasing a failure.
        if "QT_LOGGING_RULES" in os.environ:
            env["QT_LOGGING_RULES"] = os.environ["QT_LOGGING_RULES"]
        key, value = self.token.decode().split("=", 1)
        env[key] = value
        if self.display:
            env["DISPLAY"] = self.display
        if self.bus_address:
            env["DBUS_SESSION_BUS_ADDRESS"] = self.bus_address
        return env

    def env(self, **extra):
        """The environment for a program on this desktop, with `extra` added."""
        env = self._base_env()
        env.update(extra)
        return env

    def spawn(self, argv, env=None, **popen_args):
        """Starts a process that stop() will end; returns its Popen."""
        process = subprocess.Popen(argv, env=env or self.env(), start_new_session=True,
                                   **popen_args)
        self._started.append(process)
        return process

    def _start_x(self):
        read_end, write_end = os.pipe()
        width, height = self.size
        try:
            self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                        f"{width}x{height}x24", "-nolisten", "tcp", "-noreset"],
                       pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        finally:
            os.close(write_end)
        # The server writes its display number once it accepts connections.
        number = b""
        deadline = time.monotonic() + 15
        os.set_blocking(read_end, False)
        try:
            while not number.endswith(b"\n"):
                if time.monotonic() > deadline:
                    raise StepTimeout("X server: no display number within 15 s")
                if self._started[0].poll() is not None:
                    raise StepTimeout("X server: ended at start")
                try:
                    chunk = os.read(read_end, 16)
                except BlockingIOError:
                    time.sleep(0.05)
                    continue
                if not chunk:
                    raise StepTimeout("X server: closed its display pipe")
                number += chunk
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()
        wait_until(lambda: self.try_run(["xprop", "-root", "-len", "1"]) is not None, 15,
                   "X server answers")

    def _start_window_manager(self):
        self.spawn(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
        wait_until(lambda: "window id" in (self.root_property("_NET_SUPPORTING_WM_CHECK") or ""),
                   15, "window manager running")
        self._spend_first_key()

    def _spend_first_key(self):
        """Types the desktop's first key press, one nothing is bound to, and waits until the
        window manager has dealt with it.

        The first key event of a fresh X server switches the core keyboard over to the test
        device, and the window manager answers by grabbing its shortcuts anew. A shortcut
        typed as the desktop's first key reached the focused window instead, and the window
        manager never saw it, in 4 of 30 fresh desktops here; after this, in none of 60.
        """
        self.xdotool("key", "shift")
        # The window manager takes events in order, so once it has answered a request sent
        # after the key, it has dealt with the key too.
        count = wait_until(self.desktop_count, 15, "window manager counts its desktops")
        for wanted in (count + 1, count):
            self.xdotool("set_num_desktops", wanted)
            wait_until(lambda: self.desktop_count() == wanted, 5,
                       f"window manager sets {wanted} desktops")

    def desktop_count(self):
        out = self.root_property("_NET_NUMBER_OF_DESKTOPS") or ""
        try:
            return int(out.rsplit("=", 1)[1])
        except (IndexError, ValueError):
            return None

    def _start_bus(self):
        bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1",
                          "--print-pid=1"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        os.set_blocking(bus.stdout.fileno(), False)
        output = b""
        deadline = time.monotonic() + 15
        while output.count(b"\n") < 2:
            if time.monotonic() > deadline or bus.poll() is not None:
                raise StepTimeout("session bus: no address within 15 s")
            chunk = bus.stdout.read()
            if chunk:
                output += chunk
            else:
                time.sleep(0.05)
        address, pid = output.decode().split("\n")[:2]
        self.bus_address, self.bus_pid = address.strip(), int(pid)

    def stop(self):
        """Ends every process started here and what they started, then removes the files.

        Helpers and programs go first, then what was started here in reverse order, so the
        bus, the window manager and the X server are the last to go.
        """
        ours = [p.pid for p in self._started]
        everything = self._processes_of(set(ours) | ({self.bus_pid} if self.bus_pid else set()))
        others = [pid for pid in everything if pid not in ours]
        for group in [others] + [[pid] for pid in reversed(ours)]:
            self._end(group)
        # Whatever the bus still started while the others went down.
        self._end(self._processes_of(set()))
        for process in self._started:
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                pass
            for stream in (process.stdin, process.stdout):
                if stream:
                    stream.close()
        self._started.clear()
        shutil.rmtree(self.root_dir, ignore_errors=True)

    def _end(self, pids, grace=3):
        """Asks the processes to end, and kills those that have not after `grace` seconds."""
        for pid in pids:
            self._signal(pid, signal.SIGTERM)
        deadline = time.monotonic() + grace
        while time.monotonic() < deadline and any(self._alive(pid) for pid in pids):
            self._reap()
            time.sleep(0.05)
        for pid in pids:
            if self._alive(pid):
                self._signal(pid, signal.SIGKILL)
        self._reap()

    def _processes_of(self, roots):
        """The processes among `roots`, their descendants, and those carrying our marker."""
        me = os.getpid()
        parents = {pid: _proc_parent(pid) for pid in _all_pids()}
        found = set()
        for pid in parents:
            if pid == me:
                continue
            chain, current = set(), pid
            while current and current not in chain:
                if current in roots:
                    found.add(pid)
                    break
                chain.add(current)
                current = parents.get(current)
            if pid not in found and _proc_has_marker(pid, self.token):
                found.add(pid)
        return sorted(found)

    def _reap(self):
        for process in self._started:
            process.poll()

    @staticmethod
    def _alive(pid):
        try:
            with open(f"/proc/{pid}/stat", "rb") as stat:
                return stat.read().rsplit(b")", 1)[1].split()[0] != b"Z"
        except OSError:
            return False

    @staticmethod
    def _signal(pid, number):
        try:
            os.kill(pid, number)
        except ProcessLookupError:
            pass

    # ---- running the X tools ----------------------------------------------------------------

    def run(self, argv, timeout=COMMAND_TIMEOUT):
        """Runs a tool on this desktop; returns its standard output as text.

        Raises AssertionError when it fails and StepTimeout when it does not end in time.
        """
        try:
            done = subprocess.run(argv, env=self.env(), capture_output=True,
                                  timeout=timeout)
        except subprocess.TimeoutExpired:
            raise StepTimeout(f"{argv[0]}: did not end within {timeout:g} s: {argv}") from None
        if done.returncode != 0:
            raise AssertionError(f"{argv} failed ({done.returncode}): "
                                 f"{done.stderr.decode(errors='replace').strip()}")
        return done.stdout.decode("utf-8", errors="surrogateescape")

    def try_run(self, argv, timeout=COMMAND_TIMEOUT):
        """Like run(), but gives None instead of raising."""
        try:
            return self.run(argv, timeout)
        except AssertionError:
            return None

    def xdotool(self, *args):
        return self.run(["xdotool", *map(str, args)])

    def root_property(self, name):
        return self.try_run(["xprop", "-root", name])

    def window_property(self, window, name):
        """The text of an X property of a window, or None when unreadable or unset."""
        out = self.try_run(["xprop", "-id", str(window), name])
        if out is None or "not found" in out or "no such atom" in out:
            return None
        return out.split("=", 1)[1].strip() if "=" in out else out.strip()

    # ---- windows ----------------------------------------------------------------------------

    def search(self, *criteria):
        """Window ids that `xdotool search` finds for the criteria; empty when none."""
        out = self.try_run(["xdotool", "search", *map(str, criteria)])
        return [int(line) for line in (out or "").split()]

    def windows_of(self, pid, name=None):
        """The visible windows of a process, optionally only those whose name matches."""
        if name is None:
            return self.search("--onlyvisible", "--pid", pid)
        return self.search("--all", "--onlyvisible", "--pid", pid, "--name", name)

    def icon_sizes(self, window):
        """The (width, height) of each image in the window's _NET_WM_ICON, in order."""
        out = self.try_run(["xprop", "-id", str(window), "-len", "100000000", "-notype",
                            "-f", "_NET_WM_ICON", "32c", "=$0+", "_NET_WM_ICON"]) or ""
        try:
            values = [int(value) for value in out.split("=", 1)[1].split(",")]
        except (IndexError, ValueError):
            return []
        sizes, at = [], 0
        while at + 2 <= len(values):
            width, height = values[at], values[at + 1]
            sizes.append((width, height))
            at += 2 + width * height
        return sizes

    def window_types(self, window):
        value = self.window_property(window, "_NET_WM_WINDOW_TYPE") or ""
        return {part.strip().replace("_NET_WM_WINDOW_TYPE_", "") for part in value.split(",")
                if part.strip()}

    def window_states(self, window):
        value = self.window_property(window, "_NET_WM_STATE") or ""
        return {part.strip().replace("_NET_WM_STATE_", "") for part in value.split(",")
                if part.strip()}

    def attributes(self, window):
        """The window's attributes as `xwininfo` names them, or None when it is gone."""
        out = self.try_run(["xwininfo", "-id", str(window)])
        if out is None:
            return None
        values = {}
        for line in out.splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        return values

    def geometry(self, window):
        """The window's rectangle on the screen as X reports it, or None when it is gone."""
        values = self.attributes(window)
        try:
            return Rect(int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                        int(values["Width"]), int(values["Height"]))
        except (KeyError, TypeError, ValueError):
            return None

    def is_override_redirect(self, window):
        """Whether the window bypasses the window manager, as popup menus do."""
        values = self.attributes(window) or {}
        return values.get("Override Redirect State") == "yes"

    def frame_of(self, window):
        """The window manager's frame around a client window: its ancestor below the root."""
        current = window
        for _ in range(16):
            out = self.run(["xwininfo", "-tree", "-id", str(current)])
            root = parent = None
            for line in out.splitlines():
                line = line.strip()
                if line.startswith("Root window id:"):
                    root = int(line.split()[3], 16)
                elif line.startswith("Parent window id:"):
                    parent = int(line.split()[3], 16)
            if parent is None or parent == root:
                return current
            current = parent
        raise AssertionError(f"window {window}: no frame below the root")

    def frame_extents(self, window):
        """(left, right, top, bottom) of the frame the window manager drew, or None."""
        value = self.window_property(window, "_NET_FRAME_EXTENTS")
        if not value:
            return None
        parts = [int(part) for part in value.split(",")]
        return tuple(parts) if len(parts) == 4 else None

    def active_window(self):
        out = self.root_property("_NET_ACTIVE_WINDOW") or ""
        try:
            return int(out.split("#", 1)[1].split(",")[0].strip(), 16)
        except (IndexError, ValueError):
            return None

    def focused_window(self):
        """The window that has the X input focus, or None."""
        out = self.try_run(["xdotool", "getwindowfocus"])
        try:
            return int(out.strip())
        except (AttributeError, ValueError):
            return None

    def activate(self, window, timeout=5):
        """Makes the window the active one; waits until the window manager says so and the
        keyboard focus has followed, so that the next key press reaches it."""
        # --sync can hang while a modal box is open, so ask and then watch the root property.
        self.xdotool("windowactivate", window)
        wait_until(lambda: self.active_window() == window, timeout, f"window {window} active")
        wait_until(lambda: self.focused_window() == window, timeout, f"window {window} focused")

    # ---- mouse and keyboard -----------------------------------------------------------------

    def click(self, window, x, y, button=1):
        """Clicks at (x, y) in the window's own coordinates."""
        self.xdotool("mousemove", "--window", window, x, y, "click", button)

    def move_pointer(self, window, x, y):
        self.xdotool("mousemove", "--window", window, x, y)

    def press(self, button):
        self.xdotool("mousedown", button)

    def release(self, button):
        self.xdotool("mouseup", button)

    def drag(self, start, end, button=1, steps=8):
        """Drags with a button from one screen point to another in a few steps."""
        self.xdotool("mousemove", start[0], start[1])
        self.xdotool("mousedown", button)
        for step in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * step // steps
            y = start[1] + (end[1] - start[1]) * step // steps
            self.xdotool("mousemove", x, y)
            time.sleep(0.02)
        self.xdotool("mouseup", button)

    def key(self, *keys):
        """Presses keys (xdotool names) one after another, in the focused window."""
        self.xdotool("key", "--delay", 30, *keys)

    def type_text(self, text):
        self.xdotool("type", "--delay", 30, text)

    # ---- clipboard --------------------------------------------------------------------------

    def clipboard(self):
        """The clipboard's text, or None when nobody owns it or it holds no text."""
        try:
            done = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env(),
                                  capture_output=True, timeout=COMMAND_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise StepTimeout("xclip -o: no answer within 10 s") from None
        if done.returncode != 0:
            return None
        return done.stdout.decode("utf-8", errors="surrogateescape")

    def own_clipboard(self, text):
        """Puts text on the clipboard from a helper that ends when it loses the clipboard.

        Returns that helper's Popen once the clipboard holds the text.
        """
        owner = self.spawn(["xclip", "-quiet", "-i", "-selection", "clipboard"],
                           stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        owner.stdin.write(text.encode())
        owner.stdin.close()
        wait_until(lambda: self.clipboard() == text, 5, "test owns the clipboard")
        return owner

    def clipboard_after(self, action, timeout=5):
        """Runs action() and returns the clipboard text that the program put there.

        The clipboard first holds a unique text of our own; the result counts only once the
        helper holding it has lost the clipboard, so a copy that did not happen cannot pass
        for one.
        """
        token = f"e2e-clipboard-{uuid.uuid4().hex}"
        owner = self.own_clipboard(token)
        action()
        wait_until(lambda: owner.poll() is not None, timeout, "program takes the clipboard")
        text = self.clipboard()
        if text is None:
            raise AssertionError("the clipboard holds no text after the copy")
        return text

    # ---- pictures and accessibility ---------------------------------------------------------

    def screenshot(self, path, rect=None):
        """Saves the screen, or the given rectangle of it, as a PNG file."""
        argv = ["import", "-window", "root"]
        if rect is not None:
            argv += ["-crop", f"{rect.width}x{rect.height}+{rect.x}+{rect.y}", "+repage"]
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        self.run(argv + [path], timeout=20)

    def accessible_tree(self, pid, timeout=15):
        """What accessibility tools see of the process: a tree of dicts, or None.

        Each node has role, name, extents (screen x, y, width, height or None), states, text
        (for text objects) and children. None when the process has not shown up on the
        accessibility bus.
        """
        out = self.run([sys.executable, os.path.join(HERE, "atspi_probe.py"), str(pid)],
                       timeout=timeout)
        return json.loads(out)


def find_nodes(tree, role=None, name=None):
    """Every node of an accessible tree with the given role and/or name, depth first."""
    found = []
    if tree is None:
        return found
    if (role is None or tree["role"] == role) and (name is None or tree["name"] == name):
        found.append(tree)
    for child in tree["children"]:
        found.extend(find_nodes(child, role, name))
    return found
