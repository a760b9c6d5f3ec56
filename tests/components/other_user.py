#!/usr/bin/env python3
# Plays another local user against Lynkor's browser link (run as that user).
#
#   other_user.py listen <socket path> <folder mode, octal> [link]
#       plants the socket's folder (with "link": a symbolic link to a folder
#       beside it) and a socket anyone may reach, prints "listening", then for
#       each client "accepted", says a welcome and a request to it as Lynkor
#       would, and prints "got N" with the bytes the client said.
#   other_user.py connect <socket path>
#       connects as a browser host would, says hello, prints "got N" with the
#       bytes that came back before the other end closed.
import json
import os
import socket
import struct
import sys


def frame(message):
    body = json.dumps(message).encode()
    return struct.pack(">I", len(body)) + body


def drain(conn):
    got = 0
    conn.settimeout(10)
    try:
        while True:
            data = conn.recv(65536)
            if not data:
                break
            got += len(data)
    except OSError:
        pass
    return got


def listen(path, mode, link):
    folder = os.path.dirname(path)
    if link:
        real = folder + ".real"
        os.mkdir(real)
        os.chmod(real, mode)
        os.symlink(real, folder)
    else:
        os.mkdir(folder)
        os.chmod(folder, mode)
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    server.bind(path)
    os.chmod(path, 0o777)
    server.listen(5)
    print("listening", flush=True)
    while True:
        conn, _ = server.accept()
        print("accepted", flush=True)
        try:
            conn.sendall(frame({"type": "welcome", "protocol": 1}) +
                         frame({"type": "request", "id": 1, "op": "windowInfo"}))
        except OSError:
            pass
        print("got %d" % drain(conn), flush=True)
        conn.close()


def connect(path):
    conn = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    conn.connect(path)
    conn.sendall(frame({"type": "hello", "protocol": 1, "browser": "planted"}))
    print("got %d" % drain(conn), flush=True)


if sys.argv[1] == "listen":
    listen(sys.argv[2], int(sys.argv[3], 8), len(sys.argv) > 4 and sys.argv[4] == "link")
else:
    connect(sys.argv[2])
