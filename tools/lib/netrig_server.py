#!/usr/bin/python3
"""HTTPS test server of the download rig, on loopback only.

Serves the files of a folder (the document root) under these paths:
  /body/<name>       the file, with its Content-Length
  /client/.../<name> the same (the updater asks for /client/latest/mevra.exe);
                     slowly, as /slow/ does, while the document root holds ".slow";
                     cut off by a reset, as /reset/ does, while it holds ".reset"
  /status/<code>     that status with a short text body
  /reset/<name>      the full Content-Length, half the file, then a TCP reset
  /short/<name>      the full Content-Length, half the file, then a clean close
  /slow/<name>       the file in 4096-byte pieces with a pause after each
  /redirect/<name>   a redirect to /body/<name> on the server's other name
                     (https://127.0.0.1 for a request to localhost, and back)
  /moved/<name>      a redirect to /body/<name> on the same name

Every request is logged to --request-log, one line each: the path, a tab, and
the names of the headers it carried (lower case, comma-separated), so tests can
see what reached the server inside a proxy's tunnel.

The server presents --cert (TLS 1.2 and later); while the document root holds
a file named ".untrusted" it presents --untrusted-cert instead (same names, a CA
nobody trusts).

While the document root holds ".serve", a JSON object, /client/ paths are served
by its rules instead (the switches above are then not looked at):
  "stall": "handshake" | "status"   accept the connection, then send nothing (no
                                    TLS handshake at all, or no status line after
                                    the request) for "seconds" (default 300)
  "status": <code>, "retry_after": <text>, "times": <k>
                                    the first k responses (all without "times")
                                    are that status with a short body
  "body": "empty" | "html"          a 200 with no body, or with an HTML page
  "length": "exact" (default) | "none" | "chunked" | "bad"
                                    Content-Length, none (the end of the body is
                                    the close), chunked, or "Content-Length: abc"
  "validator": "both" (default) | "etag" | "last-modified" | "none"
                                    the validators a response carries
  "ranges": true (default) | false  honour "Range: bytes=N-" (with "If-Range":
                                    only while it matches a validator) with a 206
  "cut": {"at": [offsets] | "every": <n>, "how": "reset" | "close" | "stall",
          "times": <k>}             the body stops at the first of those offsets
                                    of the file that lies inside the response,
                                    each offset at most k times (always without
                                    "times"): a TCP reset, a clean close (a
                                    chunked body without its final chunk), or
                                    nothing more sent for "seconds"
  "trickle": <seconds>              one byte of the body, then that pause, again
Counters of "times" start again whenever ".serve" changes. Each response to a
/client/ path is logged to --response-log at its end: path, status, the Range
and If-Range headers asked with ("-" when absent), the bytes of the body sent,
and how it ended (tab-separated, one line each).
"""
import argparse
import hashlib
import http.server
import json
import os
import select
import socket
import ssl
import struct
import sys
import threading
import time
import urllib.parse

CHUNK = 64 * 1024


