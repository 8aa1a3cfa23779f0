#!/usr/bin/env python3
"""The tests' local servers on 127.0.0.1: HTTP with one case per path, a TLS
port that only records the client's hello, and SNTP over UDP whose answer is
chosen over HTTP. Writes its ports to --port-file once it listens and ends
itself after --idle seconds without a request.

HTTP paths (query parameters in brackets):
  /ok[len,seed,md5=right|wrong|long|short,nolen]  a body of `len` bytes
  /ini  a small settings file
  /empty  /status/<code>  /redirect/<301|302>[to]  /loop
  /truncated  /chunked  /chunked-cut  /reset  /delay[ms]  /silent  /endless
  /date/<imf|rfc850|asctime|none|garbage|feb31>[t]  (HEAD or GET)
  /date/early  answered early in the next second, with that second
  /log  the requests seen so far, one JSON object a line;  /log/clear
  /sntp[mode,offset_ms,fraction,seconds]  the SNTP answer from now on
  /feed...[name,items]  an RSS 2.0 feed (any path under /feed; any other
      parameter is ignored), answered as /feed/mode[to=ok|500|cut] chose
A request line with an absolute URL is answered as a proxy would ("proxied").
"""
import argparse
import base64
import email.utils
import hashlib
import json
import math
import os
import random
import socket
import socketserver
import struct
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

NTP_EPOCH_OFFSET = 2208988800  # seconds from 1900 to 1970
# what /ini serves: a settings file as a profile download brings it
INI_BODY = b"[common]\r\nserver0=time.example\r\n"

state_lock = threading.Lock()
requests = []
tls_hellos = []
sntp_mode = {"mode": "normal", "offset_ms": 0, "fraction": None, "seconds": None}
last_activity = [time.monotonic()]
stopping = threading.Event()
feed_mode = {"mode": "ok"}


def touch():
    last_activity[0] = time.monotonic()


def body_of(length, seed):
    return random.Random(seed).randbytes(length)


def feed_body(name, items):
    entries = "".join(
        "<item><title>%s item %d</title><link>http://example.invalid/%d</link>"
        "<guid>%s-%d</guid><description>Item %d</description></item>" % (name, i, i, name, i, i)
        for i in range(1, items + 1))
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<rss version="2.0"><channel>'
            "<title>%s</title><link>http://example.invalid/</link><description>The %s feed</description>"
            "<ttl>30</ttl>%s</channel></rss>\n" % (name, name, entries)).encode()


