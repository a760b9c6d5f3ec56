#!/usr/bin/python3
"""A mail server on 127.0.0.1 for Lynkor's tests.

    smtp_server.py <folder> <mode>

mode: "accept" takes every message; "reject" refuses every recipient;
"auth" takes messages only after the login u / p.
Prints the port it listens on, then runs until its standard input closes.
Each message is written to <folder>/<n>.json: the envelope, the raw header
lines, and the subject and body as a mail reader decodes them.
"""
import email
import email.policy
import json
import os
import socket
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

folder, mode = sys.argv[1], sys.argv[2]


class Handler:
    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if mode == "reject":
            return "550 5.1.1 <%s>: Recipient address rejected: no such user" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        raw = envelope.content
        message = email.message_from_bytes(raw, policy=email.policy.default)
        head, _, _ = raw.partition(b"\r\n\r\n")
        record = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "header_lines": head.decode("latin-1").split("\r\n"),
            "subject": str(message["subject"]),
            "charset": message.get_content_charset(),
            "body": message.get_content(),
            "raw": raw.decode("latin-1"),
        }
        n = len([f for f in os.listdir(folder) if f.endswith(".json")]) + 1
        path = os.path.join(folder, "%03d.json" % n)
        with open(path + ".part", "w", encoding="utf-8") as out:
            json.dump(record, out)
        os.rename(path + ".part", path)
        return "250 Message accepted for delivery"


def authenticate(server, session, envelope, mechanism, auth_data):
    ok = isinstance(auth_data, LoginPassword) and auth_data.login == b"u" and auth_data.password == b"p"
    return AuthResult(success=ok, handled=False)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


port = free_port()
options = {}
if mode == "auth":
    options = dict(authenticator=authenticate, auth_required=True, auth_require_tls=False)
controller = Controller(Handler(), hostname="127.0.0.1", port=port, **options)
controller.start()
print(port, flush=True)
sys.stdin.read()
controller.stop()
