// SPDX-License-Identifier: MIT
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

#include "base/text.h"
#include "base/utf16.h"
#include "net/socket/dotted_ipv4.h"
#include "net/tls/schannel.h"
#include "net/tls/tls_errors.h"

namespace tarn::net {
namespace {

constexpr std::string_view kPemBegin = "-----BEGIN CERTIFICATE-----";
constexpr std::string_view kPemEnd = "-----END CERTIFICATE-----";

// Frees what Windows allocated for us on every way out.
struct StoreHandle {
  HCERTSTORE store;
  ~StoreHandle() {
    if (store != nullptr) CertCloseStore(store, 0);
  }
};
struct ChainHandle {
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  ~ChainHandle() {
    if (chain != nullptr) CertFreeCertificateChain(chain);
  }
};

bool InStore(HCERTSTORE store, PCCERT_CONTEXT certificate) {
  if (store == nullptr) return false;
  PCCERT_CONTEXT found = CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING,
                                                    certificate, nullptr);
  if (found == nullptr) return false;
  CertFreeCertificateContext(found);
  return true;
}

// OpenSSL's words for the first fault of building the chain to a trusted root, if any.
std::optional<std::string> TrustFault(DWORD errors, DWORD length) {
  if (errors & CERT_TRUST_IS_PARTIAL_CHAIN) return "unable to get local issuer certificate";
  if (errors & CERT_TRUST_IS_UNTRUSTED_ROOT) {
    return length == 1 ? "self-signed certificate" : "self-signed certificate in certificate chain";
  }
  return std::nullopt;
}

// OpenSSL's words for the first fault found after the name: dates, signatures, use. The root's
// trust has been settled already, and revocation is not asked for.
std::optional<std::string> LaterFault(const CERT_SIMPLE_CHAIN& chain) {
  constexpr DWORD kSettled = CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_REVOCATION_STATUS_UNKNOWN |
                             CERT_TRUST_IS_OFFLINE_REVOCATION;
  for (DWORD i = 0; i < chain.cElement; ++i) {
    const CERT_CHAIN_ELEMENT& element = *chain.rgpElement[i];
    const DWORD errors = element.TrustStatus.dwErrorStatus & ~kSettled;
    if (errors & CERT_TRUST_IS_NOT_TIME_VALID) {
      return CertVerifyTimeValidity(nullptr, element.pCertContext->pCertInfo) < 0
                 ? "certificate is not yet valid"
                 : "certificate has expired";
    }
    if (errors & CERT_TRUST_IS_NOT_SIGNATURE_VALID) return "certificate signature failure";
    if (errors & CERT_TRUST_IS_REVOKED) return "certificate revoked";
    if (errors & CERT_TRUST_IS_NOT_VALID_FOR_USAGE) return "unsupported certificate purpose";
    if (errors != CERT_TRUST_NO_ERROR) return "certificate verify failed";
  }
  return std::nullopt;
}

// A name of the certificate against the host, as OpenSSL matches them: letters in any case,
// a wildcard only as the whole leftmost label and never directly over a top-level domain.
bool DnsNameMatches(std::string_view pattern, std::string_view host) {
  if (EqualsIgnoringAsciiCase(pattern, host)) return true;
  if (!pattern.starts_with("*.")) return false;
  const std::string_view rest = pattern.substr(1);
  if (rest.find('.', 1) == std::string_view::npos) return false;
  const size_t dot = host.find('.');
  return dot != std::string_view::npos && dot > 0 &&
         EqualsIgnoringAsciiCase(host.substr(dot), rest);
}

bool NameMatches(PCCERT_CONTEXT certificate, const std::string& host) {
  const std::optional<platform::IPv4Address> address = ParseDottedIPv4(host);
  const CERT_INFO& info = *certificate->pCertInfo;
  const CERT_EXTENSION* extension =
      CertFindExtension(szOID_SUBJECT_ALT_NAME2, info.cExtension, info.rgExtension);
  bool had_dns_name = false;
  bool matched = false;
  CERT_ALT_NAME_INFO* names = nullptr;
  DWORD size = 0;
  if (extension != nullptr &&
      CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData,
                          extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &names,
                          &size)) {
    for (DWORD i = 0; i < names->cAltEntry && !matched; ++i) {
      const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
      if (address && entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS) {
        matched = entry.IPAddress.cbData == address->size() &&
                  std::memcmp(entry.IPAddress.pbData, address->data(), address->size()) == 0;
      }
      if (!address && entry.dwAltNameChoice == CERT_ALT_NAME_DNS_NAME) {
        had_dns_name = true;
        matched = DnsNameMatches(Utf16ToUtf8(entry.pwszDNSName), host);
      }
    }
    LocalFree(names);
  }
  // Only an IP address entry stands for an address; the subject's name only when no DNS name
  // is given.
  if (matched || address || had_dns_name) return matched;
  wchar_t common_name[256];
  char oid[] = szOID_COMMON_NAME;
  if (CertGetNameStringW(certificate, CERT_NAME_ATTR_TYPE, 0, oid, common_name, 256) <= 1) {
    return false;
  }
  return DnsNameMatches(Utf16ToUtf8(common_name), host);
}

}  // namespace

