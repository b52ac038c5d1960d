#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""A small HTTP (CONNECT and absolute-form GET) or SOCKS5 proxy on 127.0.0.1 for tests.

    proxy_server.py --kind http|socks5 [--user U --password P]

Prints "READY port=N", then one line per request it was asked, before it relays it:
  CONNECT <host:port> auth=<none|good|bad>
  GET <absolute target> auth=<...> cookie=<yes|no>     a plain request, forwarded
  SOCKS methods=<hex> auth=<none|good|bad> target=<hex of ATYP, address, port>
and "CLEAR-COOKIE" when a Cookie line passed it in clear. It stops when its input ends.
"""

import argparse
import base64
import select
import socket
import socketserver
import sys
import threading

LOCK = threading.Lock()


def log(line):
    with LOCK:
        print(line, flush=True)


def read_head(sock):
    data = b""
    while b"\r\n\r\n" not in data:
        byte = sock.recv(1)
        if not byte:
            return None
        data += byte
    return data.decode("latin-1")


def relay(a, b):
    sockets = [a, b]
    while True:
        readable, _, _ = select.select(sockets, [], [], 30)
        if not readable:
            return
        for s in readable:
            data = s.recv(65536)
            if not data:
                return
            if s is a and b"Cookie:" in data:
                log("CLEAR-COOKIE")
            (b if s is a else a).sendall(data)


class Handler(socketserver.BaseRequestHandler):
    def auth(self, user, password):
        if user is None and password is None:
            return "none"
        return "good" if (user, password) == (ARGS.user, ARGS.password) else "bad"

    def handle(self):
        if ARGS.kind == "socks5":
            self.socks()
        else:
            while self.http():
                pass

    def http(self):
        head = read_head(self.request)
        if head is None:
            return False
        lines = head.split("\r\n")
        method, target, _ = lines[0].split(" ", 2)
        fields = {l.split(":", 1)[0].lower(): l.split(":", 1)[1].strip() for l in lines[1:] if ":" in l}
        user = password = None
        if "proxy-authorization" in fields:
            user, _, password = base64.b64decode(fields["proxy-authorization"].split()[1]).decode().partition(":")
        state = self.auth(user, password)
        cookie = "cookie" in fields
        log(f"{method} {target} auth={state}" + ("" if method == "CONNECT" else f" cookie={'yes' if cookie else 'no'}"))
        if ARGS.user is not None and state != "good":
            self.request.sendall(b"HTTP/1.1 407 Proxy Authentication Required\r\n"
                                 b"Proxy-Authenticate: Basic realm=\"t\"\r\nContent-Length: 0\r\n\r\n")
            return True
        if method == "CONNECT":
            host, port = target.rsplit(":", 1)
            upstream = socket.create_connection((host, int(port)))
            self.request.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
            relay(self.request, upstream)
            return False
        if cookie:
            log("CLEAR-COOKIE")
        rest = target.split("://", 1)[1]
        authority, _, path = rest.partition("/")
        host, _, port = authority.partition(":")
        upstream = socket.create_connection((host, int(port or 80)))
        kept = [l for l in lines[1:] if l and not l.lower().startswith(("proxy-", "connection"))]
        upstream.sendall(("\r\n".join([f"{method} /{path} HTTP/1.1"] + kept + ["Connection: close", "", ""])).encode("latin-1"))
        relay(self.request, upstream)  # the origin closes after its answer, and so do we
        return False

    def socks(self):
        s = self.request
        greeting = s.recv(2)
        methods = s.recv(greeting[1])
        wanted = 2 if ARGS.user is not None else 0
        s.sendall(bytes([5, wanted if wanted in methods else 0xFF]))
        state = "none"
        if wanted not in methods:
            log(f"SOCKS methods={methods.hex()} auth=none target=")
            return
        if wanted == 2:
            s.recv(1)
            user = s.recv(s.recv(1)[0]).decode()
            password = s.recv(s.recv(1)[0]).decode()
            state = self.auth(user, password)
            s.sendall(bytes([1, 0 if state == "good" else 1]))
            if state != "good":
                log(f"SOCKS methods={methods.hex()} auth={state} target=")
                return
        request = s.recv(4)
        kind = request[3]
        address = s.recv(4) if kind == 1 else s.recv(s.recv(1)[0])
        port_bytes = s.recv(2)
        name_length = b"" if kind == 1 else bytes([len(address)])
        log(f"SOCKS methods={methods.hex()} auth={state} target={bytes([kind]).hex()}{name_length.hex()}{address.hex()}{port_bytes.hex()}")
        host = socket.inet_ntoa(address) if kind == 1 else address.decode()
        upstream = socket.create_connection((host, int.from_bytes(port_bytes, "big")))
        s.sendall(bytes([5, 0, 0, 1, 127, 0, 0, 1, 0, 0]))
        relay(s, upstream)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--kind", choices=["http", "socks5"], required=True)
    parser.add_argument("--user")
    parser.add_argument("--password")
    ARGS = parser.parse_args()
    server = Server(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    log(f"READY port={server.server_address[1]}")
    sys.stdin.read()  # until the test closes our input


if __name__ == "__main__":
    main()
