// SPDX-License-Identifier: MIT
#include <iconv.h>

#include <cerrno>

#include "base/code_page.h"
#include "base/exception.h"

namespace tarn {
namespace {

// Room for the longest character of any code page iconv knows.
constexpr size_t kMaxBytesPerCharacter = 8;
// Output taken from iconv at a time; a page is converted in as many rounds as it needs.
constexpr size_t kChunkBytes = 16 * 1024;

// One iconv conversion, closed on every way out.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Iconv() {
    if (Known()) iconv_close(handle_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // False when iconv knows one of the two code pages not.
  bool Known() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  // Converts from `in` into `out`, moving both; false when it stopped early (errno says why).
  bool Convert(char*& in, size_t& in_left, char*& out, size_t& out_left) {
    return iconv(handle_, &in, &in_left, &out, &out_left) != static_cast<size_t>(-1);
  }
  // Forgets what a conversion that stopped early left behind.
  void Reset() { iconv(handle_, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t handle_;
};

}  // namespace

struct CodePageConverter::Impl : Iconv {
  using Iconv::Iconv;
};

CodePageConverter::CodePageConverter(const char* code_page)
    : impl_(std::make_unique<Impl>(code_page, "UTF-32LE")) {
  if (!impl_->Known()) throw Exception(std::string("Unknown code page ") + code_page);
}

CodePageConverter::~CodePageConverter() = default;

void CodePageConverter::Append(char32_t character, std::string& out) {
  char in_bytes[4] = {
      static_cast<char>(character & 0xFF), static_cast<char>((character >> 8) & 0xFF),
      static_cast<char>((character >> 16) & 0xFF), static_cast<char>((character >> 24) & 0xFF)};
  char out_bytes[kMaxBytesPerCharacter];
  char* in = in_bytes;
  size_t in_left = sizeof in_bytes;
  char* produced = out_bytes;
  size_t out_left = sizeof out_bytes;
  // A character iconv drops without a word (a language tag, in glibc) is one the code page
  // cannot write either: it must not vanish, or a page of it would read as no page at all.
  if (!impl_->Convert(in, in_left, produced, out_left) || produced == out_bytes) {
    impl_->Reset();
    out += kDefaultCharacter;
    return;
  }
  out.append(out_bytes, static_cast<size_t>(produced - out_bytes));
}

std::string Gb18030ToUtf8(std::string_view bytes) {
  std::string text;
  Iconv converter("UTF-8", "GB18030");
  if (!converter.Known()) {
    // Without the system's tables only ASCII decodes.
    for (const char& c : bytes) text += (c & 0x80) ? kUtf8Replacement : std::string_view(&c, 1);
    return text;
  }
  char chunk[kChunkBytes];
  while (!bytes.empty()) {
    char* in = const_cast<char*>(bytes.data());  // iconv does not write through it
    size_t in_left = bytes.size();
    char* out = chunk;
    size_t out_left = sizeof chunk;
    const bool stopped = !converter.Convert(in, in_left, out, out_left);
    const bool chunk_full = stopped && errno == E2BIG;
    text.append(chunk, static_cast<size_t>(out - chunk));
    bytes.remove_prefix(bytes.size() - in_left);
    if (stopped && !chunk_full) {
      // A byte that begins no character, or a character cut off by the end of the page.
      text += kUtf8Replacement;
      bytes.remove_prefix(1);
    }
  }
  return text;
}

}  // namespace tarn
