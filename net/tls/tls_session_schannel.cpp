// SPDX-License-Identifier: MIT
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "base/utf16.h"
#include "net/socket/dotted_ipv4.h"
#include "net/socket/socket_error_text.h"
#include "net/tls/schannel.h"
#include "net/tls/tls_errors.h"
#include "net/tls/tls_session.h"

namespace tarn::net {

// The Schannel side of one session: its context, the encrypted bytes received and not yet
// decrypted, and the decrypted bytes not yet handed out.
struct SchannelSession {
  CredHandle credentials{};  // the context's, which outlives every session
  CtxtHandle context{};
  bool has_context = false;
  bool established = false;
  bool peer_closed = false;  // the server's close notify has come
  bool certificate_checked = false;
  SecPkgContext_StreamSizes sizes{};
  std::string first_bytes;  // the start of what the server sent first, to name a refusal
  std::string encrypted;
  std::string plain;
  size_t plain_at = 0;

  ~SchannelSession() {
    if (has_context) DeleteSecurityContext(&context);
  }
};

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD kRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                           ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                           ISC_REQ_MANUAL_CRED_VALIDATION;
// Bytes taken from the socket at once: a few records per call.
constexpr size_t kReceivePiece = 64 * 1024;
// What a TLS record of the server begins with.
constexpr unsigned char kAlertRecord = 0x15;
constexpr unsigned char kHandshakeRecord = 0x16;
constexpr size_t kRecordHeader = 5;
// A record header and an alert's two bytes.
constexpr size_t kAlertBytes = kRecordHeader + 2;
constexpr int kTls12 = 0x0303;
constexpr unsigned char kProtocolVersionAlert = 70;

std::chrono::milliseconds Left(Clock::time_point deadline) {
  return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()),
                  std::chrono::milliseconds(0));
}

std::string StatusText(SECURITY_STATUS status) {
  char text[40];
  std::snprintf(text, sizeof text, "Schannel error 0x%08lX", static_cast<unsigned long>(status));
  return text;
}

// OpenSSL's words for an alert the server sent, so that messages read alike everywhere.
std::string AlertText(unsigned char description) {
  switch (description) {
    case 40:
      return "sslv3 alert handshake failure";
    case 42:
      return "sslv3 alert bad certificate";
    case 47:
      return "sslv3 alert illegal parameter";
    case 50:
      return "tlsv1 alert decode error";
    case 70:
      return "tlsv1 alert protocol version";
    case 71:
      return "tlsv1 alert insufficient security";
    case 80:
      return "tlsv1 alert internal error";
    case 112:
      return "tlsv1 unrecognized name";
    default:
      return "tlsv1 alert " + std::to_string(description);
  }
}

// Frees a buffer Schannel allocated, on every way out.
struct ContextBuffer {
  SecBuffer buffer{0, SECBUFFER_TOKEN, nullptr};
  ~ContextBuffer() {
    if (buffer.pvBuffer != nullptr) FreeContextBuffer(buffer.pvBuffer);
  }
  std::string_view Bytes() const {
    return {static_cast<const char*>(buffer.pvBuffer), buffer.pvBuffer ? buffer.cbBuffer : 0};
  }
};

}  // namespace

// Schannel's side of one session, over the caller's socket.
struct TlsSession::Impl {
  Impl(const TlsContext& context, platform::SocketHandle socket, std::string_view host,
       std::chrono::milliseconds limit);
  ~Impl();
  size_t Receive(char* into, size_t capacity, std::chrono::milliseconds wait);
  void Send(std::string_view bytes, std::chrono::milliseconds wait);
  void NotifyClose();

  void Handshake(const TlsContext& context, std::chrono::steady_clock::time_point deadline);
  // Decrypts the next whole record received; false when more bytes are needed for one.
  bool DecryptRecord();
  // Receives more encrypted bytes, waiting until `deadline`; fails as Receive says, or as a
  // handshake does.
  void ReceiveMore(std::chrono::steady_clock::time_point deadline, bool handshake);
  // Sends every byte, waiting at most `stall` each time the socket takes nothing.
  void SendRaw(std::string_view bytes, std::chrono::milliseconds stall);
  // Checks the server's certificate once it has come; `finished`: it must have come by now.
  void CheckCertificateOnce(const TlsContext& context, bool finished);
  [[noreturn]] void ThrowHandshakeFailure(long status);

