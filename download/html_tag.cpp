// SPDX-License-Identifier: MIT
#include "download/html_tag.h"

#include "base/text.h"

namespace tarn {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

size_t SkipBlanks(std::string_view text, size_t at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at;
}

}  // namespace

size_t FindTag(std::string_view text, size_t from, std::string_view opening) {
  while (true) {
    const size_t at = text.find(opening, from);
    if (at == std::string_view::npos) return at;
    const size_t after = at + opening.size();
    if (after == text.size() || IsBlank(text[after]) || text[after] == '/' || text[after] == '>')
      return at;
    from = after;
  }
}

size_t ReadAttributes(
    std::string_view text, size_t at,
    const std::function<void(std::string_view name, std::string_view value)>& attribute) {
  while (at < text.size()) {
    const char c = text[at];
    if (c == '>') return at + 1;
    if (IsBlank(c) || c == '/' || c == '"' || c == '\'' || c == '=') {
      ++at;
      continue;
    }
    const size_t name_start = at;
    while (at < text.size() && !IsBlank(text[at]) && text[at] != '=' && text[at] != '>' &&
           text[at] != '/')
      ++at;
    const std::string_view name = text.substr(name_start, at - name_start);
    std::string_view value;
    at = SkipBlanks(text, at);
    if (at < text.size() && text[at] == '=') {
      at = SkipBlanks(text, at + 1);
      if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
        const size_t close = text.find(text[at], at + 1);
        if (close == std::string_view::npos) return std::string_view::npos;
        value = text.substr(at + 1, close - at - 1);
        at = close + 1;
      } else {
        const size_t start = at;
        while (at < text.size() && !IsBlank(text[at]) && text[at] != '>') ++at;
        value = text.substr(start, at - start);
      }
    }
    attribute(name, value);
  }
  return std::string_view::npos;
}

std::optional<std::string_view> FirstAttribute(std::string_view text, size_t at,
                                               std::string_view name, size_t& end) {
  std::optional<std::string_view> found;
  end = ReadAttributes(text, at, [&](std::string_view attribute, std::string_view value) {
    if (!found && EqualsIgnoringAsciiCase(attribute, name)) found = value;
  });
  return found;
}

bool HasClass(std::string_view classes, std::string_view name) {
  size_t at = SkipBlanks(classes, 0);
  while (at < classes.size()) {
    size_t end = at;
    while (end < classes.size() && !IsBlank(classes[end])) ++end;
    if (classes.substr(at, end - at) == name) return true;
    at = SkipBlanks(classes, end);
  }
  return false;
}

size_t FindTagOfClass(std::string_view text, size_t from, std::string_view opening,
                      std::string_view name, size_t& end) {
  for (size_t at = FindTag(text, from, opening); at != std::string_view::npos;
       at = FindTag(text, end, opening)) {
    const std::optional<std::string_view> classes =
        FirstAttribute(text, at + opening.size(), "class", end);
    if (end == std::string_view::npos) break;
    if (classes && HasClass(*classes, name)) return at;
  }
  return std::string_view::npos;
}

size_t DivEnd(std::string_view text, size_t from) {
  constexpr std::string_view kOpen = "<div", kClose = "</div";
  size_t depth = 1;
  for (size_t at = from;;) {
    const size_t close = text.find(kClose, at);
    if (close == std::string_view::npos) return text.size();
    const size_t open = FindTag(text, at, kOpen);
    if (open < close) {
      ++depth;
      at = open + kOpen.size();
    } else if (--depth == 0) {
      return close;
    } else {
      at = close + kClose.size();
    }
  }
}

}  // namespace tarn
