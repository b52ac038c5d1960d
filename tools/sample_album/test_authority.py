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
import ssl
import subprocess

NAMES = "subjectAltName=IP:127.0.0.1,DNS:localhost\n"
OTHER_NAME = "subjectAltName=DNS:elsewhere.invalid\n"
CURVE = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
VALID_DAYS = "7"
SERIALS = {"server": 2, "expired": 3, "wrong_name": 4, "untrusted": 5}
CURVE_BYTES = 32  # prime256v1's order, and so each of a signature's two numbers, in bytes
SIGNING_TRIES = 100  # a short number comes about once in 128 signatures


def _openssl(*args):
    subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.PIPE)


def _der_item(data, at):
    """The content of the DER item at offset at, and the offset after it."""
    length, at = data[at + 1], at + 2
    if length & 0x80:
        count = length & 0x7F
        length, at = int.from_bytes(data[at:at + count], "big"), at + count
    return data[at:at + length], at + length


def _numbers_full_length(pem):
    """Whether both numbers of the certificate's signature take all of CURVE_BYTES.

    Wine's certificate check joins r and s as they are written, without their leading zero
    bytes, and so refuses about one signature in 128 as a signature failure; a test authority
    must not leave that to chance.
    """
    with open(pem) as f:
        certificate, _ = _der_item(ssl.PEM_cert_to_DER_cert(f.read()), 0)
    _, at = _der_item(certificate, 0)  # the signed part
    _, at = _der_item(certificate, at)  # the algorithm
    bits, _ = _der_item(certificate, at)
    numbers, _ = _der_item(bits, 1)  # after the count of unused bits
    r, at = _der_item(numbers, 0)
    s, _ = _der_item(numbers, at)
    return all(len(number.lstrip(b"\0")) == CURVE_BYTES for number in (r, s))


def _signed(pem, *args):
    """Runs the openssl command that writes pem until its signature is one Wine reads right."""
    for _ in range(SIGNING_TRIES):
        _openssl(*args)
        if _numbers_full_length(pem):
            return pem
    raise RuntimeError(f"no full-length signature for {pem} in {SIGNING_TRIES} tries")


def _authority(folder, name, subject):
    key, pem = os.path.join(folder, name + ".key"), os.path.join(folder, name + ".pem")
    _signed(pem, "req", "-x509", *CURVE, "-keyout", key, "-out", pem, "-subj", subject,
            "-days", VALID_DAYS, "-addext", "basicConstraints=critical,CA:true",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    return key, pem


def _issue(folder, name, request, authority, names, days):
    extensions = os.path.join(folder, name + ".ext")
    with open(extensions, "w") as f:
        f.write(names)
    pem = os.path.join(folder, name + ".pem")
    return _signed(pem, "x509", "-req", "-in", request, "-CA", authority[1], "-CAkey",
                   authority[0], "-set_serial", str(SERIALS[name]), "-days", days,
                   "-extfile", extensions, "-out", pem)


def make_authority(folder):
    os.makedirs(folder, exist_ok=True)
    paths = {"dir": folder}
    authority = _authority(folder, "ca", "/CN=Tarn Test Authority")
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
    paths["self_signed"] = _signed(self_signed, "req", "-x509", "-key", key, "-out", self_signed,
                                   "-subj", "/CN=127.0.0.1", "-days", VALID_DAYS,
                                   "-addext", NAMES.strip())
    return paths
