"""The window comes back where the user left it: moved, resized or maximized; no drift."""

from case import ProgramTest
from desktop import Rect
from program import settings_bytes


class GeometryTest(ProgramTest):
    def restart(self):
        """Exits, starts again with the saved file; returns (saved bytes, new frame)."""
        self.program.press_button("Exit")
        self.assertEqual(self.program.wait_exit(), 0)
        saved = self.program.read_settings()
        self.program.start()
        return saved, self.program.wait_main_window()

    def test_moved_and_resized_window_reopens_there(self):
        start = self.start(settings_bytes(self.port, 320, 200, 480, 640, 0))
        moved = self.program.move_by(150, 80)
        self.assertEqual(moved, Rect(start.x + 150, start.y + 80, start.width, start.height))
        resized = self.program.resize_by(100, 60)
        self.assertEqual(resized, Rect(moved.x, moved.y, moved.width + 100, moved.height + 60))
        self.assert_layout(resized=True)

        saved, reopened = self.restart()
        self.assertEqual(saved, settings_bytes(self.port, *resized, 0))
        self.assertEqual(reopened, resized)
        self.assert_layout()

        # A second round trip without touching the window changes nothing.
        saved_again, reopened_again = self.restart()
        self.assertEqual(saved_again, saved)
        self.assertEqual(reopened_again, resized)

    def test_maximized_window_reopens_maximized(self):
        self.start()
        maximized = self.program.maximize()
        self.assert_layout(resized=True)

        saved, reopened = self.restart()
        self.assertEqual(saved, settings_bytes(self.port, *maximized, 1))
        self.assertTrue(self.program.maximized(), "maximized again")
        self.assertEqual(reopened, maximized)
        self.assert_layout()

        saved_again, reopened_again = self.restart()
        self.assertEqual(saved_again, saved)
        self.assertEqual(reopened_again, maximized)
