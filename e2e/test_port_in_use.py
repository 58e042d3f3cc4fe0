"""A port that is taken: the warning box, and an end that saves nothing."""

from case import ProgramTest
from clients import occupy
from program import settings_bytes


class PortInUseTest(ProgramTest):
    def test_bind_failure_warns_and_ends_without_saving(self):
        holder = occupy(self.port)
        self.addCleanup(holder.close)
        # A seventh line would be gone after any save.
        settings = settings_bytes(self.port, 100, 50, 480, 640, 0, extra=["not saved"])
        self.program.write_settings(settings)
        self.program.start()

        box = self.program.wait_box()
        self.assertEqual(self.program.box_text(), f"Couldn't bind to port {self.port}!")
        self.program.close_box(box)
        self.assertEqual(self.program.wait_exit(), 0)
        self.assertEqual(self.program.read_settings(), settings)
