#!/usr/bin/env python3
"""TLS 1.2 test servers on loopback, one per certificate case, for the https tests.

Every listener answers the same paths (HTTP/1.0, the connection closed after
the answer, as the plug-in asks):
  /feed    a one-item RSS feed with its Content-Length; the TCP connection is
           closed without a TLS close_notify
  /notify  the same feed, no length, ended with a close_notify
  /unframed  the same feed, no length, and no close_notify: cut off, for all
           the client can tell
  /echo    the request's own bytes as the body
  /private the feed to "Authorization: Basic" user:s3cr3t, else 401
  /big     3 MiB of numbered lines, sent in many records
  /docs/X  the file DIR/docs/X (the refresh benchmark's feeds)
  other    404
Usage: tls_server.py DIR   (DIR holds the certificates of make-certificates;
'ready' is written there once every listener is bound)
"""
import os
import socket
import socketserver
import ssl
import sys

FEED = (b'<?xml version="1.0" encoding="UTF-8"?><rss version="2.0"><channel>'
        b'<title>Secure channel</title><link>https://127.0.17.1/</link><description>over TLS</description>'
        b'<item><title>Secure item</title><link>https://127.0.17.1/item</link>'
        b'<pubDate>Tue, 04 Mar 2025 10:00:00 GMT</pubDate></item></channel></rss>')
BIG = b''.join(b'line %07d of the large secure body\n' % n for n in range(3 << 20 >> 5))[: 3 << 20]

LISTENERS = [  # address, port, certificate
    ('127.0.17.1', 443, 'good'),
    ('127.0.17.1', 8443, 'good'),
    ('127.0.17.2', 443, 'wronghost'),
    ('127.0.17.3', 443, 'selfsigned'),
    ('127.0.17.4', 443, 'expired'),
    ('127.0.17.5', 443, 'unknownca'),
]


DOCS = ''


def answer(request):
    path = request.split(b' ')[1] if request.count(b' ') >= 2 else b''
    if path.startswith(b'/docs/') and b'..' not in path:
        try:
            with open(os.path.join(DOCS, path[6:].decode()), 'rb') as document:
                return b'200 OK', document.read()
        except (OSError, UnicodeDecodeError):
            pass
    if path in (b'/feed', b'/notify', b'/unframed'):
        return b'200 OK', FEED
    if path == b'/echo':
        return b'200 OK', request
    if path == b'/private':
        allowed = b'\r\nAuthorization: Basic dXNlcjpzM2NyM3Q=\r\n' in request
        return (b'200 OK', FEED) if allowed else (b'401 Unauthorized', b'who are you')
    if path == b'/big':
        return b'200 OK', BIG
    return b'404 Not Found', b'not here'


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        self.request.settimeout(20)
        try:
            tls = self.server.context.wrap_socket(self.request, server_side=True)
            request = b''
            while b'\r\n\r\n' not in request:
                data = tls.recv(4096)
                if not data:
                    return
                request += data
            status, body = answer(request)
            unframed = request.startswith((b'GET /notify ', b'GET /unframed '))
            length = b'' if unframed else b'Content-Length: %d\r\n' % len(body)
            tls.sendall(b'HTTP/1.0 ' + status + b'\r\nContent-Type: text/xml\r\n' + length + b'\r\n' + body)
            if request.startswith(b'GET /notify '):
                tls.setblocking(False)  # send close_notify, do not wait for the client's
                try:
                    tls.unwrap()
                except (ssl.SSLWantReadError, ssl.SSLWantWriteError):
                    pass
        except (OSError, ssl.SSLError):
            pass  # the client refused the certificate or went away


class Server(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, context):
        self.context = context
        super().__init__(address, Handler)


def context_for(folder, name):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.minimum_version = ssl.TLSVersion.TLSv1_2
    context.maximum_version = ssl.TLSVersion.TLSv1_2  # Wine 8's Schannel offers no TLS 1.3
    context.load_cert_chain(os.path.join(folder, name + '.pem'), os.path.join(folder, 'server.key'))
    return context


def main():
    import threading
    global DOCS
    folder = sys.argv[1]
    DOCS = os.path.join(folder, 'docs')
    servers = [Server((address, port), context_for(folder, name)) for address, port, name in LISTENERS]
    for server in servers:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    with open(os.path.join(folder, 'ready'), 'w') as ready:
        ready.write(str(os.getpid()))
    threading.Event().wait()


if __name__ == '__main__':
    main()
