#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""A scripted TLS server on 127.0.0.1 for the client's tests.

    tls_script_server.py CERT_DIR SCRIPTS_JSON

SCRIPTS_JSON is a list with one script per accepted connection, in order; a script is a list
of steps:

  ["tls", NAME]    handshake with certificate NAME of the test authority (server, expired,
                   wrong_name, self_signed, untrusted)
  ["tls_1_1"]      handshake with "server", offering nothing newer than TLS 1.1
  ["sniff"]        handshake with "server" if the client's first byte opens TLS, else plain
  ["read"]         read one request head, up to its empty line
  ["send", TEXT]   send TEXT (latin-1; "{port}" becomes the server's port)
  ["pattern", N]   send N bytes, byte i being i * 7 % 251
  ["notify_close"] send the TLS close notify, then close
  ["drop"]         close the TCP connection without a close notify
  ["await_close"]  read until the client closes, keeping what arrives

Lines on stdout, flushed at once: "READY port=P ca=FILE" when listening; then per connection
i "MODE i tls|plain", "SNI i NAME" ("-" without one), "HANDSHAKE i ok" or
"HANDSHAKE i failed REASON", "REQUEST i HEX", "RAW i" when the first bytes of a connection
that has not yet answered arrive during await_close, "SEEN i HEX" after await_close,
"SENT i" after each send, "FAILED i ERROR" when a step broke, "DONE i" at a script's end.
When stdin ends: "EXTRA n" (connections beyond the scripts) and "END". Every wait is
bounded, so a client that misbehaves cannot hang the server.
"""

import json
import os
import socket
import ssl
import sys
import threading

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))

from sample_album.test_authority import make_authority  # noqa: E402

WAIT_SECONDS = 60  # longest wait for the client in any step
TLS_RECORD_FIRST_BYTE = 0x16


def say(line):
    try:
        sys.stdout.write(line + "\n")
        sys.stdout.flush()
    except BrokenPipeError:
        pass  # the test has stopped listening


class Connection:
    def __init__(self, index, raw, paths, port):
        self.index = index
        self.sock = raw
        self.paths = paths
        self.port = port
        self.pending = b""
        self.answered = False

    def handshake(self, name, newest=None):
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        if newest:
            context.set_ciphers("DEFAULT:@SECLEVEL=0")  # old versions need the old ciphers
            context.minimum_version = ssl.TLSVersion.TLSv1
            context.maximum_version = newest
        context.load_cert_chain(self.paths[name], self.paths["key"])
        context.sni_callback = lambda _socket, server_name, _context: say(
            f"SNI {self.index} {server_name or '-'}")
        say(f"MODE {self.index} tls")
        try:
            self.sock = context.wrap_socket(self.sock, server_side=True)
        except (ssl.SSLError, OSError) as error:
            say(f"HANDSHAKE {self.index} failed {getattr(error, 'reason', None) or error}")
            return False
        say(f"HANDSHAKE {self.index} ok")
        return True

    def sniff(self):
        first = self.sock.recv(1, socket.MSG_PEEK)
        if first and first[0] == TLS_RECORD_FIRST_BYTE:
            return self.handshake("server")
        say(f"MODE {self.index} plain")
        return True

    def read_request(self):
        while b"\r\n\r\n" not in self.pending:
            data = self.sock.recv(65536)
            if not data:
                return False
            self.pending += data
        head, self.pending = self.pending.split(b"\r\n\r\n", 1)
        head += b"\r\n\r\n"
        say(f"REQUEST {self.index} {head.hex()}")
        return True

    def send(self, text):
        self.sock.sendall(text.replace("{port}", str(self.port)).encode("latin-1"))
        self.answered = True
        say(f"SENT {self.index}")

    def await_close(self):
        seen = self.pending
        told = False
        while True:
            try:
                data = self.sock.recv(65536)
            except (OSError, ssl.SSLError):
                break
            if not data:
                break
            if not told and not self.answered:
                say(f"RAW {self.index}")
                told = True
            seen += data
        say(f"SEEN {self.index} {seen.hex()}")

    def play(self, script):
        for step in script:
            kind = step[0]
            if kind == "tls" and not self.handshake(step[1]):
                return
            if kind == "tls_1_1" and not self.handshake("server", ssl.TLSVersion.TLSv1_1):
                return
            if kind == "sniff" and not self.sniff():
                return
            if kind == "read" and not self.read_request():
                return
            if kind == "send":
                self.send(step[1])
            if kind == "pattern":
                self.sock.sendall(bytes(i * 7 % 251 for i in range(step[1])))
                self.answered = True
                say(f"SENT {self.index}")
            if kind == "notify_close":
                # Sends the notify without waiting for the client's own.
                self.sock.settimeout(0)
                try:
                    self.sock.unwrap()
                except (ssl.SSLError, OSError):
                    pass
                self.sock.close()
                return
            if kind == "drop":
                # No close notify: the socket goes down underneath the TLS layer.
                self.sock.shutdown(socket.SHUT_RDWR)
                self.sock.close()
                return
            if kind == "await_close":
                self.await_close()
        self.sock.close()


def main():
    paths = make_authority(sys.argv[1])
    scripts = json.loads(sys.argv[2])
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    port = listener.getsockname()[1]
    scripts_done = threading.Event()
    finished = threading.Event()
    extra = [0]

    def serve():
        for index, script in enumerate(scripts):
            listener.settimeout(WAIT_SECONDS)
            try:
                raw, _ = listener.accept()
            except OSError:
                return
            raw.settimeout(WAIT_SECONDS)
            raw.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            try:
                Connection(index, raw, paths, port).play(script)
            except (OSError, ssl.SSLError) as error:
                say(f"FAILED {index} {error}")
            say(f"DONE {index}")
        scripts_done.set()
        listener.settimeout(0.2)
        while not finished.is_set():
            try:
                raw, _ = listener.accept()
                extra[0] += 1
                raw.close()
            except OSError:
                pass

    thread = threading.Thread(target=serve, daemon=True)
    thread.start()
    say(f"READY port={port} ca={paths['ca']}")
    while sys.stdin.buffer.read(4096):
        pass
    scripts_done.wait(WAIT_SECONDS)
    finished.set()
    thread.join(WAIT_SECONDS)
    say(f"EXTRA {extra[0]}")
    say("END")


if __name__ == "__main__":
    main()