HCERTSTORE LoadPemBundle(const std::wstring& path) {
  std::ifstream file{std::filesystem::path(path), std::ios::binary};
  if (!file) return nullptr;
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr);
  if (store == nullptr) return nullptr;
  for (size_t begin = text.find(kPemBegin); begin != std::string::npos;
       begin = text.find(kPemBegin, begin + kPemBegin.size())) {
    const size_t end = text.find(kPemEnd, begin);
    if (end == std::string::npos) break;
    const std::string_view block(text.data() + begin, end + kPemEnd.size() - begin);
    DWORD size = 0;
    if (!CryptStringToBinaryA(block.data(), static_cast<DWORD>(block.size()),
                              CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) {
      continue;
    }
    std::string der(size, '\0');
    if (CryptStringToBinaryA(block.data(), static_cast<DWORD>(block.size()),
                             CRYPT_STRING_BASE64HEADER, reinterpret_cast<BYTE*>(der.data()), &size,
                             nullptr, nullptr)) {
      CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING,
                                       reinterpret_cast<const BYTE*>(der.data()), size,
                                       CERT_STORE_ADD_USE_EXISTING, nullptr);
    }
  }
  return store;
}

void CheckServerCertificate(PCCERT_CONTEXT certificate, const TlsContext::Impl& trust,
                            const std::string& host) {
  const HCERTSTORE extra_roots = trust.extra_roots;
  // The server's own intermediates come with its certificate; the bundle may complete a chain.
  const StoreHandle more{CertOpenStore(CERT_STORE_PROV_COLLECTION, 0, 0, 0, nullptr)};
  if (more.store == nullptr) throw ETlsCertificateError(host, "certificate verify failed");
  CertAddStoreToCollection(more.store, certificate->hCertStore, 0, 0);
  if (extra_roots != nullptr) CertAddStoreToCollection(more.store, extra_roots, 0, 0);
  char server_use[] = szOID_PKIX_KP_SERVER_AUTH;
  LPSTR uses[] = {server_use};
  CERT_CHAIN_PARA wanted{};
  wanted.cbSize = sizeof wanted;
  wanted.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  wanted.RequestedUsage.Usage.cUsageIdentifier = 1;
  wanted.RequestedUsage.Usage.rgpszUsageIdentifier = uses;
  ChainHandle built;
  if (!CertGetCertificateChain(trust.chains, certificate, nullptr, more.store, &wanted, 0, nullptr,
                               &built.chain)) {
    throw ETlsCertificateError(host, "certificate verify failed");
  }
  const CERT_SIMPLE_CHAIN& chain = *built.chain->rgpChain[0];
  DWORD errors = built.chain->TrustStatus.dwErrorStatus;
  // A root from SSL_CERT_FILE is trusted for this process as one in Windows' store.
  const PCCERT_CONTEXT root = chain.rgpElement[chain.cElement - 1]->pCertContext;
  if ((errors & CERT_TRUST_IS_UNTRUSTED_ROOT) && InStore(extra_roots, root)) {
    errors &= ~CERT_TRUST_IS_UNTRUSTED_ROOT;
  }
  if (const auto fault = TrustFault(errors, chain.cElement)) {
    throw ETlsCertificateError(host, *fault);
  }
  if (!NameMatches(certificate, host)) {
    throw ETlsCertificateError(host,
                               IsDottedIpv4(host) ? "IP address mismatch" : "hostname mismatch");
  }
  if (const auto fault = LaterFault(chain)) throw ETlsCertificateError(host, *fault);
}

}  // namespace tarn::net
