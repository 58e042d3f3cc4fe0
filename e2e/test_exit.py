"""The ways out: "Exit", the close box and the close shortcut, with a client left idle."""

import sys
import time

from case import ProgramTest
from program import settings_bytes

EXIT_WAIT = 3.0  # The program waits this long for its connections before it gives up.
SLACK = 2.5  # Start-up of the wait, writing the settings, ending the process.


def report(line):
    print(f"\n  {line}", end=" ", file=sys.stderr, flush=True)


def press_exit(program):
    program.press_button("Exit")


def click_close_box(program):
    # The close box is the rightmost button of the title bar.
    _, right, top, _ = program.desktop.frame_extents(program.window)
    frame = program.frame_rect()
    program.activate()
    program.desktop.xdotool("mousemove", "--window", program.frame,
                            frame.width - right - top // 2, top // 2, "click", 1)


def press_close_shortcut(program):
    program.activate()
    program.desktop.key("alt+F4")


# (how the user asks to leave, what does it)
cases = [
    ("Exit button", press_exit),
    ("close box", click_close_box),
    ("close shortcut", press_close_shortcut),
]


class ExitTest(ProgramTest):
    def test_exit_with_an_idle_client(self):
        for how, leave in cases:
            with self.subTest(how):
                self.new_program()
                frame = self.start()
                idle = self.connect()
                # A shown line proves the connection is being read; the unended one keeps
                # its reader waiting.
                idle.send(b"hello\npartial line, never ended")
                self.program.wait_shown(lambda text: "hello" in text)

                began = time.monotonic()
                leave(self.program)
                self.program.wait_shown(lambda text: text.endswith("\nExiting...\n"),
                                        timeout=EXIT_WAIT, what="exit notice")
                deadline = began + EXIT_WAIT + SLACK
                self.assertEqual(self.program.wait_exit(deadline - time.monotonic()), 0)
                report(f"{how}: ended {time.monotonic() - began:.2f} s after the request")
                idle.wait_closed_by_peer()
                self.assertEqual(self.program.read_settings(),
                                 settings_bytes(self.port, *frame, 0))

    def test_exit_right_away_without_clients(self):
        frame = self.start()
        began = time.monotonic()
        self.program.press_button("Exit")
        self.assertEqual(self.program.wait_exit(SLACK), 0)
        report(f"ended {time.monotonic() - began:.2f} s after the request")
        self.assertEqual(self.program.read_settings(),
                         settings_bytes(self.port, *frame, 0))
