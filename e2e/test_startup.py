"""Start-up with no settings file: the default window, its caption, its icon and its layout."""

from case import ProgramTest
from clients import port_is_free
from desktop import Rect, wait_until
from program import settings_bytes

DEFAULT_PORT = 8088


class FirstStartTest(ProgramTest):
    def test_default_window_and_first_save(self):
        # Without a settings file the program listens on its default port, which this test
        # cannot choose; wait a little for anyone else's use of it to end.
        try:
            wait_until(lambda: port_is_free(DEFAULT_PORT), 10, f"port {DEFAULT_PORT} free")
        except AssertionError:
            self.skipTest(f"port {DEFAULT_PORT} is in use on this machine")
        self.port = DEFAULT_PORT

        frame = self.start(settings=False)
        self.assertEqual(frame, Rect(320, 200, 480, 640), "outer frame")
        desktop = self.program.desktop
        self.assertEqual(desktop.window_property(self.program.window, "_NET_WM_NAME"),
                         '"Harkenwire"')
        self.assertLessEqual({(16, 16), (32, 32), (48, 48)},
                             set(desktop.icon_sizes(self.program.window)),
                             "the program's icon, in the sizes title bars and task lists use")
        self.assertFalse({"MAXIMIZED_VERT", "MAXIMIZED_HORZ"} &
                         desktop.window_states(self.program.window), "not maximized")
        self.assertEqual(self.program.boxes(), [], "no message box at start-up")
        self.assert_layout()

        self.program.press_button("Exit")
        self.assertEqual(self.program.wait_exit(), 0)
        self.assertEqual(self.program.read_settings(),
                         settings_bytes(DEFAULT_PORT, 320, 200, 480, 640, 0))
