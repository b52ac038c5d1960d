// SPDX-License-Identifier: MIT
#include "cli/options.h"

#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "base/cut_text.h"
#include "base/file_path.h"
#include "base/safe_replace.h"
#include "base/text.h"
#include "net/proxy/proxy_errors.h"
#include "net/proxy/proxy_url.h"
#include "service/page_address.h"
#include "settings/sign_in_file.h"

namespace tarn::cli {
namespace {

constexpr const char* kExitStatuses =
    "退出码：0 全部照片已保存；1 有照片未能保存；2 参数或相册地址有误（未下载）；\n"
    "3 被服务拒绝；4 无法获取相册页面；130 被中断。";

// Most bytes read from --input: far more than any list of addresses.
constexpr std::streamsize kMaxListBytes = 16 << 20;

bool ReadList(const std::string& source, std::string& text) {
  std::istream* in = &std::cin;
  std::ifstream file;
  if (source != "-") {
    file.open(PathFromUtf8(source), std::ios::binary);
    if (!file) return false;
    in = &file;
  }
  std::ostringstream bytes;
  std::vector<char> buffer(64 << 10);
  std::streamsize total = 0;
  while (total <= kMaxListBytes && in->read(buffer.data(), buffer.size()).gcount() > 0) {
    bytes.write(buffer.data(), in->gcount());
    total += in->gcount();
  }
  text = bytes.str();
  return !in->bad() && total <= kMaxListBytes;
}

// Whether --cookies names what looks like a file rather than a Cookie line pasted in its
// place, whose values must never be echoed.
bool LooksLikePath(std::string_view source) {
  return source.find_first_of("=;\"") == std::string_view::npos &&
         source.find_first_of("/\\.") != std::string_view::npos;
}

// The sign-in of the run: --cookies, else the window's file. False after a message on standard
// error. Never a cookie's value in a message: only where it came from.
bool ReadSignIn(const std::string& source, net::SignIn& sign_in) {
  std::vector<net::UserCookie> cookies;
  if (!source.empty()) {
    std::string text;
    if (!ReadList(source, text)) {
      if (LooksLikePath(source))
        std::cerr << "tarn-get：无法读取 Cookie 文件：" << source << "\n";
      else
        std::cerr << "tarn-get：无法读取 Cookie 文件。--cookies 后面是文件名或 '-'"
                     "（标准输入），不是 Cookie 本身。\n";
      return false;
    }
    net::CookieImport import = ReadUserCookies(text);
    if (const std::string problem = SignInProblem(import); !problem.empty()) {
      std::cerr << "tarn-get：" << source << "：" << problem << "\n";
      return false;
    }
    cookies = std::move(import.cookies);
  } else {
    const std::string path = SignInFilePath();
    try {
      std::optional<SavedSignIn> saved = path.empty() ? std::nullopt : LoadSignIn(path);
      if (!saved) return true;
      if (saved->others_may_read) std::cerr << "tarn-get：" << OthersMayReadMessage(path) << "\n";
      if (!saved->unusable.empty()) {
        // Public pages need none; one that does says so itself.
        std::cerr << "tarn-get：" << UnusableSignInMessage(path, saved->unusable)
                  << "\n这次不登录下载。\n";
        return true;
      }
      cookies = std::move(saved->cookies);
    } catch (const FileError& error) {
      std::cerr << "tarn-get：" << error.what() << "\n用 --no-cookies 可以不登录下载。\n";
      return false;
    }
  }
  sign_in = ServiceSignIn(std::move(cookies));
  return true;
}

}  // namespace

std::vector<std::string> ReadAddressList(std::string_view text) {
  std::vector<std::string> addresses;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    for (size_t hash = line.find('#'); hash != std::string_view::npos;
         hash = line.find('#', hash + 1)) {
      if (hash == 0 || line[hash - 1] == ' ' || line[hash - 1] == '\t') {
        line = line.substr(0, hash);
        break;
      }
    }
    line = Trim(line);
    if (!line.empty()) addresses.emplace_back(line);
  }
  return addresses;
}

