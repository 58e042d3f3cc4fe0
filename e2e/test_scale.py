"""The window on a screen scaled by two, as on a high-density display."""

from case import ProgramTest
from program import display_line, settings_bytes

SCALE = 2


class ScaleTest(ProgramTest):
    def test_window_at_twice_the_pixel_ratio(self):
        # The saved rectangle is in the program's own pixels: twice as many on the screen,
        # within one of them where the window manager's one-pixel border halves.
        frame = self.start(settings_bytes(self.port, 20, 20, 360, 420, 0),
                           QT_SCALE_FACTOR=str(SCALE))
        self.assertLessEqual(abs(frame.x - 20 * SCALE), SCALE, "frame x")
        self.assertLessEqual(abs(frame.y - 20 * SCALE), SCALE, "frame y")
        self.assertLessEqual(abs(frame.width - 360 * SCALE), SCALE, "frame width")
        self.assertLessEqual(abs(frame.height - 420 * SCALE), SCALE, "frame height")
        self.assert_layout(scale=SCALE)

        self.connect().send(b"sharp at twice the size\n")
        expected = display_line("127.0.0.2", "sharp at twice the size")
        self.program.wait_shown(lambda text: text == expected)
        self.program.screenshot(self.artifact("main-window-scale-2.png"))

        self.program.press_button("Exit")
        self.assertEqual(self.program.wait_exit(), 0)
