// SPDX-License-Identifier: MIT
#pragma once

// Windows only: what the Schannel files share.
// windows.h first: the others need its types.
#include <windows.h>
// clang-format off
#define SECURITY_WIN32
#include <security.h>
#include <schannel.h>
#include <wincrypt.h>
// clang-format on

#include <string>

#include "net/tls/tls_context.h"

namespace tarn::net {

// Schannel's credentials and the trust every session of one client checks against.
struct TlsContext::Impl {
  CredHandle handle{};
  // Certificates of the bundle SSL_CERT_FILE names, trusted beside Windows' store; or none.
  HCERTSTORE extra_roots = nullptr;
  // The client's own chain engine, so that no issuer one client has seen is cached for another
  // (test authorities come and go with the same name).
  HCERTCHAINENGINE chains = nullptr;
};

// A store with the certificates of a PEM bundle; nullptr when the file cannot be read.
HCERTSTORE LoadPemBundle(const std::wstring& path);

// Checks a server's certificate as OpenSSL does for us elsewhere: the chain up to a trusted
// root (Windows' store or the bundle's), then the name (`host`, or its IPv4 address), then
// dates and signatures. Raises ETlsCertificateError with OpenSSL's text for the first fault.
void CheckServerCertificate(PCCERT_CONTEXT certificate, const TlsContext::Impl& trust,
                            const std::string& host);

}  // namespace tarn::net
