#!/usr/bin/python3
"""A real FTP server (pyftpdlib) on loopback for the FTP adapter's tests.

Serves one user whose home is --root, logs every command it receives to --log, one a line,
and prints "ready <port>" once it listens. With --read-only the user may not store files.
It ends by itself after --lifetime seconds.
"""
import argparse
import logging
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--address", default="127.0.0.1")
    parser.add_argument("--read-only", action="store_true")
    parser.add_argument("--lifetime", type=float, default=120)
    options = parser.parse_args()

    logging.disable(logging.CRITICAL)
    authorizer = DummyAuthorizer()
    authorizer.add_user(options.user, options.password, options.root,
                        perm="elr" if options.read_only else "elradfmw")
    log = open(options.log, "a", buffering=1)

    class RecordingHandler(FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            log.write(line + "\n")
            return super().pre_process_command(line, cmd, arg)

    RecordingHandler.authorizer = authorizer
    RecordingHandler.permit_foreign_addresses = False
    server = FTPServer((options.address, options.port), RecordingHandler)
    threading.Timer(options.lifetime, server.close_all).start()
    print("ready", server.address[1], flush=True)
    server.serve_forever(timeout=0.5)


if __name__ == "__main__":
    main()
