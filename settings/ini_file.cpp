// SPDX-License-Identifier: MIT
#include "settings/ini_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

#include "base/file_access.h"
#include "base/file_path.h"
#include "base/safe_replace.h"
#include "base/text.h"

namespace tarn {
namespace {

// A settings file is a few lines; anything beyond this is not ours to load into memory.
constexpr long kMaxFileSize = 16 * 1024 * 1024;
// Others may read the settings, as any program's, but never write them, whatever the umask.
constexpr unsigned kNewFileMode = 0644;

[[noreturn]] void RefuseWrite(const std::string& path) {
  throw EIniFileException("Unable to write to " + path);
}

struct Line {
  size_t begin;  // offset of the line in the file
  size_t end;    // offset just past its text, before CR LF / LF
  size_t next;   // offset of the following line
};

std::string_view TrimBlanks(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  return text.substr(b, e - b);
}

std::vector<Line> SplitLines(std::string_view data) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < data.size()) {
    size_t lf = data.find('\n', pos);
    size_t next = lf == std::string_view::npos ? data.size() : lf + 1;
    size_t end = lf == std::string_view::npos ? data.size() : lf;
    if (end > pos && data[end - 1] == '\r') --end;
    lines.push_back({pos, end, next});
    pos = next;
  }
  return lines;
}

// "[name]" gives name; any other line gives nothing.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  size_t close = line.find(']');
  if (close == std::string_view::npos) close = line.size();
  return TrimBlanks(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key;
  size_t value_begin;  // offset of the value's text within the line
};

std::optional<KeyLine> ParseKey(std::string_view line) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyLine{TrimBlanks(line.substr(0, eq)), eq + 1};
}

// Where a section's lines are in the file.
struct SectionSpan {
  size_t header;  // index of the header line
  size_t end;     // index one past its last line
};

std::optional<SectionSpan> FindSection(std::string_view data, const std::vector<Line>& lines,
                                       std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    auto name = SectionName(data.substr(lines[i].begin, lines[i].end - lines[i].begin));
    if (!name || !EqualsIgnoringAsciiCase(*name, section)) continue;
    size_t j = i + 1;
    while (j < lines.size() &&
           !SectionName(data.substr(lines[j].begin, lines[j].end - lines[j].begin)))
      ++j;
    return SectionSpan{i, j};
  }
  return std::nullopt;
}

// Reads the whole file; nullopt when it does not exist. Throws on any other failure.
std::optional<std::string> ReadFile(const std::string& path, bool for_write) {
  std::FILE* file = OpenFile(path, "rb");
  if (file == nullptr) {
    if (errno == ENOENT || !for_write) return std::nullopt;
    RefuseWrite(path);
  }
  std::string data;
  char buffer[8192];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    data.append(buffer, n);
    if (data.size() > static_cast<size_t>(kMaxFileSize)) break;
  }
  const bool failed = std::ferror(file) != 0 || data.size() > static_cast<size_t>(kMaxFileSize);
  std::fclose(file);
  if (failed) {
    if (for_write) RefuseWrite(path);
    return std::nullopt;
  }
  return data;
}

// Where the file really is: through a symbolic link the new text replaces the contents, not
// the link.
std::string RealPath(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(PathFromUtf8(path), error)) return path;
  const std::filesystem::path target = std::filesystem::canonical(PathFromUtf8(path), error);
  return error ? path : Utf8FromPath(target);
}

// Replaced whole or not at all; a file the user may not write stays refused, though the
// replacement needs only the folder.
void ReplaceFile(const std::string& path, std::string_view data) {
  const std::string target = RealPath(path);
  if (ExistsReadOnly(target)) RefuseWrite(path);
  try {
    ReplaceFileContents(target, data, kNewFileMode);
  } catch (const FileError&) {
    RefuseWrite(path);
  }
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// What ends a last line that has no line feed: a lone CR there already reads as a line end,
// and CR LF after it would leave that CR in the line's text.
std::string_view LineEndAfter(std::string_view data) {
  return data.ends_with('\r') ? "\n" : "\r\n";
}

// Cuts at the read limit without leaving half of a multi-byte character behind.
std::string LimitValue(std::string_view value) {
  if (value.size() <= IniFile::kMaxValueLength) return std::string(value);
  size_t cut = IniFile::kMaxValueLength;
  size_t lead = cut;
  while (lead > 0 && (static_cast<unsigned char>(value[lead - 1]) & 0xC0) == 0x80) --lead;
  if (lead > 0) {
    const unsigned char c = static_cast<unsigned char>(value[lead - 1]);
    const size_t width = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (lead - 1 + width > cut) cut = lead - 1;
  }
  return std::string(value.substr(0, cut));
}

}  // namespace

std::optional<std::string> ReadIniValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
  const auto lines = SplitLines(text);
  const auto span = FindSection(text, lines, section);
  if (!span) return std::nullopt;
  for (size_t i = span->header + 1; i < span->end; ++i) {
    const std::string_view line = text.substr(lines[i].begin, lines[i].end - lines[i].begin);
    const auto parsed = ParseKey(line);
    if (!parsed || !EqualsIgnoringAsciiCase(parsed->key, key)) continue;
    std::string_view value = TrimBlanks(line.substr(parsed->value_begin));
    // The profile functions drop one pair of matching quotes around a value.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    return LimitValue(value);
  }
  return std::nullopt;
}

std::string WriteIniValue(std::string data, std::string_view section, std::string_view key,
                          std::string_view value) {
  const auto lines = SplitLines(data);
  const auto span = FindSection(data, lines, section);
  std::string entry(key);
  entry.append("=").append(value);

  if (!span) {
    if (!data.empty() && data.back() != '\n') data += LineEndAfter(data);
    data.append("[").append(section).append("]\r\n").append(entry).append("\r\n");
    return data;
  }
  size_t insert_after = span->header;
  for (size_t i = span->header + 1; i < span->end; ++i) {
    const std::string_view line =
        std::string_view(data).substr(lines[i].begin, lines[i].end - lines[i].begin);
    if (!TrimBlanks(line).empty()) insert_after = i;
    const auto parsed = ParseKey(line);
    if (!parsed || !EqualsIgnoringAsciiCase(parsed->key, key)) continue;
    // Same key: only the value changes; the key as written and the line end stay.
    data.replace(lines[i].begin + parsed->value_begin,
                 lines[i].end - lines[i].begin - parsed->value_begin, value);
    return data;
  }
  const Line& last = lines[insert_after];
  std::string insertion;
  // The file's last line may lack its line feed; the new line must not run on from it.
  if (last.next == data.size() && data.back() != '\n') insertion = LineEndAfter(data);
  insertion += entry + "\r\n";
  data.insert(last.next, insertion);
  return data;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
  const auto data = ReadFile(path_, false);
  if (!data) return std::string(fallback);
  return ReadIniValue(*data, section, key).value_or(std::string(fallback));
}

void IniFile::Write(std::string_view section,
                    std::initializer_list<std::pair<std::string_view, std::string_view>> values) {
  // A line break would split the entry in two: the value reads back cut short and the rest
  // stays behind as a line of its own.
  for (const auto& [key, value] : values) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) {
      throw EIniFileException("Unable to write to " + path_ + ": a value holds a line break");
    }
  }
  std::string data = ReadFile(path_, true).value_or(std::string());
  for (const auto& [key, value] : values)
    data = WriteIniValue(std::move(data), section, key, value);
  ReplaceFile(path_, data);
}

}  // namespace tarn
