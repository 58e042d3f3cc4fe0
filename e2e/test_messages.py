"""Lines from real clients, shown in the display format, in a view the user cannot edit."""

from case import ProgramTest
from program import display_line

LONG = bytes(ord("a") + i % 26 for i in range(5000))

# What the first client sends, and the messages that it gives.
cases = [
    (b"abc\r\n", ["abc"]),
    (b"a\rb\n", ["ab"]),
    (b"\r\n", []),
    (b"x\x00y\n", ["x", "y"]),
    (b"\xc3\xa9\n", ["\u00c3\u00a9"]),
    (b"\n\n\n", []),
    (b"tab\tinside \n", ["tab\tinside "]),
    (LONG + b"\n", [LONG.decode()]),
]


class MessagesTest(ProgramTest):
    def test_lines_from_two_clients_in_display_format(self):
        self.start()
        first, second = self.connect("127.0.0.2"), self.connect("127.0.0.3")
        expected = ""
        for sent, messages in cases:
            first.send(sent)
            expected += "".join(display_line("127.0.0.2", m) for m in messages)
        self.program.wait_shown(lambda text: text == expected)

        # The second sender's last line has no terminator: its close ends it, and the program
        # then closes the connection.
        second.send(b"from the second client\r\nunterminated")
        second.half_close()
        expected += display_line("127.0.0.3", "from the second client")
        expected += display_line("127.0.0.3", "unterminated")
        second.wait_closed_by_peer()
        self.program.wait_shown(lambda text: text == expected)

        self.assertEqual(self.program.read_text().split("\n"), expected.split("\n"))

    def test_view_ignores_typing_pasting_and_deleting(self):
        self.start()
        self.connect().send(b"first line\nsecond line\n")
        expected = display_line("127.0.0.2", "first line") + \
            display_line("127.0.0.2", "second line")
        self.program.wait_shown(lambda text: text == expected)

        desktop = self.program.desktop
        owner = desktop.own_clipboard("pasted text")
        self.program.click_text()
        desktop.type_text("typed")
        desktop.key("Return", "BackSpace", "Delete", "ctrl+v", "shift+Insert", "ctrl+x",
                    "ctrl+z", "Tab", "space")
        owner.terminate()
        self.assertEqual(self.program.read_text(), expected)

        # The keys that are let through: moving with Shift selects, Ctrl+C copies.
        def copy_first_line():
            self.program.click_text()
            desktop.key("ctrl+Home", "shift+End", "ctrl+c")

        self.assertEqual(desktop.clipboard_after(copy_first_line),
                         display_line("127.0.0.2", "first line").rstrip("\n"))

    def test_screenshot_with_messages(self):
        self.start()
        first, second = self.connect("127.0.0.2"), self.connect("127.0.0.3")
        lines = [
            (first, b"build 1432 finished: 212 tests passed\r\n"),
            (second, b"backup of /srv/data done in 41 s\r\n"),
            (first, b"deploy to staging started\r\n"),
            (second, b"disk /dev/sdb1 at 91%\r\n"),
        ]
        for count, (client, line) in enumerate(lines, 1):
            client.send(line)  # One at a time, so that the picture is the same every run.
            self.program.wait_shown(lambda text: text.count("\n") == count)
        self.program.screenshot(self.artifact("main-window.png"))

    def test_clear_messages_empties_the_view(self):
        self.start()
        client = self.connect()
        client.send(b"one\ntwo\n")
        self.program.wait_shown(lambda text: text.count("\n") == 2)
        self.program.press_button("Clear messages")
        self.program.wait_shown(lambda text: text == "", what="text area empty")

        client.send(b"three\n")
        self.program.wait_shown(lambda text: "three" in text)
        self.assertEqual(self.program.read_text(), display_line("127.0.0.2", "three"))
