"""The harkenwire program on a Desktop, as a user sees and handles it.

Harkenwire starts the binary with a home of its own, finds its main window and the window
manager's frame around it, presses its buttons, reads its text area through the clipboard or
through accessibility, works its popup menu and its message boxes, and reads the settings file
it leaves behind. Every wait has a deadline (desktop.StepTimeout when it runs out).
"""

import os
import signal
import subprocess
import tempfile

from desktop import StepTimeout, find_nodes, wait_stable, wait_until

TITLE = "^Harkenwire$"  # Anchored: Qt also makes a hidden window that carries the name.
START_TIMEOUT = 20
EXIT_TIMEOUT = 8


def display_line(sender, message):
    """What the text area shows for one received line."""
    return f"[From {sender}]\t{message}\n"


def settings_bytes(port, x=320, y=200, width=480, height=640, maximized=0, extra=()):
    """A settings file: one number a line, every line ending CR LF; `extra` lines follow."""
    lines = [port, x, y, width, height, maximized, *extra]
    return b"".join(f"{line}\r\n".encode() for line in lines)


class Harkenwire:
    """One run of the program with a fresh home, runtime folder and settings folder."""

    def __init__(self, desktop, binary):
        self.desktop = desktop
        self.binary = binary
        self.home = tempfile.mkdtemp(prefix="home-", dir=desktop.root_dir)
        self.config_home = os.path.join(self.home, ".config")
        self.runtime_dir = os.path.join(self.home, "runtime")
        os.mkdir(self.runtime_dir, 0o700)
        self.settings_path = os.path.join(self.config_home, "Harkenwire", "Harkenwire.txt")
        self.log_path = os.path.join(self.home, "program.log")
        self.process = None
        self.window = None  # The main window's client X window.
        self.frame = None  # The window manager's frame around it.

    # ---- settings file ----------------------------------------------------------------------

    def write_settings(self, data):
        os.makedirs(os.path.dirname(self.settings_path), exist_ok=True)
        with open(self.settings_path, "wb") as settings:
            settings.write(data)

    def read_settings(self):
        """The settings file's bytes, or None when there is none."""
        try:
            with open(self.settings_path, "rb") as settings:
                return settings.read()
        except FileNotFoundError:
            return None

    # ---- process ----------------------------------------------------------------------------

    def start(self, **extra_env):
        """Starts the program, with extra_env added to its environment; returns self. Does
        not wait for its window."""
        env = self.desktop.env(HOME=self.home, XDG_CONFIG_HOME=self.config_home,
                               XDG_RUNTIME_DIR=self.runtime_dir, QT_QPA_PLATFORM="xcb",
                               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", **extra_env)
        with open(self.log_path, "ab") as log:
            self.process = self.desktop.spawn([self.binary], env=env, cwd=self.home,
                                              stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        self.window = self.frame = None
        return self

    @property
    def pid(self):
        return self.process.pid

    def running(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, timeout=EXIT_TIMEOUT):
        """Waits for the process to end; returns its exit status."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise StepTimeout(f"program still running after {timeout:g} s") from None

    def stop(self):
        """Ends the program by its process id if it still runs."""
        if not self.running():
            return
        self.process.send_signal(signal.SIGTERM)
        try:
            self.process.wait(timeout=3)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(timeout=5)

    def log(self):
        try:
            with open(self.log_path, "rb") as log:
                return log.read().decode(errors="replace")
        except FileNotFoundError:
            return ""

    def _check_running(self):
        if not self.running():
            raise AssertionError(f"program ended with status {self.process.returncode}; "
                                 f"its output:\n{self.log()}")

    # ---- windows ----------------------------------------------------------------------------

    def titled_windows(self):
        """The program's visible windows captioned exactly "Harkenwire"."""
        return self.desktop.windows_of(self.pid, TITLE)

    def boxes(self):
        """The program's visible message boxes."""
        return [w for w in self.titled_windows() if "DIALOG" in self.desktop.window_types(w)]

    def main_windows(self):
        """The program's visible windows that are neither message boxes nor popups."""
        return [w for w in self.titled_windows()
                if "DIALOG" not in self.desktop.window_types(w)
                and not self.desktop.is_override_redirect(w)]

    def wait_main_window(self, timeout=START_TIMEOUT):
        """Waits until the main window is mapped, framed and at rest; returns its frame Rect."""

        def find():
            self._check_running()
            mains = self.main_windows()
            return mains[0] if len(mains) == 1 else None

        self.window = wait_until(find, timeout, "main window appears")
        wait_until(lambda: self.desktop.frame_extents(self.window), timeout,
                   "window manager frames the main window")
        self.frame = self.desktop.frame_of(self.window)
        return self.wait_frame_steady()

    def wait_frame_steady(self, timeout=10):
        """The frame's rectangle once it is unchanged over a few polls."""
        return wait_stable(lambda: self.desktop.geometry(self.frame), timeout, "frame geometry")

    def frame_rect(self):
        return self.desktop.geometry(self.frame)

    def client_rect(self):
        """The client X window's rectangle: the menu bar and the client area below it."""
        return self.desktop.geometry(self.window)

    def activate(self):
        self.desktop.activate(self.window)

    def _title_point(self):
        """A screen point in the middle of the title bar."""
        frame = self.frame_rect()
        top = self.desktop.frame_extents(self.window)[2]
        return frame.x + frame.width // 2, frame.y + top // 2

    def move_by(self, dx, dy):
        """Drags the title bar by (dx, dy); returns the frame once it has settled."""
        self.activate()
        x, y = self._title_point()
        self.desktop.drag((x, y), (x + dx, y + dy))
        return self.wait_frame_steady()

    def resize_by(self, dx, dy):
        """Drags the frame's bottom right corner by (dx, dy); returns the settled frame."""
        self.activate()
        frame = self.frame_rect()
        corner = (frame.x + frame.width - 2, frame.y + frame.height - 2)
        self.desktop.drag(corner, (corner[0] + dx, corner[1] + dy))
        return self.wait_frame_steady()

    def maximize(self):
        """Double-clicks the title bar; returns the frame once the window is maximized."""
        self.activate()
        self.desktop.xdotool("mousemove", *self._title_point(), "click", "--repeat", 2,
                             "--delay", 80, 1)
        wait_until(self.maximized, 5, "window maximized")
        return self.wait_frame_steady()

    def maximized(self):
        return {"MAXIMIZED_VERT", "MAXIMIZED_HORZ"} <= self.desktop.window_states(self.window)

    # ---- gadgets ----------------------------------------------------------------------------

    def accessible(self):
        """The program's accessible tree, waiting until it is on the accessibility bus."""
        return wait_until(lambda: self.desktop.accessible_tree(self.pid), 15,
                          "program on the accessibility bus")

    def gadgets(self):
        """(text area, "Clear messages", "Exit") as accessible nodes, found by name."""
        tree = self.accessible()

        def one(role, name):
            nodes = find_nodes(tree, role, name)
            if len(nodes) != 1:
                raise AssertionError(f"expected one {role} named {name!r}, found {len(nodes)}")
            return nodes[0]

        return one("text", "Messages"), one("push button", "Clear messages"), \
            one("push button", "Exit")

    def shown_text(self):
        """The text area's text as accessibility reports it."""
        return self.gadgets()[0]["text"]

    def wait_shown(self, check, timeout=10, what="text area shows the lines"):
        """Waits until check(text) holds for the text area's text; returns the text."""
        state = {}

        def read():
            self._check_running()
            state["text"] = self.shown_text()
            return check(state["text"])

        try:
            wait_until(read, timeout, what, interval=0.1)
        except StepTimeout as timeout_error:
            raise StepTimeout(f"{timeout_error}; it shows {state.get('text')!r}") from None
        return state["text"]

    def text_point(self):
        """A point well inside the text area, in the client window's coordinates."""
        client = self.client_rect()
        return client.width // 2, client.height // 3

    def button_point(self, name):
        """The middle of a button, in client coordinates: the row is the bottom 40 pixels."""
        client = self.client_rect()
        quarter = client.width // 4
        x = quarter if name == "Clear messages" else 3 * quarter
        return x, client.height - 20

    def press_button(self, name):
        self.activate()
        self.desktop.click(self.window, *self.button_point(name))

    def click_text(self):
        self.activate()
        self.desktop.click(self.window, *self.text_point())

    def read_text(self):
        """The text area's whole text, copied out with Ctrl+A and Ctrl+C.

        The copy must replace a text of our own on the clipboard, so an empty area, whose copy
        puts nothing there, raises StepTimeout.
        """

        def copy_all():
            self.click_text()
            self.desktop.key("ctrl+a", "ctrl+c")

        return self.desktop.clipboard_after(copy_all)

    # ---- popup menu and boxes ---------------------------------------------------------------

    def popup_windows(self):
        """The program's visible popup menus: its windows that bypass the window manager."""
        return [w for w in self.desktop.windows_of(self.pid)
                if self.desktop.is_override_redirect(w)]

    def open_menu(self, point=None):
        """Releases the right button over the text area; returns the popup menu's window."""
        self.activate()
        x, y = point or self.text_point()
        self.desktop.move_pointer(self.window, x, y)
        self.desktop.press(3)
        self.desktop.release(3)
        menus = wait_until(self.popup_windows, 5, "popup menu opens")
        return menus[0]

    def choose(self, position):
        """Chooses the menu's item at `position` (1 is the first) with Down and Return."""
        self.desktop.key(*["Down"] * position, "Return")
        wait_until(lambda: not self.popup_windows(), 5, "popup menu closes")

    def wait_box(self, timeout=10):
        """Waits for a message box; returns its window."""

        def find():
            self._check_running()
            boxes = self.boxes()
            return boxes[0] if boxes else None

        return wait_until(find, timeout, "message box appears")

    def box_text(self):
        """The text of the open message box, as accessibility reports its label."""

        def read():
            alerts = find_nodes(self.accessible(), "alert")
            labels = [label["name"] for alert in alerts for label in find_nodes(alert, "label")
                      if label["name"]]
            return labels if alerts else None

        labels = wait_until(read, 10, "message box on the accessibility bus")
        if len(labels) != 1:
            raise AssertionError(f"expected one text in the box, found {labels!r}")
        return labels[0]

    def close_box(self, box):
        """Activates the box and presses OK with Return; waits until it is gone."""
        self.desktop.activate(box)
        self.desktop.key("Return")
        wait_until(lambda: box not in self.titled_windows(), 5, "message box closes")

    def screenshot(self, path, *extra_windows):
        """Saves the frame, together with any extra windows, as a PNG file."""
        rect = self.frame_rect()
        for window in extra_windows:
            other = self.desktop.geometry(self.desktop.frame_of(window))
            if other is not None:
                rect = rect.union(other)
        self.desktop.screenshot(path, rect)
