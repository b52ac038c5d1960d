// SPDX-License-Identifier: MIT
// Config.ini as anyone may have edited it, rewritten with fuzzed sections, keys and values.
// A rewrite changes one key line or adds lines at one place; every other line stays byte for
// byte, and a plain value reads back as written.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <string_view>
#include <vector>

#include "settings/ini_file.h"
#include "base/text.h"
#include "fuzz_check.h"

namespace tarn {
namespace {

using fuzz::Check;

// Writes per input: later ones run on what the earlier ones made.
constexpr int kMaxWrites = 3;
// Longest fuzzed section, key or value; long values still cross the read limit.
constexpr size_t kMaxFieldLength = 2100;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool Padded(std::string_view text) {
  return !text.empty() && (IsBlank(text.front()) || IsBlank(text.back()));
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != text.npos; }

// Lines as stored, each with its line end (CR LF, LF, a CR at the very end, or none).
std::vector<std::string_view> RawLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t feed = text.find('\n');
    const size_t length = feed == std::string_view::npos ? text.size() : feed + 1;
    lines.push_back(text.substr(0, length));
    text.remove_prefix(length);
  }
  return lines;
}

std::string_view LineEnd(std::string_view line) {
  if (line.ends_with("\r\n")) return line.substr(line.size() - 2);
  if (line.ends_with('\n') || line.ends_with('\r')) return line.substr(line.size() - 1);
  return {};
}

std::string_view LineText(std::string_view line) {
  return line.substr(0, line.size() - LineEnd(line).size());
}

// The line sets `key` and, written again, holds `value` instead of its old one.
bool IsReplacement(std::string_view before, std::string_view after, std::string_view key,
                   std::string_view value) {
  const std::string_view text = LineText(before);
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos) return false;
  std::string_view name = text.substr(0, equals);
  while (!name.empty() && IsBlank(name.front())) name.remove_prefix(1);
  while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
  if (!EqualsIgnoringAsciiCase(name, key)) return false;
  return after == std::string(text.substr(0, equals + 1)) + std::string(value) +
                      std::string(LineEnd(before));
}

// New lines: the entry, with its section's header before it when the section was missing.
bool IsAddition(const std::vector<std::string_view>& added, std::string_view section,
                const std::string& entry) {
  if (added.size() == 1) return added[0] == entry;
  return added.size() == 2 && added[0] == "[" + std::string(section) + "]\r\n" && added[1] == entry;
}

void CheckRewrite(std::string_view before, std::string_view after, std::string_view section,
                  std::string_view key, std::string_view value) {
  const std::vector<std::string_view> old_lines = RawLines(before);
  const std::vector<std::string_view> new_lines = RawLines(after);
  size_t prefix = 0;
  while (prefix < old_lines.size() && prefix < new_lines.size() &&
         old_lines[prefix] == new_lines[prefix]) {
    ++prefix;
  }
  size_t suffix = 0;
  while (suffix < old_lines.size() - prefix && suffix < new_lines.size() - prefix &&
         old_lines[old_lines.size() - 1 - suffix] == new_lines[new_lines.size() - 1 - suffix]) {
    ++suffix;
  }
  const std::vector<std::string_view> removed(old_lines.begin() + prefix, old_lines.end() - suffix);
  std::vector<std::string_view> added(new_lines.begin() + prefix, new_lines.end() - suffix);
  const std::string entry = std::string(key) + "=" + std::string(value) + "\r\n";
  if (removed.empty()) {
    Check(added.empty() || IsAddition(added, section, entry), "only the entry's lines added");
    return;
  }
  Check(removed.size() == 1, "at most one line changed");
  if (added.size() == 1) {
    Check(IsReplacement(removed[0], added[0], key, value), "only the key's value changed");
    return;
  }
  // The file's last line lacked its line feed and got one before the new lines.
  const std::string_view last = removed[0];
  Check(prefix + 1 == old_lines.size() && !last.ends_with('\n'), "only the last line ended");
  Check(!added.empty() && added[0] == std::string(last) + (last.ends_with('\r') ? "\n" : "\r\n"),
        "the last line ended as it began");
  added.erase(added.begin());
  Check(IsAddition(added, section, entry), "the entry's lines follow");
}

// Fields that the file can hold as they are: a value that reads back unchanged.
bool IsPlain(std::string_view section, std::string_view key, std::string_view value) {
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                      value.back() == value.front();
  return !HasLineBreak(section) && !HasLineBreak(key) && !HasLineBreak(value) &&
         section.find(']') == section.npos && key.find('=') == key.npos && !key.starts_with('[') &&
         !Padded(section) && !Padded(key) && !Padded(value) && !quoted &&
         value.size() <= IniFile::kMaxValueLength;
}

}  // namespace
}  // namespace tarn

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarn;
  FuzzedDataProvider input(data, size);
  const int writes = input.ConsumeIntegralInRange(1, kMaxWrites);
  std::vector<std::string> fields;
  for (int i = 0; i < writes * 3; ++i)
    fields.push_back(input.ConsumeRandomLengthString(kMaxFieldLength));
  std::string text = input.ConsumeRemainingBytesAsString();

  for (int i = 0; i < writes; ++i) {
    const std::string& section = fields[i * 3];
    const std::string& key = fields[i * 3 + 1];
    const std::string& value = fields[i * 3 + 2];
    if (const auto read = ReadIniValue(text, section, key)) {
      Check(read->size() <= IniFile::kMaxValueLength, "reads stop at the limit");
      Check(read->find('\n') == std::string::npos, "a value is one line");
    }
    std::string rewritten = WriteIniValue(text, section, key, value);
    if (IsPlain(section, key, value)) {
      CheckRewrite(text, rewritten, section, key, value);
      Check(ReadIniValue(rewritten, section, key) == value, "a written value reads back");
    }
    text = std::move(rewritten);
  }
  return 0;
}
