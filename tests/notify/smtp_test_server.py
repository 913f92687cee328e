"""A loopback SMTP server for the mail tests.

Usage: smtp_test_server.py OUTPUT_DIR USER PASSWORD

Listens on a free port of 127.0.0.1 and prints "READY <port>" once it takes connections. Each
message it receives goes to OUTPUT_DIR/message<n>.txt: a first line "peer <client port> login
<user> from <sender> to <recipient> ...", then the message text. A login is accepted only with
USER and PASSWORD; mail without a login is accepted too. Runs until it is terminated.
"""

import os
import signal
import socket
import sys
import logging

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class Recorder:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        login = session.auth_data.login.decode() if session.authenticated else "-"
        head = "peer %d login %s from %s to %s\n" % (
            session.peer[1], login, envelope.mail_from, " ".join(envelope.rcpt_tos))
        path = os.path.join(self.folder, "message%d.txt" % self.count)
        with open(path + ".part", "wb") as out:
            out.write(head.encode() + envelope.original_content)
        os.rename(path + ".part", path)
        return "250 OK"


def main():
    # aiosmtpd logs a warning about its own use of a deprecated session attribute.
    logging.getLogger("mail.log").setLevel(logging.ERROR)
    folder, user, password = sys.argv[1], sys.argv[2].encode(), sys.argv[3].encode()

    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = isinstance(auth_data, LoginPassword) and \
            auth_data.login == user and auth_data.password == password
        # handled=False: the server itself answers a refused login with 535.
        return AuthResult(success=ok, handled=False, auth_data=auth_data)

    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    controller = Controller(Recorder(folder), hostname="127.0.0.1", port=port,
                            authenticator=authenticate, auth_require_tls=False)
    controller.start()
    print("READY %d" % port, flush=True)
    signal.signal(signal.SIGTERM, lambda *_: (controller.stop(), sys.exit(0)))
    while True:
        signal.pause()


if __name__ == "__main__":
    main()
