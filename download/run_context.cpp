// SPDX-License-Identifier: MIT
#include "download/run_context.h"

#include <filesystem>
#include <random>
#include <set>

#include "base/file_path.h"
#include "download/low_space.h"
#include "download/photo_name.h"
#include "download/photo_part_file.h"
#include "download/photo_source.h"
#include "net/http/http_errors.h"
#include "settings/page_address.h"

namespace tarn {
namespace {

// A walk that keeps finding new pages is a server's loop, not an album.
constexpr int kMaxPages = 2000;
// Moves of a first page followed among the service's own pages, as a browser would follow a few.
constexpr int kMaxPageMoves = 5;
// Reasons of failed photos the message names; the count says the rest.
constexpr size_t kMaxReasonsTold = 5;

constexpr int kNotFound = 404;
constexpr int kForbidden = 403;

// "https://host[:port]/" of an address: the Referer of the first page, as after a visit to the
// service's home page.
std::string SiteRoot(std::string_view address) {
  const size_t host = address.find("://");
  const size_t path = address.find('/', host == std::string_view::npos ? 0 : host + 3);
  return std::string(address.substr(0, path)) + "/";
}

// Where an answer moves a page of the service to, when that is a page of a form the program
// reads, over https on the service's own hosts; nothing for anywhere else.
std::optional<std::string> ServicePageMove(const net::EIdHTTPProtocolException& answer) {
  const int status = answer.ErrorCode();
  if (status < 300 || status > 399) return std::nullopt;
  const std::optional<PageAddress> page = ReadPageAddress(answer.Location());
  if (!page || !page->https) return std::nullopt;
  return std::string(answer.Location());
}

}  // namespace

int HttpStatusOf(const std::exception& failure) {
  const auto* answer = dynamic_cast<const net::EIdHTTPProtocolException*>(&failure);
  return answer != nullptr ? answer->ErrorCode() : 0;
}

RunContext::RunContext(DownloadEvents& events, const DownloadJob& job, std::stop_token stop)
    : events_(events),
      job_(job),
      stop_(std::move(stop)),
      client_(job.settings.timeouts),
      pacer_(job.pacer ? job.pacer
                       : std::make_shared<RequestPacer>(job.service.pause, std::random_device{}())),
      plain_(MakePlainManners(job, *pacer_)),
      service_(MakeServiceManners(job, *pacer_)),
      manners_(plain_.get()),
      // A stop wakes the fetch under way at once; every later one fails.
      abort_(stop_, [this] { client_.Abort(); }) {
  client_.SetSignIn(job.sign_in);
  if (job.settings.preview)
    preview_.emplace([this](RgbImage image) { events_.PreviewReady(std::move(image)); });
}

RunContext::~RunContext() = default;

bool RunContext::BeforeRequest(std::string_view accept, const std::string& referer) {
  return manners_->BeforeRequest(client_, accept, referer, stop_);
}

std::optional<FirstPage> RunContext::FetchFirstPage() {
  FirstPage first;
  std::string error;
  bool ok = false;
  try {
    ok = WithRetries(
        [&](int) {
          // Read afresh at every attempt; an https address makes the run one of today's service
          // from its first request on.
          first.address = job_.Now().address;
          manners_ = IsHttpsAddress(first.address) ? service_.get() : plain_.get();
          BeforeRequest(kPageAccept, SiteRoot(first.address));
          client_.FollowUpgrades(false);
          for (int moves = 0;; ++moves) {
            try {
              first.body = client_.FetchText(first.address);
              break;
            } catch (const net::EIdHTTPProtocolException& answer) {
              std::optional<std::string> moved;
              if (net::IsUpgradeRedirect(answer.ErrorCode(), answer.Location(), first.address)) {
                moved = std::string(answer.Location());
                // The server moved the page to https: today's service, with its manners and its
                // refusals from this request on.
                manners_ = service_.get();
              } else if (manners_ == service_.get() && moves < kMaxPageMoves) {
                // An old page of the service moved to one of its own list pages.
                moved = ServicePageMove(answer);
              }
              if (!moved) throw;
              first.address = std::move(*moved);
              BeforeRequest(kPageAccept, SiteRoot(first.address));
            }
          }
        },
        error);
  } catch (const net::ETlsSetupError& failure) {
    EndInsecure(failure);
    return std::nullopt;
  }
  client_.FollowUpgrades(true);
  if (!ok) {
    if (!Cancelled())
      EndRun(RunResult::Stop::kAlbumPage,
             "无法获取相册页面：" + QuotedText(first.address) + "\n" + error);
    return std::nullopt;
  }
  // Photos may come from the loopback or a private network only when the album does.
  client_.AllowPrivateHosts(client_.LastHostWasPrivate());
  first.secure = client_.LastFetchWasTls();
  first_address_ = first.address;
  return first;
}

std::optional<std::string> RunContext::FetchText(const std::string& address,
                                                 const std::string& referer, std::string& error) {
  std::string page;
  const bool ok = WithRetries(
      [&](int) {
        BeforeRequest(kPageAccept, referer);
        page = client_.FetchText(address);
      },
      error);
  if (!ok) return std::nullopt;
  return page;
}

std::optional<std::string> RunContext::FetchPageText(const std::string& address,
                                                     const std::string& referer) {
  std::string error;
  std::optional<std::string> page;
  try {
    page = FetchText(address, referer, error);
  } catch (const net::ETlsSetupError& failure) {
    EndInsecure(failure);
    return std::nullopt;
  }
  if (!page && !Cancelled())
    EndRun(RunResult::Stop::kAlbumPage, "无法获取相册页面：" + QuotedText(address) + "\n" + error);
  return page;
}

bool RunContext::Walk(PhotoSource& source, const FirstPage& first) {
  std::optional<std::string> next = source.ReadPage(*this, first.body, first.address);
  if (Ended()) return false;
  if (!job_.all_pages) return true;
  std::set<std::string> visited;
  for (int pages = 1; pages < kMaxPages && !result_.truncated; ++pages) {
    // A page that links back to one already read would never end the walk.
    if (!next || !visited.insert(*next).second) break;
    if (const std::optional<std::string> why = manners_->Refuses(*next)) {
      CutWalk("相册的下一页没有读取：" + *why + QuotedText(*next));
      break;
    }
    const std::string address = std::move(*next);
    const std::optional<std::string> page = FetchPageText(address, first.address);
    if (!page) return false;
    next = source.ReadPage(*this, *page, address);
    if (Ended()) return false;
  }
  return true;
}

bool RunContext::AddPhoto(ListedPhoto photo) {
  if (photos_.size() >= job_.settings.max_photos) {
    result_.truncated = true;
    return false;
  }
  photos_.push_back(std::move(photo));
  return true;
}

void RunContext::ReportScan() {
  result_.found = static_cast<int>(photos_.size());
  events_.ScanReported(result_.found);
}

bool RunContext::HoldFolder(const std::string& folder) {
  for (const FolderLock& held : folders_) {
    std::error_code ignored;
    if (held.Folder() == folder ||
        std::filesystem::equivalent(PathFromUtf8(held.Folder()), PathFromUtf8(folder), ignored))
      return true;
  }
  FolderLock lock(folder);
  if (lock.Busy()) {
    EndRun(RunResult::Stop::kFile, "另一个下载正在向这个文件夹保存照片：" + QuotedText(folder) +
                                       "\n请等它结束后再试，或换一个保存文件夹。");
    return false;
  }
  folders_.push_back(std::move(lock));
  return true;
}

bool RunContext::SaveNamedPhoto(size_t index, const std::string& folder, const std::string& stem,
                                const std::vector<PhotoAttempt>& attempts,
                                const std::string& referer, std::string& name) {
  if (!HoldFolder(folder)) return false;
  if (const std::optional<std::string> earlier = SavedPhotoPath(folder, stem)) {
    name = Utf8FromPath(PathFromUtf8(*earlier).filename());
    return PhotoHandled(index, *earlier, false);
  }
  if (const std::optional<std::string> low = LowSpaceMessage(folder)) {
    EndRun(RunResult::Stop::kFile, *low);
    return false;
  }
  std::string saved_path, why;
  try {
    PhotoPartFile part(folder, stem);
    for (const PhotoAttempt& attempt : attempts) {
      if (const std::optional<std::string> refused = manners_->Refuses(attempt.address)) {
        why = *refused + QuotedText(attempt.address);
        break;
      }
      fetching_raw_ = attempt.size == PhotoSize::kRaw;
      int status = 0;
      const bool fetched = WithRetries(
          [&](int) {
            part.Stream().Rewind();  // no bytes of an earlier attempt stay
            BeforeRequest(kImageAccept, referer);
            client_.FetchToStream(attempt.address, part.Stream());
          },
          why, &status);
      if (fetched) {
        switch (JudgePhotoBytes(part.FirstBytes(), part.Stream().Position())) {
          case PhotoBytes::kPhoto:
            saved_path = part.Commit().path;
            why.clear();
            break;
          case PhotoBytes::kPage:
            throw ServiceRefused{200};  // a captcha page in place of the photo
          case PhotoBytes::kEmpty:
            why = "服务器发来的照片是空的：" + QuotedText(attempt.address);
            break;
          case PhotoBytes::kOther:
            why = "服务器发来的不是 JPEG 或 WebP 图片：" + QuotedText(attempt.address);
            break;
        }
        break;
      }
      // Only a size or format the service lacks sends the photo down the ladder.
      if (status != kNotFound && !(status == kForbidden && fetching_raw_)) break;
    }
  } catch (const net::FileStreamError& failure) {
    EndRun(RunResult::Stop::kFile, "无法保存照片：" + QuotedText(FileInFolder(folder, stem)) +
                                       "\n" + QuotedText(failure.Message()));
  } catch (const net::ETlsSetupError& failure) {
    EndInsecure(failure);
  }
  if (!saved_path.empty()) name = Utf8FromPath(PathFromUtf8(saved_path).filename());
  return PhotoHandled(index, saved_path, true, stem + "：" + why);
}

bool RunContext::PhotoHandled(size_t index, const std::string& path, bool fetched,
                              std::string why) {
  if (path.empty()) {
    if (Ended()) return false;
    ++result_.failed;
    if (failures_.size() < kMaxReasonsTold && !why.empty()) failures_.push_back(std::move(why));
  } else {
    ++result_.saved;
    if (!fetched) ++result_.already_there;
  }
  events_.PhotoDone(static_cast<int>(index + 1), path, fetched);
  if (!path.empty() && fetched && preview_) preview_->Submit(path);
  return true;
}

void RunContext::EndRun(RunResult::Stop why, std::string text) {
  result_.stop = why;
  result_.message = std::move(text);
}

// Nothing more is fetched from a service whose secure connection failed: the message names the
// address and the reason.
void RunContext::EndInsecure(const std::exception& failure) {
  EndRun(RunResult::Stop::kSecure, "无法建立安全连接：" + QuotedText(client_.LastAddress()) + "\n" +
                                       QuotedText(failure.what()));
}

void RunContext::CloseMessage() {
  if (Ended()) return;
  std::string& message = result_.message;
  if (result_.failed > 0) {
    message = "有 " + std::to_string(result_.failed) + " 张照片未能保存。";
    for (const std::string& why : failures_) message += "\n" + why;
  }
  const auto add = [&message](const std::string& line) {
    if (!message.empty()) message += "\n";
    message += line;
  };
  if (result_.truncated)
    add("相册照片太多，只保存了前 " + std::to_string(photos_.size()) + " 张。");
  if (!walk_cut_.empty()) {
    result_.walk_cut = true;
    add(walk_cut_);
  }
}

void RunContext::Finish() {
  // The last photo saved is the one left in the preview.
  if (preview_ && !Cancelled()) preview_->Drain();
  preview_.reset();
  if (!Cancelled()) events_.Finished(result_);
}

}  // namespace tarn
