"""TCP clients on the loopback network, and free ports for the program to listen on.

A client can leave from a loopback address of its own (127.0.0.2, 127.0.0.3, ...) so that the
program shows a different sender for each one.
"""

import socket
import time

from desktop import StepTimeout

CONNECT_TIMEOUT = 10


def free_port():
    """A TCP port that nothing listens on just now, on any interface."""
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as probe:
        probe.bind(("0.0.0.0", 0))
        return probe.getsockname()[1]


def port_is_free(port):
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as probe:
        try:
            probe.bind(("0.0.0.0", port))
        except OSError:
            return False
        return True


def occupy(port):
    """A socket listening on every interface on the port, so that nobody else can bind it."""
    holder = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    holder.bind(("0.0.0.0", port))
    holder.listen(1)
    return holder


class Client:
    """One connection to 127.0.0.1:port from the given source address."""

    def __init__(self, port, source="127.0.0.2"):
        deadline = time.monotonic() + CONNECT_TIMEOUT
        while True:
            self.sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            self.sock.settimeout(5)
            self.sock.bind((source, 0))
            try:
                self.sock.connect(("127.0.0.1", port))
                return
            except ConnectionRefusedError:
                # The program's listener may not be bound yet.
                self.sock.close()
                if time.monotonic() > deadline:
                    raise StepTimeout(f"connect to port {port}: refused for "
                                      f"{CONNECT_TIMEOUT} s") from None
                time.sleep(0.05)

    def send(self, data):
        self.sock.sendall(data)

    def half_close(self):
        """Ends our sending side; the connection stays open for the program to close."""
        self.sock.shutdown(socket.SHUT_WR)

    def wait_closed_by_peer(self, timeout=5):
        """Waits until the program closes the connection; fails if it sends a byte first."""
        self.sock.settimeout(timeout)
        try:
            data = self.sock.recv(1)
        except ConnectionResetError:
            return
        except socket.timeout:
            raise StepTimeout(f"program did not close the connection within {timeout} s") \
                from None
        if data:
            raise AssertionError(f"program sent a byte: {data!r}")

    def close(self):
        self.sock.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
