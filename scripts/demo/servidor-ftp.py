#!/usr/bin/env python3
"""FTP server of the demo installations: 127.0.0.1, the accounts cune01..cune05 (password demo)
sharing one root folder, as the consortium's server does for its installations.
   servidor-ftp.py ROOT [PORT]"""
import logging
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

raiz = os.path.abspath(sys.argv[1])
porta = int(sys.argv[2]) if len(sys.argv) > 2 else 2121
os.makedirs(os.path.join(raiz, "cune"), exist_ok=True)
contas = DummyAuthorizer()
for n in range(1, 6):
    contas.add_user("cune%02d" % n, "demo", raiz, perm="elradfmwMT")
FTPHandler.authorizer = contas
FTPHandler.passive_ports = range(30000, 30100)
logging.basicConfig(level=logging.WARNING)
servidor = FTPServer(("127.0.0.1", porta), FTPHandler)
print("demo FTP server on 127.0.0.1:%d, folder %s" % (porta, raiz), flush=True)
servidor.serve_forever()