def http_date(t, form):
    if form == "imf":
        return email.utils.formatdate(t, usegmt=True)
    g = time.gmtime(t)
    if form == "rfc850":
        return time.strftime("%A, %d-%b-%y %H:%M:%S GMT", g)
    if form == "asctime":
        return time.strftime("%a %b ", g) + "%2d" % g.tm_mday + time.strftime(" %H:%M:%S %Y", g)
    if form == "garbage":
        return "yesterday at noon"
    if form == "feb31":
        return "Sat, 31 Feb 2026 10:00:00 GMT"
    return None


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def record(self):
        touch()
        entry = {"method": self.command, "path": self.path,
                 "headers": {k: v for k, v in self.headers.items()}}
        with state_lock:
            requests.append(entry)

    def query(self):
        path, _, q = self.path.partition("?")
        params = {}
        for part in q.split("&"):
            if part:
                k, _, v = part.partition("=")
                params[k] = urllib.parse.unquote(v)
        return path, params

    def send_body(self, code, body, headers=(), length=True):
        self.send_response(code)
        for k, v in headers:
            self.send_header(k, v)
        if length:
            self.send_header("Content-Length", str(len(body)))
        else:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def do_HEAD(self):
        self.handle_any()

    def do_GET(self):
        self.handle_any()

    def do_POST(self):
        self.handle_any()

    def handle_any(self):
        self.record()
        if self.path.startswith("http://") or self.path.startswith("https://"):
            return self.send_body(200, b"proxied", [("Content-Type", "text/plain")])
        path, p = self.query()
        if path == "/log":
            with state_lock:
                lines = "".join(json.dumps(r) + "\n" for r in requests)
            return self.send_body(200, lines.encode(), [("Content-Type", "text/plain")])
        if path == "/log/clear":
            with state_lock:
                requests.clear()
            return self.send_body(200, b"", [])
        if path == "/tls":
            with state_lock:
                lines = "".join(h + "\n" for h in tls_hellos)
            return self.send_body(200, lines.encode(), [("Content-Type", "text/plain")])
        if path == "/sntp":
            with state_lock:
                sntp_mode["mode"] = p.get("mode", "normal")
                sntp_mode["offset_ms"] = float(p.get("offset_ms", "0"))
                sntp_mode["fraction"] = int(p["fraction"], 0) if "fraction" in p else None
                sntp_mode["seconds"] = int(p["seconds"], 0) if "seconds" in p else None
            return self.send_body(200, b"", [])
        if path == "/ok":
            body = body_of(int(p.get("len", "1000")), int(p.get("seed", "1")))
            headers = [("Content-Type", "application/octet-stream")]
            digest = hashlib.md5(body).digest()
            md5 = p.get("md5")
            if md5 == "right":
                headers.append(("Content-MD5", base64.b64encode(digest).decode()))
            elif md5 == "wrong":
                headers.append(("Content-MD5", base64.b64encode(hashlib.md5(body + b"x").digest()).decode()))
            elif md5 == "long":
                headers.append(("Content-MD5", base64.b64encode(digest).decode() + "A"))
            elif md5 == "short":
                headers.append(("Content-MD5", base64.b64encode(digest[:15]).decode()))
            return self.send_body(200, body, headers, length="nolen" not in p)
        if path == "/feed/mode":
            with state_lock:
                feed_mode["mode"] = p.get("to", "ok")
            return self.send_body(200, b"", [])
        if path.startswith("/feed"):
            with state_lock:
                mode = feed_mode["mode"]
            if mode == "500":
                return self.send_body(500, b"status 500", [("Content-Type", "text/plain")])
            body = feed_body(p.get("name", "Feed"), int(p.get("items", "2")))
            if mode == "cut":
                self.send_response(200)
                self.send_header("Content-Type", "text/xml")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body[:len(body) // 2])
                self.wfile.flush()
                self.close_connection = True
                return
            return self.send_body(200, body, [("Content-Type", "text/xml")])
        if path == "/ini":
            return self.send_body(200, INI_BODY, [("Content-Type", "text/plain")])
        if path == "/empty":
            return self.send_body(200, b"", [])
        if path.startswith("/status/"):
            code = int(path[len("/status/"):])
            body = b"" if code in (204, 304) else ("status %d" % code).encode()
            return self.send_body(code, body, [("Content-Type", "text/plain")])
        if path.startswith("/redirect/"):
            code = int(path[len("/redirect/"):])
            return self.send_body(code, b"moved", [("Location", p.get("to", "/ok?len=10"))])
        if path == "/loop":
            return self.send_body(302, b"again", [("Location", "/loop")])
        if path == "/truncated":
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.end_headers()
            self.wfile.write(b"x" * 500)
            self.wfile.flush()
            self.close_connection = True
            return
        if path == "/reset":
            # part of the body, then a reset instead of a close
            self.send_response(200)
            self.send_header("Content-Length", "100000")
            self.end_headers()
            self.wfile.write(b"r" * 1000)
            self.wfile.flush()
            time.sleep(0.2)
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.connection.close()
            self.close_connection = True
            return
        if path in ("/chunked", "/chunked-cut"):
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            data = body_of(3000, 7)
            for i in range(0, len(data), 1000):
                piece = data[i:i + 1000]
                self.wfile.write(b"%x\r\n" % len(piece) + piece + b"\r\n")
                if path == "/chunked-cut":
                    self.wfile.flush()
                    self.close_connection = True
                    return
            self.wfile.write(b"0\r\n\r\n")
            return
        if path == "/delay":
            time.sleep(int(p.get("ms", "1000")) / 1000.0)
            return self.send_body(200, b"late", [("Date", email.utils.formatdate(usegmt=True))])
        if path == "/silent":
            # holds the connection until the client gives up or the server stops
            # a held connection is activity; a minute is the most any test waits
            for _ in range(600):
                if stopping.is_set() or not peer_open(self.connection):
                    break
                touch()
                time.sleep(0.1)
            self.close_connection = True
            return
        if path == "/endless":
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            chunk = b"e" * 65536
            try:
                while not stopping.is_set():
                    self.wfile.write(chunk)
                    touch()
            except OSError:
                pass
            self.close_connection = True
            return
        if path == "/date/early":
            # answered within the first 100 ms of a second, with that second
            now = time.time()
            time.sleep(math.ceil(now) - now + 0.02)
            self.send_response(200)
            self.send_header("Date", email.utils.formatdate(math.floor(time.time()), usegmt=True))
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if path.startswith("/date/"):
            form = path[len("/date/"):]
            t = float(p.get("t", time.time()))
            value = http_date(t, form)
            self.send_response(200)
            if value is not None:
                self.send_header("Date", value)
            self.send_header("Content-Length", "2")
            self.end_headers()
            if self.command != "HEAD":
                self.wfile.write(b"ok")
            return
        self.send_body(404, b"no such case", [("Content-Type", "text/plain")])

    # the base class writes a Date header of its own; the date cases write theirs
    def send_response(self, code, message=None):
        self.log_request(code)
        self.send_response_only(code, message)
        self.send_header("Server", "tl-test")
        if not self.path.startswith("/date/"):
            self.send_header("Date", self.date_time_string())


def peer_open(conn):
    """False once the client has closed its end."""
    try:
        conn.setblocking(False)
        return conn.recv(1, socket.MSG_PEEK) != b""
    except BlockingIOError:
        return True
    except OSError:
        return False
    finally:
        try:
            conn.setblocking(True)
        except OSError:
            pass


class TlsRecorder(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


class TlsHandler(socketserver.BaseRequestHandler):
    def handle(self):
        touch()
        self.request.settimeout(5)
        try:
            data = self.request.recv(5)
        except OSError:
            data = b""
        # a TLS handshake record: content type 22, version 3.x
        kind = "clienthello" if len(data) >= 3 and data[0] == 0x16 and data[1] == 3 else "other"
        with state_lock:
            tls_hellos.append(kind)


def ntp_reply(request, now):
    with state_lock:
        mode = dict(sntp_mode)
    t = now + mode["offset_ms"] / 1000.0
    seconds = int(t) + NTP_EPOCH_OFFSET
    fraction = int((t - int(t)) * 2**32)
    if mode["fraction"] is not None:
        fraction = mode["fraction"]
    if mode["seconds"] is not None:
        seconds = mode["seconds"]
    li, version, ntp_mode, stratum = 0, 4, 4, 2
    m = mode["mode"]
    if m == "li3":
        li = 3
    elif m == "version0":
        version = 0
    elif m == "version5":
        version = 5
    elif m == "mode3":
        ntp_mode = 3
    elif m == "kod":
        stratum = 0
    first = (li << 6) | (version << 3) | ntp_mode
    reference = b"RATE" if m == "kod" else b"LOCL"
    packet = struct.pack("!BBbb", first, stratum, 6, -20) + struct.pack("!II", 0, 0) + reference
    packet += struct.pack("!II", seconds, fraction)            # reference time
    packet += request[40:48] if len(request) >= 48 else b"\0" * 8  # origin = the client's transmit
    packet += struct.pack("!II", seconds, fraction)            # receive time
    if m == "transmit0":
        packet += b"\0" * 8
    else:
        packet += struct.pack("!II", seconds, fraction)        # transmit time
    if m == "short47":
        packet = packet[:47]
    elif m == "long68":
        packet = packet + b"\0" * 20
    elif m == "garbage":
        packet = bytes(random.Random(3).randrange(256) for _ in range(48))
    return packet


def sntp_loop(sock, other):
    sock.settimeout(0.5)
    while not stopping.is_set():
        try:
            request, peer = sock.recvfrom(1024)
        except socket.timeout:
            continue
        except OSError:
            return
        touch()
        with state_lock:
            mode = sntp_mode["mode"]
            requests.append({"method": "SNTP", "path": request[:4].hex(), "headers": {"length": str(len(request))}})
        if mode == "silent":
            continue
        reply = ntp_reply(request, time.time())
        if mode == "otherport":
            # a stranger answers first; the real server follows
            other.sendto(ntp_reply(request, time.time() + 3600), peer)
        sock.sendto(reply, peer)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--idle", type=float, default=1800)
    parser.add_argument("--sntp-port", type=int, default=0)
    args = parser.parse_args()

    http = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    http.daemon_threads = True
    tls = TlsRecorder(("127.0.0.1", 0), TlsHandler)
    udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    udp.bind(("127.0.0.1", args.sntp_port))
    other = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    other.bind(("127.0.0.1", 0))

    threads = [threading.Thread(target=http.serve_forever, daemon=True),
               threading.Thread(target=tls.serve_forever, daemon=True),
               threading.Thread(target=sntp_loop, args=(udp, other), daemon=True)]
    for t in threads:
        t.start()

    ports = {"http": http.server_address[1], "tls": tls.server_address[1], "sntp": udp.getsockname()[1]}
    tmp = args.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write("".join("%s=%d\n" % kv for kv in ports.items()))
    os.replace(tmp, args.port_file)

    while time.monotonic() - last_activity[0] < args.idle:
        time.sleep(0.5)
    stopping.set()
    http.shutdown()
    tls.shutdown()
    udp.close()
    other.close()


if __name__ == "__main__":
    main()
