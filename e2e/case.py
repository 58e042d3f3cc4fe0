"""The base of every end-to-end test: a fresh program, a port of its own, clients, artifacts."""

import os
import unittest

from clients import Client, free_port
from desktop import Rect
from program import Harkenwire, settings_bytes


class ProgramTest(unittest.TestCase):
    """Each test gets a program with a home of its own and a free port in its settings file."""

    # Set by run.py before the tests run.
    desktop = None  # The Desktop all tests share.
    binary = None  # Path of the harkenwire executable.
    artifacts = None  # Folder for screenshots.

    def setUp(self):
        self.new_program()

    def new_program(self):
        """Gives the test a fresh program, not yet started, and a free port for it."""
        self.program = Harkenwire(self.desktop, self.binary)
        self.addCleanup(self.program.stop)
        self.port = free_port()
        return self.program

    def start(self, settings=None, **extra_env):
        """Writes the settings file, starts the program (extra_env added to its environment)
        and returns its main window's frame once it has settled. `settings`: the file's
        bytes; None for this test's port and the default window; False for no file at all."""
        if settings is None:
            settings = settings_bytes(self.port)
        if settings is not False:
            self.program.write_settings(settings)
        self.program.start(**extra_env)
        return self.program.wait_main_window()

    def connect(self, source="127.0.0.2"):
        client = Client(self.port, source)
        self.addCleanup(client.close)
        return client

    def assert_layout(self, resized=False, scale=1):
        """The text area fills the client area above a 40-pixel row of two buttons that meet
        and share the width: equally at the start-up size, within a pixel once `resized`.
        With a scale factor, the accessibility bus reports the gadgets in the program's own
        pixels, each that many screen pixels wide, so the client area is measured in those."""
        client = self.program.client_rect()
        if scale != 1:
            client = Rect(*(value // scale for value in client))
        text, clear, exit_ = (Rect(*node["extents"]) for node in self.program.gadgets())
        self.assertEqual((text.x, text.width), (client.x, client.width), "text area width")
        self.assertGreaterEqual(text.y, client.y, "text area top")
        for button in (clear, exit_):
            self.assertEqual(button.height, 40, "button height")
            self.assertEqual(button.y, text.y + text.height, "button row under the text area")
            self.assertEqual(button.y + button.height, client.y + client.height,
                             "button row at the bottom")
        self.assertEqual(clear.x, client.x, "Clear messages at the left")
        self.assertEqual(exit_.x, clear.x + clear.width, "Exit meets Clear messages")
        self.assertLessEqual(abs(exit_.width - clear.width), 1 if resized else 0,
                             "buttons share the width")
        self.assertLessEqual(client.x + client.width - (exit_.x + exit_.width), 1,
                             "Exit reaches the right edge")

    def artifact(self, name):
        """Path of a file in the artifacts folder."""
        os.makedirs(self.artifacts, exist_ok=True)
        return os.path.join(self.artifacts, name)
