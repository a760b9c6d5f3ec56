#!/usr/bin/python3
"""A mail server on 127.0.0.1 for Lynkor's tests.

    smtp_server.py <folder> <mode>

mode: "accept" takes every message; "reject" refuses every recipient;
"auth" takes messages only after the login u / p.
Prints the port it listens on, then runs until its standard input closes.
Each message is written to <folder>/<n>.json: the envelope, the raw header
lines, the subject, the content type, and what a mail reader shows: the body
(the plain text of a message with alternatives), its charset, and of an HTML
part its text and links (address and text of each <a href>).
"""
import email
import email.policy
import html.parser
import json
import os
import socket
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

folder, mode = sys.argv[1], sys.argv[2]


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links = []
        self.href = None
        self.text = ""

    def handle_starttag(self, tag, attrs):
        if tag == "a":
            self.href = dict(attrs).get("href")
            self.text = ""

    def handle_data(self, data):
        if self.href is not None:
            self.text += data

    def handle_endtag(self, tag):
        if tag == "a" and self.href is not None:
            self.links.append([self.href, self.text])
            self.href = None


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
        plain = message.get_body(preferencelist=("plain",))
        rich = message.get_body(preferencelist=("html",))
        record = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "header_lines": head.decode("latin-1").split("\r\n"),
            "subject": str(message["subject"]),
            "content_type": message.get_content_type(),
            "parts": [part.get_content_type() for part in message.walk() if not part.is_multipart()],
            "charset": plain.get_content_charset() if plain else None,
            "body": plain.get_content() if plain else None,
            "raw": raw.decode("latin-1"),
        }
        if rich is not None:
            links = Links()
            links.feed(rich.get_content())
            record["html"] = rich.get_content()
            record["html_charset"] = rich.get_content_charset()
            record["links"] = links.links
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
