# SPDX-License-Identifier: MIT
"""A throw-away certificate authority and server certificates, made with the openssl command.

make_authority(folder) writes into folder (made if missing) and returns the paths:

  ca.pem            the authority; point SSL_CERT_FILE at it to trust it
  server.pem/.key   issued by it for 127.0.0.1 and localhost, valid for a week
  expired.pem       the same, but its time ran out yesterday
  wrong_name.pem    the same, but for another name (elsewhere.invalid) only
  self_signed.pem   for 127.0.0.1 and localhost, signed by its own key
  untrusted.pem     for 127.0.0.1 and localhost, from an authority nobody trusts

Every certificate uses server.key. Nothing leaves the folder.
"""

import os
import secrets
import subprocess

NAMES = "subjectAltName=IP:127.0.0.1,DNS:localhost\n"
OTHER_NAME = "subjectAltName=DNS:elsewhere.invalid\n"
CURVE = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
VALID_DAYS = "7"
SERIALS = {"server": 2, "expired": 3, "wrong_name": 4, "untrusted": 5}


def _openssl(*args):
    subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.PIPE)


def _authority(folder, name, subject):
    key, pem = os.path.join(folder, name + ".key"), os.path.join(folder, name + ".pem")
    _openssl("req", "-x509", *CURVE, "-keyout", key, "-out", pem, "-subj", subject,
             "-days", VALID_DAYS, "-addext", "basicConstraints=critical,CA:true",
             "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    return key, pem


def _issue(folder, name, request, authority, names, days):
    extensions = os.path.join(folder, name + ".ext")
    with open(extensions, "w") as f:
        f.write(names)
    pem = os.path.join(folder, name + ".pem")
    _openssl("x509", "-req", "-in", request, "-CA", authority[1], "-CAkey", authority[0],
             "-set_serial", str(SERIALS[name]), "-days", days,
             "-extfile", extensions, "-out", pem)
    return pem


def make_authority(folder):
    os.makedirs(folder, exist_ok=True)
    paths = {"dir": folder}
    # A name of its own for every authority made: certificate caches (Wine's among them) match
    # an issuer by its name and a certificate by issuer and serial, and must never take an
    # earlier run's authority or server for this one's.
    authority = _authority(folder, "ca", f"/CN=Tarn Test Authority {secrets.token_hex(8)}")
    rogue = _authority(folder, "rogue_ca", "/CN=Nobody Trusts This Authority")
    paths["ca"] = authority[1]
    key = os.path.join(folder, "server.key")
    request = os.path.join(folder, "server.csr")
    _openssl("req", "-new", *CURVE, "-keyout", key, "-out", request, "-subj", "/CN=127.0.0.1")
    paths["key"] = key
    paths["server"] = _issue(folder, "server", request, authority, NAMES, VALID_DAYS)
    # A negative count of days puts the end a day before the start: expired since yesterday.
    paths["expired"] = _issue(folder, "expired", request, authority, NAMES, "-1")
    paths["wrong_name"] = _issue(folder, "wrong_name", request, authority, OTHER_NAME,
                                 VALID_DAYS)
    paths["untrusted"] = _issue(folder, "untrusted", request, rogue, NAMES, VALID_DAYS)
    self_signed = os.path.join(folder, "self_signed.pem")
    _openssl("req", "-x509", "-key", key, "-out", self_signed, "-subj", "/CN=127.0.0.1",
             "-days", VALID_DAYS, "-addext", NAMES.strip())
    paths["self_signed"] = self_signed
    return paths