std::variant<Options, int> ParseOptions(int argc, char** argv, const ServiceSettings& kept) {
  Options options;
  options.service = kept;
  std::string input;
  std::string cookies;
  bool no_cookies = false;
  std::string proxy;
  bool no_proxy = false;
  std::string size(PhotoSizeName(kept.photo_size));
  int pause_ms = static_cast<int>(kept.pause.count());
  int image_pause_ms = static_cast<int>(kept.image_pause.count());
  CLI::App app("湖光小集 tarn-get：把相册里的照片全部保存到一个文件夹。", "tarn-get");
  app.footer(kExitStatuses);
  app.set_version_flag("--version", std::string("tarn-get ") + TARN_VERSION);
  app.add_option("ALBUM_ADDRESS", options.albums, "相册地址");
  app.add_option("-o,--folder", options.folder, "保存文件夹（默认：当前文件夹；不存在时创建）");
  app.add_flag("-1,--first-page", options.first_page,
               "只保存相册第一页（窗口的标准模式）；默认：所有页面");
  app.add_option("-i,--input", input, "更多相册地址，一行一个（'#' 开始注释；'-' 为标准输入）");
  app.add_option("--size", size, "今日相册的照片尺寸（默认 l，或 Config.ini 的 Photo_Size）")
      ->check(CLI::IsMember({"m", "l", "xl", "raw"}));
  app.add_option("--pause", pause_ms,
                 "今日相册两次请求之间的间隔，毫秒（默认 800，或 Config.ini 的 Request_Pause）")
      ->check(CLI::Range(int64_t{0}, int64_t{kMaxRequestPause.count()}));
  app.add_option("--image-pause", image_pause_ms,
                 "今日相册两张照片之间的间隔，毫秒（默认 250，或 Config.ini 的 Image_Pause）")
      ->check(CLI::Range(int64_t{0}, int64_t{kMaxRequestPause.count()}));
  app.add_flag("-q,--quiet", options.quiet, "不显示进度，只显示错误");
  // A file, never the cookies themselves: other users see a command line in the process list.
  auto* cookies_option = app.add_option(
      "--cookies", cookies,
      "登录用的 Cookie 文件：浏览器复制的 Cookie 行或 cookies.txt（'-' 为标准输入）；"
      "默认：窗口里保存的登录");
  app.add_flag("--no-cookies", no_cookies, "不登录下载")->excludes(cookies_option);
  auto* proxy_option = app.add_option(
      "--proxy", proxy,
      "经代理连接：http://、socks5:// 或 socks5h://[用户:密码@]主机[:端口]（默认：Config.ini 的 "
      "Proxy，或 https_proxy 等环境变量）");
  app.add_flag("--no-proxy", no_proxy, "不用代理，直接连接")->excludes(proxy_option);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? 0 : static_cast<int>(kExitBadArguments);
  }

  options.service.photo_size = *ParsePhotoSize(size);  // checked by the option's rule
  options.service.pause = std::chrono::milliseconds(pause_ms);
  options.service.image_pause = std::chrono::milliseconds(image_pause_ms);
  if (no_proxy) options.service.proxy = {};
  if (!proxy.empty()) {
    try {
      (void)net::ParseProxyUrl(proxy);
    } catch (const net::EProxyError& error) {
      std::cerr << "tarn-get：--proxy：" << error.what() << "\n";
      return kExitBadArguments;
    }
    options.service.proxy = net::NamedProxyRules(proxy);
  }
  if (input == "-" && cookies == "-") {
    std::cerr << "tarn-get：--input 和 --cookies 不能都读标准输入。\n";
    return kExitBadArguments;
  }
  if (!input.empty()) {
    std::string text;
    if (!ReadList(input, text)) {
      std::cerr << "tarn-get：无法读取地址列表：" << input << "\n";
      return kExitBadArguments;
    }
    const std::vector<std::string> more = ReadAddressList(text);
    options.albums.insert(options.albums.end(), more.begin(), more.end());
  }
  if (options.albums.empty()) {
    std::cerr << "tarn-get：没有相册地址。用 --help 查看用法。\n";
    return kExitBadArguments;
  }
  bool all_good = true;
  for (const std::string& address : options.albums) {
    if (!ReadPageAddress(address)) {
      std::cerr << "tarn-get：此下载地址暂时不支持：" << QuotedText(address) << "\n";
      all_good = false;
    }
  }
  if (!all_good) {
    std::cerr << AcceptedAddressForms() << "\n";
    return kExitBadArguments;
  }
  if (!no_cookies && !ReadSignIn(cookies, options.sign_in)) return kExitBadArguments;
  return options;
}

}  // namespace tarn::cli
