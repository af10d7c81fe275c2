#!/usr/bin/env python3
"""Serves GET /<n> with a body of n bytes on 127.0.0.1, for fetch_bench.sh.

Prints the port it listens on, then answers requests until it is killed.
Bodies are made once per size and sent straight from memory.
"""
import socket

bodies = {}

def body(size):
    if size not in bodies:
        bodies[size] = bytes(range(256)) * (size // 256) + bytes(size % 256)
    return bodies[size]

def serve(connection):
    request = b""
    while b"\r\n\r\n" not in request:
        piece = connection.recv(65536)
        if not piece:
            return
        request += piece
    path = request.split(b" ", 2)[1]
    content = body(int(path.strip(b"/") or b"0"))
    head = b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\nConnection: close\r\n\r\n" % len(content)
    connection.sendall(head)
    connection.sendall(content)

listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(8)
print(listener.getsockname()[1], flush=True)
while True:
    connection, _ = listener.accept()
    with connection:
        try:
            serve(connection)
        except OSError:
            pass
