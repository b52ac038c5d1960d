// SPDX-License-Identifier: MIT
#include "download/html_text.h"

#include <cstdint>

#include "base/text.h"

namespace tarn {
namespace {

// Longest reference looked at: "&#x10FFFF;" and every named one fit.
constexpr size_t kMaxReferenceLength = 10;
constexpr uint32_t kMaxCodePoint = 0x10FFFF;

struct NamedReference {
  std::string_view name;
  std::string_view text;
};
constexpr NamedReference kNamedReferences[] = {
    {"quot", "\""}, {"amp", "&"}, {"apos", "'"}, {"lt", "<"}, {"gt", ">"}, {"nbsp", "\xC2\xA0"},
};

void AppendUtf8(uint32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

int DigitValue(char c, int base) {
  if (c >= '0' && c <= '9') return c - '0';
  if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The character of a numeric reference's body ("#39", "#x4E2D"); false when it names none.
bool NumericReference(std::string_view body, std::string& out) {
  if (body.size() < 2 || body[0] != '#') return false;
  int base = 10;
  body.remove_prefix(1);
  if (body[0] == 'x' || body[0] == 'X') {
    base = 16;
    body.remove_prefix(1);
  }
  if (body.empty()) return false;
  uint32_t code = 0;
  for (const char c : body) {
    const int digit = DigitValue(c, base);
    if (digit < 0) return false;
    code = code * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
    if (code > kMaxCodePoint) return false;
  }
  // Nothing, and halves of surrogate pairs, are no characters.
  if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) return false;
  AppendUtf8(code, out);
  return true;
}

}  // namespace

std::string DecodeHtmlEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const size_t amp = text.find('&', i);
    if (amp == std::string_view::npos) break;
    out.append(text.substr(i, amp - i));
    i = amp + 1;
    const size_t semicolon = text.substr(i, kMaxReferenceLength + 1).find(';');
    if (semicolon == std::string_view::npos) {
      out += '&';
      continue;
    }
    const std::string_view body = text.substr(i, semicolon);
    bool known = NumericReference(body, out);
    for (const NamedReference& named : kNamedReferences) {
      if (known) break;
      if (body == named.name) {
        out.append(named.text);
        known = true;
      }
    }
    if (known) {
      i += semicolon + 1;
    } else {
      out += '&';
    }
  }
  if (i < text.size()) out.append(text.substr(i));
  return out;
}

std::string CutUtf8(std::string text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

std::string StripHtmlTags(std::string_view html) {
  std::string out;
  out.reserve(html.size());
  size_t i = 0;
  while (i < html.size()) {
    const size_t open = html.find('<', i);
    if (open == std::string_view::npos) {
      out.append(html.substr(i));
      break;
    }
    out.append(html.substr(i, open - i));
    const size_t close = html.find('>', open);
    if (close == std::string_view::npos) break;
    const std::string_view tag = html.substr(open + 1, close - open - 1);
    if (tag.size() >= 2 && EqualsIgnoringAsciiCase(tag.substr(0, 2), "br") &&
        (tag.size() == 2 || tag[2] == '/' || static_cast<unsigned char>(tag[2]) <= ' '))
      out += '\n';
    i = close + 1;
  }
  return out;
}

std::string FoldBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : Trim(text)) {
    if (static_cast<unsigned char>(c) > ' ') {
      out += c;
    } else if (out.back() != ' ') {
      out += ' ';
    }
  }
  return out;
}

std::string ShownText(std::string_view html) {
  return FoldBlanks(DecodeHtmlEntities(StripHtmlTags(html)));
}

std::optional<std::string_view> Enclosed(std::string_view page, std::string_view open,
                                         std::string_view close) {
  const size_t start = page.find(open);
  if (start == std::string_view::npos) return std::nullopt;
  const size_t end = page.find(close, start + open.size());
  if (end == std::string_view::npos) return std::nullopt;
  return page.substr(start + open.size(), end - start - open.size());
}

std::optional<std::string_view> PageTitle(std::string_view page) {
  return Enclosed(page, "<title>", "</title>");
}

}  // namespace tarn
