"""The popup menu of the text area: copying a selection, and the server's address box."""

import re

from case import ProgramTest
from desktop import holds_for, wait_until
from program import display_line

# How long something that must not happen is watched for.
WATCH = 0.5


class PopupMenuTest(ProgramTest):
    def test_copy_selected_text(self):
        self.start()
        self.connect().send(b"first line\nsecond line\n")
        self.program.wait_shown(lambda text: text.count("\n") == 2)
        desktop = self.program.desktop

        def select_and_copy():
            self.program.click_text()
            desktop.key("ctrl+Home", "shift+End")
            menu = self.program.open_menu()
            self.program.screenshot(self.artifact("popup-menu.png"), menu)
            self.program.choose(1)

        self.assertEqual(desktop.clipboard_after(select_and_copy),
                         display_line("127.0.0.2", "first line").rstrip("\n"))

    def test_menu_opens_only_over_the_text_area(self):
        self.start()
        desktop = self.program.desktop
        self.program.activate()
        desktop.move_pointer(self.program.window, *self.program.button_point("Exit"))
        desktop.press(3)
        desktop.release(3)
        holds_for(lambda: not self.program.popup_windows(), WATCH,
                  "no menu after a right-click on a button")

        # Dismissed without a choice, the menu does nothing.
        self.program.open_menu()
        desktop.key("Escape")
        wait_until(lambda: not self.program.popup_windows(), 5, "menu closes on Escape")
        holds_for(lambda: self.program.running() and not self.program.boxes(), WATCH,
                  "nothing happens after the menu was dismissed")

    def test_server_ip_box_holds_back_new_lines(self):
        self.start()
        client = self.connect()
        client.send(b"before the box\n")
        self.program.wait_shown(lambda text: "before the box" in text)

        self.program.open_menu()
        self.program.choose(2)
        box = self.program.wait_box()
        self.assertRegex(self.program.box_text(), r"^\d{1,3}(\.\d{1,3}){3}$")
        self.assertTrue(all(0 <= int(part) <= 255
                            for part in re.findall(r"\d+", self.program.box_text())))
        self.program.screenshot(self.artifact("address-box.png"), box)

        client.send(b"while the box is open\n")
        holds_for(lambda: "while the box is open" not in self.program.shown_text(), WATCH,
                  "no line shown while the box is open")

        self.program.close_box(box)
        expected = display_line("127.0.0.2", "before the box") + \
            display_line("127.0.0.2", "while the box is open")
        self.program.wait_shown(lambda text: text == expected)
        self.assertEqual(self.program.read_text(), expected)