  std::unique_ptr<SchannelSession> session_;
  platform::SocketHandle socket_;
  std::string host_;
  bool broken_ = false;  // after a fatal error nothing more may be sent
};

TlsSession::Impl::Impl(const TlsContext& context, platform::SocketHandle socket,
                       std::string_view host, std::chrono::milliseconds limit)
    : session_(std::make_unique<SchannelSession>()), socket_(socket), host_(host) {
  Handshake(context, Clock::now() + limit);
}

TlsSession::Impl::~Impl() = default;

void TlsSession::Impl::Handshake(const TlsContext& context, Clock::time_point deadline) {
  if (const int error = platform::SetBlocking(socket_, false)) throw EIdSocketError(error);
  SchannelSession& session = *session_;
  // An IP address is checked against the certificate's addresses and is never sent as SNI.
  std::wstring target = IsDottedIpv4(host_) ? std::wstring() : Utf8ToUtf16(host_);
  SEC_WCHAR* name = target.empty() ? nullptr : target.data();
  session.credentials = context.State().handle;
  for (;;) {
    SecBuffer input[2] = {
        {static_cast<ULONG>(session.encrypted.size()), SECBUFFER_TOKEN, session.encrypted.data()},
        {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc input_list{SECBUFFER_VERSION, 2, input};
    ContextBuffer output;
    SecBufferDesc output_list{SECBUFFER_VERSION, 1, &output.buffer};
    ULONG granted = 0;
    const bool first = !session.has_context;
    const SECURITY_STATUS status = InitializeSecurityContextW(
        &session.credentials, first ? nullptr : &session.context, name, kRequest, 0, 0,
        first ? nullptr : &input_list, 0, &session.context, &output_list, &granted, nullptr);
    if (first && (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_OK)) {
      session.has_context = true;
    }
    // The server's certificate is checked as soon as it has come, before our next words: a
    // server that fails the check never sees a finished handshake.
    if (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_OK) {
      CheckCertificateOnce(context, status == SEC_E_OK);
    }
    if (!output.Bytes().empty()) SendRaw(output.Bytes(), Left(deadline));
    if (status == SEC_E_INCOMPLETE_MESSAGE) {
      ReceiveMore(deadline, true);
      continue;
    }
    if (status == SEC_I_INCOMPLETE_CREDENTIALS) continue;  // asked for ours: we go on without
    if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) ThrowHandshakeFailure(status);
    // What the server sent beyond this step stays for the next one, or for the first read.
    if (!first && input[1].BufferType == SECBUFFER_EXTRA) {
      session.encrypted.erase(0, session.encrypted.size() - input[1].cbBuffer);
    } else {
      session.encrypted.clear();
    }
    if (status == SEC_E_OK) break;
    if (session.encrypted.empty()) ReceiveMore(deadline, true);
  }
  const SECURITY_STATUS sized =
      QueryContextAttributesW(&session.context, SECPKG_ATTR_STREAM_SIZES, &session.sizes);
  if (sized != SEC_E_OK) ThrowHandshakeFailure(sized);
  session.established = true;
}

void TlsSession::Impl::CheckCertificateOnce(const TlsContext& context, bool finished) {
  SchannelSession& session = *session_;
  if (session.certificate_checked) return;
  PCCERT_CONTEXT certificate = nullptr;
  if (QueryContextAttributesW(&session.context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) !=
          SEC_E_OK ||
      certificate == nullptr) {
    if (!finished) return;  // not come yet
    broken_ = true;
    throw ETlsCertificateError(host_, "no peer certificate available");
  }
  session.certificate_checked = true;
  try {
    CheckServerCertificate(certificate, context.State(), host_);
  } catch (...) {
    CertFreeCertificateContext(certificate);
    broken_ = true;
    throw;
  }
  CertFreeCertificateContext(certificate);
}

void TlsSession::Impl::ThrowHandshakeFailure(long status) {
  broken_ = true;
  const std::string& received = session_->first_bytes;
  const auto first = received.empty() ? 0 : static_cast<unsigned char>(received[0]);
  // A server that answers without TLS (plain HTTP, say) is told apart as OpenSSL does.
  if (!received.empty() && first != kAlertRecord && first != kHandshakeRecord) {
    throw ETlsHandshakeError(host_, "wrong version number");
  }
  if (first == kAlertRecord && received.size() >= kAlertBytes) {
    throw ETlsHandshakeError(host_, AlertText(static_cast<unsigned char>(received[6])));
  }
  // A server that answers in a version older than TLS 1.2 is refused with the protocol
  // version alert, which is what OpenSSL reports for such a server.
  if (first == kHandshakeRecord && received.size() >= 3 &&
      (static_cast<unsigned char>(received[1]) << 8 | static_cast<unsigned char>(received[2])) <
          kTls12) {
    throw ETlsHandshakeError(host_, AlertText(kProtocolVersionAlert));
  }
  throw ETlsHandshakeError(host_, StatusText(status));
}

void TlsSession::Impl::ReceiveMore(Clock::time_point deadline, bool handshake) {
  std::string& encrypted = session_->encrypted;
  const size_t had = encrypted.size();
  encrypted.resize(had + kReceivePiece);
  const platform::IoResult read =
      platform::Receive(socket_, encrypted.data() + had, kReceivePiece, Left(deadline));
  encrypted.resize(had + read.count);
  std::string& first = session_->first_bytes;
  if (handshake && first.size() < kAlertBytes) {
    first += encrypted.substr(had, kAlertBytes - first.size());
    // No TLS at all, or a refusal straight away: said as it is, without waiting for more.
    const auto type = first.empty() ? kHandshakeRecord : static_cast<unsigned char>(first[0]);
    if (type != kHandshakeRecord && (type != kAlertRecord || first.size() == kAlertBytes)) {
      ThrowHandshakeFailure(SEC_E_ILLEGAL_MESSAGE);
    }
  }
  if (read.error != 0) {
    broken_ = true;
    throw EIdSocketError(read.error);
  }
  if (read.timed_out) {
    // A handshake counts under the connect bound and fails like a connect; a read like a read.
    if (!handshake) throw EIdReadTimeout();
    broken_ = true;
    throw EIdSocketError(kWsaTimedOut);
  }
  if (read.count == 0) {
    broken_ = true;
    // A server that hangs up before it has said anything is a network failure, not a refusal.
    if (handshake) throw EIdConnClosedGracefully();
    throw ETlsPeerClosedMidRecord(host_);
  }
}

bool TlsSession::Impl::DecryptRecord() {
  SchannelSession& session = *session_;
  if (session.encrypted.empty()) return false;
  SecBuffer buffers[4] = {
      {static_cast<ULONG>(session.encrypted.size()), SECBUFFER_DATA, session.encrypted.data()},
      {0, SECBUFFER_EMPTY, nullptr},
      {0, SECBUFFER_EMPTY, nullptr},
      {0, SECBUFFER_EMPTY, nullptr}};
  SecBufferDesc list{SECBUFFER_VERSION, 4, buffers};
  const bool alert = static_cast<unsigned char>(session.encrypted[0]) == kAlertRecord;
  const SECURITY_STATUS status = DecryptMessage(&session.context, &list, 0, nullptr);
  if (status == SEC_E_INCOMPLETE_MESSAGE) return false;
  // Windows says the close notify came; Wine passes the alert record on as an empty one.
  if (status == SEC_I_CONTEXT_EXPIRED || (status == SEC_E_OK && alert)) {
    session.peer_closed = true;
    session.encrypted.clear();
    return true;
  }
  if (status != SEC_E_OK) {
    broken_ = true;
    throw ETlsStreamError(
        host_, status == SEC_I_RENEGOTIATE ? "renegotiation is not supported" : StatusText(status));
  }
  size_t extra = 0;
  for (const SecBuffer& buffer : buffers) {
    if (buffer.BufferType == SECBUFFER_DATA) {
      session.plain.append(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
    }
    if (buffer.BufferType == SECBUFFER_EXTRA) extra = buffer.cbBuffer;
  }
  session.encrypted.erase(0, session.encrypted.size() - extra);
  return true;
}

size_t TlsSession::Impl::Receive(char* into, size_t capacity, std::chrono::milliseconds wait) {
  SchannelSession& session = *session_;
  const Clock::time_point deadline = Clock::now() + wait;
  size_t taken = 0;
  for (;;) {
    const size_t ready = std::min(capacity - taken, session.plain.size() - session.plain_at);
    std::memcpy(into + taken, session.plain.data() + session.plain_at, ready);
    taken += ready;
    session.plain_at += ready;
    if (session.plain_at == session.plain.size()) {
      session.plain.clear();
      session.plain_at = 0;
    }
    // Records already received fill the rest of the piece without another wait.
    if (taken == capacity || session.peer_closed) return taken;
    if (DecryptRecord()) continue;
    if (taken > 0) return taken;
    ReceiveMore(deadline, false);
  }
}

void TlsSession::Impl::Send(std::string_view bytes, std::chrono::milliseconds wait) {
  SchannelSession& session = *session_;
  const SecPkgContext_StreamSizes& sizes = session.sizes;
  std::string record;
  while (!bytes.empty()) {
    const size_t size = std::min<size_t>(bytes.size(), sizes.cbMaximumMessage);
    record.assign(sizes.cbHeader + size + sizes.cbTrailer, '\0');
    std::memcpy(record.data() + sizes.cbHeader, bytes.data(), size);
    SecBuffer buffers[4] = {
        {sizes.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
        {static_cast<ULONG>(size), SECBUFFER_DATA, record.data() + sizes.cbHeader},
        {sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sizes.cbHeader + size},
        {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc list{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = EncryptMessage(&session.context, 0, &list, 0);
    if (status != SEC_E_OK) {
      broken_ = true;
      throw ETlsStreamError(host_, StatusText(status));
    }
    SendRaw(std::string_view(record).substr(
                0, buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer),
            wait);
    bytes.remove_prefix(size);
  }
}

void TlsSession::Impl::SendRaw(std::string_view bytes, std::chrono::milliseconds stall) {
  while (!bytes.empty()) {
    const platform::IoResult sent = platform::Send(socket_, bytes.data(), bytes.size());
    if (sent.error == kWsaWouldBlock) {
      const platform::IoResult ready = platform::WaitReady(socket_, true, stall);
      if (ready.error == 0 && !ready.timed_out) continue;
      broken_ = true;
      throw EIdSocketError(ready.error != 0 ? ready.error : kWsaTimedOut);
    }
    if (sent.error != 0) {
      broken_ = true;
      throw EIdSocketError(sent.error);
    }
    bytes.remove_prefix(sent.count);
  }
}

void TlsSession::Impl::NotifyClose() {
  SchannelSession& session = *session_;
  if (broken_ || !session.established) return;
  DWORD kind = SCHANNEL_SHUTDOWN;
  SecBuffer control{sizeof kind, SECBUFFER_TOKEN, &kind};
  SecBufferDesc control_list{SECBUFFER_VERSION, 1, &control};
  if (ApplyControlToken(&session.context, &control_list) != SEC_E_OK) return;
  ContextBuffer output;
  SecBufferDesc output_list{SECBUFFER_VERSION, 1, &output.buffer};
  ULONG granted = 0;
  const SECURITY_STATUS status =
      InitializeSecurityContextW(&session.credentials, &session.context, nullptr, kRequest, 0, 0,
                                 nullptr, 0, nullptr, &output_list, &granted, nullptr);
  if (status != SEC_E_OK || output.Bytes().empty()) return;
  platform::Send(socket_, output.Bytes().data(), output.Bytes().size());  // once, never waiting
}

TlsSession::TlsSession(const TlsContext& context, platform::SocketHandle socket,
                       std::string_view host, std::chrono::milliseconds limit)
    : impl_(std::make_unique<Impl>(context, socket, host, limit)) {}

TlsSession::~TlsSession() = default;

size_t TlsSession::Receive(char* into, size_t capacity, std::chrono::milliseconds wait) {
  return impl_->Receive(into, capacity, wait);
}

void TlsSession::Send(std::string_view bytes, std::chrono::milliseconds wait) {
  impl_->Send(bytes, wait);
}

void TlsSession::NotifyClose() { impl_->NotifyClose(); }

bool TlsSession::HasBuffered() const {
  const SchannelSession& session = *impl_->session_;
  return session.plain_at < session.plain.size() || !session.encrypted.empty();
}

}  // namespace tarn::net
