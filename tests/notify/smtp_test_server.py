"""A loopback SMTP server for the mail tests.

Usage: smtp_test_server.py OUTPUT_DIR USER PASSWORD [CERT KEY]

Listens on a free port of 127.0.0.1 and prints "READY <port>" once it takes connections. Each
message it receives goes to OUTPUT_DIR/message<n>.txt: a first line "peer <client port> <tls or
plain> login <user> from <sender> to <recipient> ...", then the message text. Each login
attempt adds "<tls or plain> <user>" to OUTPUT_DIR/logins.txt. A login is accepted only with
USER and PASSWORD; mail without a login is accepted too. A recipient whose address begins with
"nobody@" is refused with "550 5.1.1 No such mailbox here"; a message to one beginning with
"stall@" is taken in but never answered. With CERT and KEY (PEM files) the
server offers STARTTLS and takes nothing before it; without them it takes a login in clear
text. Runs until it is terminated.
"""

import asyncio
import os
import signal
import socket
import ssl
import sys
import logging

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


def security(session):
    return "tls" if session.ssl is not None else "plain"


class Recorder:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.startswith("nobody@"):
            return "550 5.1.1 No such mailbox here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if any(address.startswith("stall@") for address in envelope.rcpt_tos):
            await asyncio.sleep(3600)
        self.count += 1
        login = session.auth_data.login.decode() if session.authenticated else "-"
        head = "peer %d %s login %s from %s to %s\n" % (
            session.peer[1], security(session), login, envelope.mail_from,
            " ".join(envelope.rcpt_tos))
        path = os.path.join(self.folder, "message%d.txt" % self.count)
        with open(path + ".part", "wb") as out:
            out.write(head.encode() + envelope.original_content)
        os.rename(path + ".part", path)
        return "250 OK"


def main():
    # aiosmtpd logs a warning about its own use of a deprecated session attribute, and the
    # failed handshakes the tests cause on purpose.
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)
    folder, user, password = sys.argv[1], sys.argv[2].encode(), sys.argv[3].encode()
    tls = None
    if len(sys.argv) > 5:
        tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        tls.load_cert_chain(sys.argv[4], sys.argv[5])

    def authenticate(server, session, envelope, mechanism, auth_data):
        login = auth_data.login.decode() if isinstance(auth_data, LoginPassword) else "?"
        with open(os.path.join(folder, "logins.txt"), "a") as out:
            out.write("%s %s\n" % (security(session), login))
        ok = isinstance(auth_data, LoginPassword) and \
            auth_data.login == user and auth_data.password == password
        # handled=False: the server itself answers a refused login with 535.
        return AuthResult(success=ok, handled=False, auth_data=auth_data)

    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    controller = Controller(Recorder(folder), hostname="127.0.0.1", port=port,
                            authenticator=authenticate, auth_require_tls=tls is not None,
                            tls_context=tls, require_starttls=tls is not None)
    controller.start()
    print("READY %d" % port, flush=True)
    signal.signal(signal.SIGTERM, lambda *_: (controller.stop(), sys.exit(0)))
    while True:
        signal.pause()


if __name__ == "__main__":
    main()
