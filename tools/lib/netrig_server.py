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

The server presents --cert; while the document root holds a file named
".untrusted" it presents --untrusted-cert instead (same names, a CA nobody trusts).
"""
import argparse
import http.server
import os
import socket
import ssl
import struct
import sys
import time
import urllib.parse

CHUNK = 64 * 1024


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
        # A reset throws away what the peer has received but not yet read, so
        # give it a moment to read the half: the reset should come mid-body.
        time.sleep(0.3)
        raw = self.connection
        raw.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        os.close(raw.detach())  # no TLS close, no FIN: the peer sees a reset
        self.close_connection = True
        self.wfile = open(os.devnull, "wb")

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
    context.load_cert_chain(cert, key)
    return context


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, docroot, cert, untrusted, request_log):
        super().__init__(address, Handler)
        self.docroot = docroot
        self.request_log = request_log
        context = make_context(cert)
        self.untrusted = make_context(untrusted)
        context.sni_callback = self.choose_certificate
        self.socket = context.wrap_socket(self.socket, server_side=True)

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
    args = parser.parse_args()
    host, port = args.listen.rsplit(":", 1)
    if not host.startswith("127."):
        sys.exit("loopback addresses only: " + host)
    server = Server((host, int(port)), args.docroot, args.cert, args.untrusted_cert, args.request_log)
    sys.stderr.write("serving %s\n" % args.listen)
    sys.stderr.flush()
    server.serve_forever()


if __name__ == "__main__":
    main()
