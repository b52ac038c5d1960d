// SPDX-License-Identifier: MIT
#include "net/proxy/proxy_url.h"

#include "base/text.h"
#include "net/proxy/proxy_errors.h"

namespace tarn::net {
namespace {

constexpr std::string_view kSchemeMark = "://";
constexpr int kHighestPort = 65535;
constexpr std::string_view kKindsSpoken = "（可用 http://、socks5:// 和 socks5h://）";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%XX" becomes its byte; a "%" without two hex digits stays as written.
std::string PercentDecoded(std::string_view text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

ProxyKind KindOf(std::string_view scheme) {
  if (EqualsIgnoringAsciiCase(scheme, "http")) return ProxyKind::kHttp;
  if (EqualsIgnoringAsciiCase(scheme, "socks5")) return ProxyKind::kSocks5;
  if (EqualsIgnoringAsciiCase(scheme, "socks5h")) return ProxyKind::kSocks5Hostname;
  throw EProxyError("不支持 " + std::string(scheme) + ":// 代理" + std::string(kKindsSpoken));
}

}  // namespace

ProxyUrl ParseProxyUrl(std::string_view text) {
  text = Trim(text);
  ProxyUrl proxy;
  const size_t scheme_end = text.find(kSchemeMark);
  if (scheme_end != std::string_view::npos) {
    proxy.kind = KindOf(text.substr(0, scheme_end));
    text.remove_prefix(scheme_end + kSchemeMark.size());
  }
  std::string_view authority = text.substr(0, text.find('/'));
  // The last "@": a password may hold one unencoded.
  const size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    const std::string_view user_info = authority.substr(0, at);
    const size_t colon = user_info.find(':');
    proxy.has_credentials = true;
    proxy.user = PercentDecoded(user_info.substr(0, colon));
    if (colon != std::string_view::npos)
      proxy.password = PercentDecoded(user_info.substr(colon + 1));
    authority.remove_prefix(at + 1);
  }
  const size_t colon = authority.find(':');
  proxy.host = std::string(authority.substr(0, colon));
  if (proxy.host.empty()) throw EProxyError("代理地址里没有主机名" + std::string(kKindsSpoken));
  // A blank or control character would make the lookup ask for another name than written.
  for (const char c : proxy.host) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '\x7F') throw EProxyError("代理的主机名无效");
  }
  if (colon != std::string_view::npos) {
    const std::string_view port = authority.substr(colon + 1);
    int value = 0;
    for (const char c : port) {
      if (c < '0' || c > '9' || value > kHighestPort) {
        value = 0;
        break;
      }
      value = value * 10 + (c - '0');
    }
    if (value < 1 || value > kHighestPort) throw EProxyError("代理 " + proxy.host + " 的端口无效");
    proxy.port = value;
  }
  return proxy;
}

std::string BasicCredentials(const ProxyUrl& proxy) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const std::string plain = proxy.user + ":" + proxy.password;
  std::string encoded = "Basic ";
  for (size_t i = 0; i < plain.size(); i += 3) {
    uint32_t group = static_cast<uint8_t>(plain[i]) << 16;
    if (i + 1 < plain.size()) group |= static_cast<uint8_t>(plain[i + 1]) << 8;
    if (i + 2 < plain.size()) group |= static_cast<uint8_t>(plain[i + 2]);
    encoded += kDigits[(group >> 18) & 63];
    encoded += kDigits[(group >> 12) & 63];
    encoded += i + 1 < plain.size() ? kDigits[(group >> 6) & 63] : '=';
    encoded += i + 2 < plain.size() ? kDigits[group & 63] : '=';
  }
  return encoded;
}

}  // namespace tarn::net
