// SPDX-License-Identifier: MIT
#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/tls/schannel.h"
#include "net/tls/tls_context.h"
#include "net/tls/tls_errors.h"

namespace tarn::net {

TlsContext::TlsContext() : impl_(std::make_unique<Impl>()) {
  // Schannel checks nothing itself: the chain and the name are checked after the handshake,
  // so that a bundle from SSL_CERT_FILE can be trusted for this process alone.
  SCHANNEL_CRED settings{};
  settings.dwVersion = SCHANNEL_CRED_VERSION;
  settings.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
  settings.dwFlags =
      SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
  wchar_t package[] = UNISP_NAME_W;
  const SECURITY_STATUS status =
      AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &settings, nullptr,
                                nullptr, &impl_->handle, nullptr);
  if (status != SEC_E_OK) {
    char reason[40];
    std::snprintf(reason, sizeof reason, "Schannel error 0x%08lX",
                  static_cast<unsigned long>(status));
    throw ETlsHandshakeError("", reason);
  }
  CERT_CHAIN_ENGINE_CONFIG engine{};
  engine.cbSize = sizeof engine;
  if (!CertCreateCertificateChainEngine(&engine, &impl_->chains)) {
    impl_->chains = nullptr;  // the system's shared engine, then
  }
  if (const wchar_t* bundle = _wgetenv(L"SSL_CERT_FILE"); bundle != nullptr && bundle[0] != 0) {
    impl_->extra_roots = LoadPemBundle(bundle);
  }
}

TlsContext::~TlsContext() {
  if (impl_->chains != nullptr) CertFreeCertificateChainEngine(impl_->chains);
  if (impl_->extra_roots != nullptr) CertCloseStore(impl_->extra_roots, 0);
  FreeCredentialsHandle(&impl_->handle);
}

}  // namespace tarn::net
