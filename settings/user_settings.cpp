// SPDX-License-Identifier: MIT
#include "settings/user_settings.h"

#include "base/text.h"
#include "settings/ini_file.h"

namespace tarn {
namespace {

constexpr const char* kSection = "Config";
constexpr const char* kDirectoryKey = "DownLoad_Directory";
constexpr const char* kModeKey = "DownLoad_Mode";
constexpr const char* kPhotoSizeKey = "Photo_Size";
constexpr const char* kPauseKey = "Request_Pause";
constexpr const char* kImagePauseKey = "Image_Pause";
constexpr const char* kUserAgentKey = "User_Agent";
constexpr const char* kProxyKey = "Proxy";

// Blanks only: Trim also drops control characters, which must make a value fail instead.
std::string_view TrimSpaces(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::optional<std::chrono::milliseconds> ParseRequestPause(std::string_view text) {
  text = Trim(text);
  if (text.empty() || text.size() > 9) return std::nullopt;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > kMaxRequestPause.count()) return std::nullopt;
  return std::chrono::milliseconds(value);
}

std::optional<std::string> ParseUserAgent(std::string_view text) {
  text = TrimSpaces(text);
  if (text.empty() || text.size() > kMaxUserAgentBytes) return std::nullopt;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return std::nullopt;
  }
  return std::string(text);
}

ServiceSettings LoadServiceSettings(const std::string& file,
                                    const net::EnvironmentGetter& environment) {
  const IniFile ini(file);
  ServiceSettings service;
  if (const auto size = ParsePhotoSize(ini.ReadString(kSection, kPhotoSizeKey, "")))
    service.photo_size = *size;
  if (const auto pause = ParseRequestPause(ini.ReadString(kSection, kPauseKey, "")))
    service.pause = *pause;
  if (const auto pause = ParseRequestPause(ini.ReadString(kSection, kImagePauseKey, "")))
    service.image_pause = *pause;
  if (auto agent = ParseUserAgent(ini.ReadString(kSection, kUserAgentKey, "")))
    service.user_agent = std::move(*agent);
  const std::string proxy = ini.ReadString(kSection, kProxyKey, "");
  service.proxy = Trim(proxy).empty() ? net::ProxyRulesFromEnvironment(environment)
                                      : net::NamedProxyRules(proxy);
  return service;
}

UserSettings LoadUserSettings(const std::string& file, const net::EnvironmentGetter& environment) {
  const IniFile ini(file);
  return UserSettings{ini.ReadString(kSection, kDirectoryKey, ""),
                      ini.ReadString(kSection, kModeKey, ""),
                      LoadServiceSettings(file, environment)};
}

void SaveUserSettings(const std::string& file, const std::string& folder, int mode) {
  // Both keys in one write, so that no moment has the new folder with the old mode.
  IniFile(file).Write(kSection, {{kDirectoryKey, folder}, {kModeKey, std::to_string(mode)}});
}

}  // namespace tarn
