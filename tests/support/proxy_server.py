#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""An HTTP (CONNECT, absolute-form GET) or SOCKS5 proxy on 127.0.0.1 for tests.

    proxy_server.py --kind http|socks5 [--user U --password P]

Prints "READY port=N", then a line per request before relaying it ("CONNECT host:port
auth=none|good|bad", "GET <target> auth=...", "SOCKS methods=<hex> auth=...
target=<hex>"), and "CLEAR-COOKIE" when a Cookie line passes it in clear. Stops at the end
of its input.
"""

import argparse, base64, select, socket, socketserver, sys, threading


def log(line):
    print(line, flush=True)


def relay(client, upstream):
    while True:
        for s in select.select([client, upstream], [], [], 30)[0] or [None]:
            data = s.recv(65536) if s else b""
            if not data:
                return
            if s is client and b"Cookie:" in data:
                log("CLEAR-COOKIE")
            (upstream if s is client else client).sendall(data)


class Handler(socketserver.BaseRequestHandler):
    def auth(self, user, password):
        if user is None:
            return "none"
        return "good" if (user, password) == (ARGS.user, ARGS.password) else "bad"

    def handle(self):
        while (self.socks if ARGS.kind == "socks5" else self.http)():
            pass

    def http(self):
        head = b""
        while not head.endswith(b"\r\n\r\n"):
            byte = self.request.recv(1)
            if not byte:
                return False
            head += byte
        lines = head.decode("latin-1").split("\r\n")
        method, target, _ = lines[0].split(" ", 2)
        fields = {k.lower(): v.strip() for k, _, v in (l.partition(":") for l in lines[1:] if l)}
        user = password = None
        if "proxy-authorization" in fields:
            credentials = base64.b64decode(fields["proxy-authorization"].split()[1]).decode()
            user, _, password = credentials.partition(":")
        state = self.auth(user, password)
        log(f"{method} {target} auth={state}")
        if ARGS.user is not None and state != "good":
            self.request.sendall(b"HTTP/1.1 407 Who\r\nProxy-Authenticate: Basic\r\n"
                                 b"Content-Length: 0\r\n\r\n")
            return True
        if method == "CONNECT":
            host, port = target.rsplit(":", 1)
            upstream = socket.create_connection((host, int(port)))
            self.request.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
        else:  # one request to the origin, closed after its answer, and so is ours
            if "cookie" in fields:
                log("CLEAR-COOKIE")
            authority, _, path = target.split("://", 1)[1].partition("/")
            host, _, port = authority.partition(":")
            upstream = socket.create_connection((host, int(port or 80)))
            kept = [l for l in lines[1:] if l and not l.lower().startswith("proxy-")]
            request = [f"{method} /{path} HTTP/1.1"] + kept + ["Connection: close", "", ""]
            upstream.sendall("\r\n".join(request).encode("latin-1"))
        relay(self.request, upstream)
        return False

    def socks(self):
        s = self.request
        methods = s.recv(s.recv(2)[1])
        wanted = 0 if ARGS.user is None else 2
        s.sendall(bytes([5, wanted if wanted in methods else 0xFF]))
        state, target = "none", ""
        if wanted in methods and wanted == 2:
            s.recv(1)
            user, password = (s.recv(s.recv(1)[0]).decode() for _ in range(2))
            state = self.auth(user, password)
            s.sendall(bytes([1, state != "good"]))
        if wanted in methods and state != "bad":
            kind = s.recv(4)[3]
            address = s.recv(4) if kind == 1 else bytes([s.recv(1)[0]])
            address += s.recv(address[0] if kind == 3 else 0) + s.recv(2)
            target = bytes([kind]).hex() + address.hex()
        log(f"SOCKS methods={methods.hex()} auth={state} target={target}")
        if not target:
            return False
        host = socket.inet_ntoa(address[:4]) if kind == 1 else address[1:-2].decode()
        upstream = socket.create_connection((host, int.from_bytes(address[-2:], "big")))
        s.sendall(bytes([5, 0, 0, 1, 127, 0, 0, 1, 0, 0]))
        relay(s, upstream)
        return False


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--kind", choices=["http", "socks5"], required=True)
    parser.add_argument("--user")
    parser.add_argument("--password")
    ARGS = parser.parse_args()
    server = Server(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    log(f"READY port={server.server_address[1]}")
    sys.stdin.read()