def hold_open(connection, seconds):
    """Sends nothing for `seconds`, or until the peer closes the connection."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        readable, _, _ = select.select([connection], [], [], 0.2)
        if readable:
            try:
                if not connection.recv(1):
                    return
            except (OSError, ValueError):
                return


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "netrig"

    def log_message(self, fmt, *args):
        sys.stderr.write("%s %s\n" % (self.address_string(), fmt % args))

    def _file(self, name):
        path = os.path.join(self.server.docroot, os.path.basename(name))
        return path if os.path.isfile(path) else None

    def _headers(self, code, length):
        self.send_response(code)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(length))
        self.end_headers()

    def _text(self, code, text):
        body = text.encode()
        self._headers(code, len(body))
        self.wfile.write(body)

    def _send(self, path, limit, pause=0.0, piece=CHUNK):
        with open(path, "rb") as f:
            left = limit
            while left > 0:
                data = f.read(min(piece, left))
                if not data:
                    break
                self.wfile.write(data)
                left -= len(data)
                if pause:
                    self.wfile.flush()
                    time.sleep(pause)
        self.wfile.flush()

    def _switched_on(self, name):
        return os.path.exists(os.path.join(self.server.docroot, name))

    def _reset(self, path, size):
        """Half the file, then a TCP reset instead of a close."""
        self._send(path, size // 2)
        self._abort_after_reading()

    def _log_request(self):
        names = ",".join(sorted(key.lower() for key in self.headers.keys()))
        with open(self.server.request_log, "a") as log:
            log.write("%s\t%s\n" % (self.path, names))

    def _redirect(self, name, elsewhere):
        host = self.headers.get("Host", "localhost").split(":")[0]
        if elsewhere:
            host = "127.0.0.1" if host == "localhost" else "localhost"
        self.send_response(302)
        self.send_header("Location", "https://%s/body/%s" % (host, name))
        self.send_header("Content-Length", "0")
        self.end_headers()

    # --- the rules of ".serve" ---

    def _send_text(self, code, text, content_type="text/plain", extra=()):
        body = text.encode()
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for key, value in extra:
            self.send_header(key, value)
        self.end_headers()
        self.wfile.write(body)
        return len(body)

    def _validators(self, path, rules):
        kind = rules.get("validator", "both")
        stat = os.stat(path)
        tag = hashlib.sha1(("%d-%d" % (stat.st_size, stat.st_mtime_ns)).encode()).hexdigest()[:16]
        found = []
        if kind in ("both", "etag"):
            found.append(("ETag", '"%s"' % tag))
        if kind in ("both", "last-modified"):
            found.append(("Last-Modified", self.date_time_string(stat.st_mtime)))
        return found

    def _range_start(self, validators, rules):
        """The first byte a Range header asks for, when it is to be honoured."""
        asked = self.headers.get("Range")
        if not asked or not rules.get("ranges", True) or not validators:
            return None
        condition = self.headers.get("If-Range")
        if condition is not None and condition not in [value for _, value in validators]:
            return None
        if not asked.startswith("bytes=") or "," in asked:
            return None
        first = asked[len("bytes="):].split("-", 1)[0]
        return int(first) if first.isdigit() else None

    def _cut_at(self, first, size, rules):
        """The offset where this response's body stops, or None."""
        cut = rules.get("cut")
        if not cut:
            return None
        offsets = cut.get("at", [])
        if "every" in cut:
            offsets = range(cut["every"], size, cut["every"])
        for offset in offsets:
            if first < offset < size and self.server.take_turn(("cut", offset), cut.get("times")):
                return offset
        return None

    def _send_piece(self, data, chunked):
        if chunked:
            self.wfile.write(b"%x\r\n" % len(data) + data + b"\r\n")
        else:
            self.wfile.write(data)

    def _send_span(self, path, first, stop, chunked, trickle):
        sent = 0
        with open(path, "rb") as f:
            f.seek(first)
            while first + sent < stop:
                piece = 1 if trickle else min(CHUNK, stop - first - sent)
                data = f.read(piece)
                if not data:
                    break
                self._send_piece(data, chunked)
                sent += len(data)
                if trickle:
                    self.wfile.flush()
                    time.sleep(trickle)
        self.wfile.flush()
        return sent

    def _abort_after_reading(self):
        """A reset once the peer had a moment to read what was sent.

        A reset throws away what the peer has received but not yet read; on a
        loaded machine the peer may not have read a byte yet, and the reset
        should come mid-body, after what was sent."""
        time.sleep(1.0)
        self._abort()

    def _abort(self):
        """A TCP reset instead of a close."""
        raw = self.connection
        raw.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        os.close(raw.detach())  # no TLS close, no FIN: the peer sees a reset
        self.close_connection = True
        self.wfile = open(os.devnull, "wb")

    def _log_response(self, status, sent, ended):
        line = "\t".join([self.path, str(status), self.headers.get("Range", "-"),
                          self.headers.get("If-Range", "-"), str(sent), ended])
        self.server.log_response(line)

    def _serve_by_rules(self, name, rules):
        if rules.get("stall") == "status":
            hold_open(self.connection, rules.get("seconds", 300))
            self.close_connection = True
            self._log_response(0, 0, "stalled")
            return
        if "status" in rules and self.server.take_turn("status", rules.get("times")):
            extra = [("Retry-After", str(rules["retry_after"]))] if "retry_after" in rules else []
            sent = self._send_text(rules["status"], "status %s\n" % rules["status"], extra=extra)
            self._log_response(rules["status"], sent, "whole")
            return
        path = self._file(name)
        if path is None:
            self._log_response(404, self._send_text(404, "not found\n"), "whole")
            return
        if rules.get("body") == "empty":
            self._headers(200, 0)
            self._log_response(200, 0, "whole")
            return
        if rules.get("body") == "html":
            page = "<!DOCTYPE html><html><head><title>Sign in</title></head><body>Sign in to continue</body></html>\n"
            self._log_response(200, self._send_text(200, page, "text/html"), "whole")
            return
        self._serve_file(path, rules)

    def _serve_file(self, path, rules):
        size = os.path.getsize(path)
        validators = self._validators(path, rules)
        first = self._range_start(validators, rules)
        if first is not None and first >= size:
            self._log_response(416, self._send_text(416, "range not satisfiable\n",
                                                    extra=[("Content-Range", "bytes */%d" % size)]), "whole")
            return
        status = 200 if first is None else 206
        first = first or 0
        length = rules.get("length", "exact")
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        for key, value in validators:
            self.send_header(key, value)
        if rules.get("ranges", True):
            self.send_header("Accept-Ranges", "bytes")
        if status == 206:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (first, size - 1, size))
        if length == "exact":
            self.send_header("Content-Length", str(size - first))
        elif length == "bad":
            self.send_header("Content-Length", "abc")
        elif length == "chunked":
            self.send_header("Transfer-Encoding", "chunked")
        else:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        cut = self._cut_at(first, size, rules)
        chunked = length == "chunked"
        sent = 0
        ended = "whole"
        try:
            sent = self._send_span(path, first, size if cut is None else cut, chunked, rules.get("trickle", 0))
            if cut is None:
                if chunked:
                    self.wfile.write(b"0\r\n\r\n")
                    self.wfile.flush()
                return
            ended = (rules["cut"].get("how", "reset"))
            if ended == "reset":
                self._abort_after_reading()
            elif ended == "stall":
                hold_open(self.connection, rules.get("seconds", 300))
            self.close_connection = True
        except OSError as error:
            ended = "client gone (%s)" % error.__class__.__name__
            self.close_connection = True
        finally:
            self._log_response(status, sent, ended)

    def do_GET(self):
        self._log_request()
        # A request through a proxy tunnel may name the whole URL.
        parts = urllib.parse.urlsplit(self.path).path.strip("/").split("/", 1)
        kind, name = parts[0], parts[1] if len(parts) > 1 else ""
        if kind in ("redirect", "moved"):
            self._redirect(name, kind == "redirect")
            return
        if kind == "status":
            self._text(int(name), "status %s\n" % name)
            return
        if kind == "client":
            rules = self.server.rules()
            if rules is not None:
                self._serve_by_rules(name, rules)
                return
        path = self._file(name)
        if path is None:
            self._text(404, "not found\n")
            return
        size = os.path.getsize(path)
        self._headers(200, size)
        if kind == "client" and self._switched_on(".slow"):
            self._send(path, size, pause=0.02, piece=4096)
        elif kind == "client" and self._switched_on(".reset"):
            self._reset(path, size)
        elif kind in ("body", "client"):
            self._send(path, size)
        elif kind == "slow":
            self._send(path, size, pause=0.02, piece=4096)
        elif kind == "short":
            self._send(path, size // 2)
            self.close_connection = True
        elif kind == "reset":
            self._reset(path, size)
        else:
            self._text(404, "unknown kind\n")


def make_context(pair):
    cert, key = pair.split(":")
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.minimum_version = ssl.TLSVersion.TLSv1_2
    context.load_cert_chain(cert, key)
    return context


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, docroot, cert, untrusted, request_log, response_log):
        super().__init__(address, Handler)
        self.docroot = docroot
        self.request_log = request_log
        self.response_log = response_log
        self.context = make_context(cert)
        self.untrusted = make_context(untrusted)
        self.context.sni_callback = self.choose_certificate
        self.lock = threading.Lock()
        self.rules_seen = None
        self.turns = {}

    def rules(self):
        """The rules of ".serve", or None; a changed file starts the counters again."""
        try:
            with open(os.path.join(self.docroot, ".serve")) as f:
                text = f.read()
        except OSError:
            return None
        with self.lock:
            if text != self.rules_seen:
                self.rules_seen = text
                self.turns = {}
        return json.loads(text) if text.strip() else {}

    def take_turn(self, key, times):
        """Whether a rule limited to `times` uses (None: unlimited) applies once more."""
        with self.lock:
            used = self.turns.get(key, 0)
            if times is not None and used >= times:
                return False
            self.turns[key] = used + 1
            return True

    def log_response(self, line):
        with self.lock, open(self.response_log, "a") as log:
            log.write(line + "\n")

    # The TLS handshake runs on the connection's own thread, so that a stalled
    # one holds up no other connection.
    def finish_request(self, request, client_address):
        rules = self.rules() or {}
        if rules.get("stall") == "handshake":
            hold_open(request, rules.get("seconds", 300))
            return
        try:
            connection = self.context.wrap_socket(request, server_side=True)
        except (OSError, ssl.SSLError) as error:
            sys.stderr.write("handshake with %s failed: %s\n" % (client_address, error))
            return
        sys.stderr.write("%s:%d speaks %s\n" % (client_address[0], client_address[1], connection.version()))
        try:
            self.RequestHandlerClass(connection, client_address, self)
        finally:
            connection.close()

    def choose_certificate(self, connection, name, context):
        if os.path.exists(os.path.join(self.docroot, ".untrusted")):
            connection.context = self.untrusted
        return None

    def handle_error(self, request, client_address):
        sys.stderr.write("connection from %s ended: %s\n" % (client_address, sys.exc_info()[1]))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--docroot", required=True)
    parser.add_argument("--listen", required=True, help="address:port on loopback")
    parser.add_argument("--cert", required=True, help="certificate:key")
    parser.add_argument("--untrusted-cert", required=True, help="certificate:key")
    parser.add_argument("--request-log", required=True, help="file that gets one line per request")
    parser.add_argument("--response-log", required=True, help="file that gets one line per /client/ response")
    args = parser.parse_args()
    host, port = args.listen.rsplit(":", 1)
    if not host.startswith("127."):
        sys.exit("loopback addresses only: " + host)
    server = Server((host, int(port)), args.docroot, args.cert, args.untrusted_cert, args.request_log,
                    args.response_log)
    sys.stderr.write("serving %s\n" % args.listen)
    sys.stderr.flush()
    server.serve_forever()


if __name__ == "__main__":
    main()
