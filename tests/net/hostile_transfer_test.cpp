// SPDX-License-Identifier: MIT
// Servers that lie about a photo's size, drip it, or point the client at the user's own
// machine: the photo fails at the cap, the trickle fails after one window, and a refused
// address never opens a connection.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <future>
#include <string>

#include "base/str_to_int.h"
#include "client_test_support.h"
#include "net/http/http_client.h"
#include "net/http/http_errors.h"
#include "net/http/retry_rule.h"
#include "net/socket/address_guard.h"
#include "net/stream/file_stream.h"
#include "net/stream/memory_stream.h"
#include "net/stream/transfer_errors.h"
#include "support/child_process.h"
#include "support/loopback_server.h"

namespace tarn::net {
namespace {

using namespace testing;
using std::chrono::milliseconds;

constexpr uint64_t kTestCap = 1 << 20;
constexpr std::chrono::seconds kFetchBound{30};

class HostileTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() /
            ("tarn_transfer_" + std::to_string(getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".jpg");
  }
  void TearDown() override { std::filesystem::remove(path_); }

  // Fetches the one script into a fresh file under a 1 MiB cap; the failure's message.
  template <class Error>
  std::string FailureIntoFile(ConnectionScript script) {
    LoopbackServer server({std::move(script)});
    HttpTimeouts timeouts = TestTimeouts();
    timeouts.max_stream_body = kTestCap;
    std::string message;
    {
      HttpClient client(timeouts);
      FileStream file(path_.string());
      message = FailureOf<Error>([&] { client.FetchToStream(server.Url("/p.jpg"), file); });
    }
    ExpectCleanServer(server);
    return message;
  }

  uint64_t AllocatedBytes() const {
#ifdef _WIN32
    const HANDLE file = CreateFileW(path_.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    FILE_STANDARD_INFO info{};
    EXPECT_TRUE(GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof info));
    CloseHandle(file);
    return static_cast<uint64_t>(info.AllocationSize.QuadPart);
#else
    struct stat file {};
    EXPECT_EQ(stat(path_.c_str(), &file), 0);
    return static_cast<uint64_t>(file.st_blocks) * 512;
#endif
  }

  std::filesystem::path path_;
};

const std::string kCapMessage = "文件超过 1048576 字节的上限，已放弃。";

TEST_F(HostileTransfer, AnnouncedLengthBeyondTheCapFailsBeforeAnyByteAndReservesNothing) {
  EXPECT_EQ(FailureIntoFile<EBodyTooLarge>(
                {ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Length: 1073741824\r\n\r\nabc"),
                 AwaitClientClose()}),
            kCapMessage);
  EXPECT_EQ(std::filesystem::file_size(path_), 0u);
  EXPECT_EQ(AllocatedBytes(), 0u);
}

TEST_F(HostileTransfer, EndlessChunksFailAtTheCap) {
  EXPECT_EQ(FailureIntoFile<EBodyTooLarge>(
                {ReadRequest(), Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"),
                 SendRepeatedly("8000\r\n" + std::string(0x8000, 'c') + "\r\n")}),
            kCapMessage);
  EXPECT_LE(std::filesystem::file_size(path_), kTestCap);
}

TEST_F(HostileTransfer, EndlessBodyWithoutLengthFailsAtTheCap) {
  EXPECT_EQ(FailureIntoFile<EBodyTooLarge>({ReadRequest(), Send("HTTP/1.1 200 OK\r\n\r\n"),
                                            SendRepeatedly(std::string(32768, 'b'))}),
            kCapMessage);
  EXPECT_LE(std::filesystem::file_size(path_), kTestCap);
}

TEST_F(HostileTransfer, ReservationBeyondTheCapTakesNoBlocks) {
  if (tarn::testing::UnderWine()) GTEST_SKIP() << "Wine lays no blocks out ahead of the writes";
  FileStream file(path_.string());
  file.Reserve(kMaxPhotoBytes + 1);
  EXPECT_EQ(AllocatedBytes(), 0u);
  // A size that fits is still laid out, without showing in the file's length.
  file.Reserve(kTestCap);
  EXPECT_GE(AllocatedBytes(), kTestCap);
  EXPECT_EQ(std::filesystem::file_size(path_), 0u);
}

TEST(Reservation, FitsBelowTheCapAndLeavesTheMarginFree) {
  constexpr uint64_t kMiB = 1 << 20;
  const struct {
    uint64_t bytes;
    uint64_t free;
    bool allowed;
  } cases[] = {
      {kMiB, 1000 * kMiB, true},
      {kMaxPhotoBytes, 1000 * kMiB, true},
      {kMaxPhotoBytes + 1, 1000 * kMiB, false},
      {kMiB, kReserveMargin + kMiB, true},
      {kMiB + 1, kReserveMargin + kMiB, false},
      {1, kReserveMargin - 1, false},
      {1, 0, false},
      {1ull << 40, 1ull << 41, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MayReserve(c.bytes, c.free), c.allowed) << c.bytes << " of " << c.free;
  }
}

// A byte every 20 ms never lets the idle timeout fire; one window of 300 ms asks for 30.
TEST_F(HostileTransfer, TrickleFailsAfterOneWindowLikeASilentServer) {
  LoopbackServer server({{ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n"),
                          Trickle(std::string(1000, 't')), AwaitClientClose()}});
  HttpTimeouts timeouts = TestTimeouts();
  timeouts.idle_read = std::chrono::minutes(10);
  timeouts.rate_window = milliseconds(300);
  HttpClient client(timeouts);
  MemoryStream body(kTestCap);
  auto fetch = std::async(std::launch::async, [&] {
    return FailureOf<EIdReadTimeout>([&] { client.FetchToStream(server.Url("/"), body); });
  });
  if (fetch.wait_for(kFetchBound) != std::future_status::ready) {
    client.Abort();
    ADD_FAILURE() << "the trickle held the fetch";
  }
  EXPECT_EQ(fetch.get(), "Read Timeout");
  EXPECT_LT(body.Position(), 1000u);
  ExpectCleanServer(server);
}

TEST(RefusedAddress, ControlCharactersNeverOpenAConnection) {
  LoopbackServer server({});
  const std::string base = server.Url("/a");
  for (const std::string& address :
       {base + std::string(1, '\0') + ".evil/x", base + "\r\nX-Injected: 1", base + "\t",
        base + "\x7f", base + "\n",
        "http://127.0.0.1\x1f:" + std::to_string(server.Port()) + "/"}) {
    HttpClient client(TestTimeouts());
    EXPECT_THROW(client.FetchText(address), EAddressRefused) << address;
  }
  ExpectCleanServer(server);
}

TEST(RefusedAddress, MessageShowsTheControlCharacterAndCutsALongAddress) {
  HttpClient client(TestTimeouts());
  EXPECT_EQ(FailureOf<EAddressRefused>([&] { client.FetchText(std::string("http://a\0b/", 11)); }),
            "地址中含有控制字符，未发送：http://a\\x00b/");
  const std::string message = FailureOf<EAddressRefused>(
      [&] { client.FetchText("http://x/" + std::string(16384, 'y') + "\x01"); });
  EXPECT_LT(message.size(), 300u);
  EXPECT_TRUE(message.ends_with("…"));
}

TEST(RefusedAddress, PrivateHostsAreRefusedWhenNotAllowedWithoutAConnection) {
  LoopbackServer server({{ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok")}});
  HttpClient client(TestTimeouts());
  std::string page;
  EXPECT_TRUE(client.GetText(server.Url("/page"), page).private_host);
  EXPECT_EQ(page, "ok");
  client.AllowPrivateHosts(false);
  EXPECT_EQ(FailureOf<EAddressRefused>([&] {
              client.FetchText("http://localhost:" + std::to_string(server.Port()) + "/x");
            }),
            "拒绝连接本机或内网地址：localhost（127.0.0.1）");
  EXPECT_THROW(client.FetchText("http://10.1.2.3:1/x"), EAddressRefused);
  ExpectCleanServer(server);
}

TEST(RefusedAddress, PrivateRangesAndTheirNeighbours) {
  const struct {
    platform::IPv4Address address;
    bool is_private;
  } cases[] = {
      {{127, 0, 0, 1}, true},       {{127, 255, 1, 2}, true},    {{10, 0, 0, 1}, true},
      {{172, 16, 0, 1}, true},      {{172, 31, 255, 255}, true}, {{172, 15, 0, 1}, false},
      {{172, 32, 0, 1}, false},     {{192, 168, 1, 1}, true},    {{192, 169, 1, 1}, false},
      {{169, 254, 169, 254}, true}, {{169, 253, 0, 1}, false},   {{0, 0, 0, 0}, true},
      {{0, 1, 2, 3}, true},         {{11, 0, 0, 1}, false},      {{93, 184, 216, 34}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsPrivateAddress(c.address), c.is_private)
        << int(c.address[0]) << "." << int(c.address[1]);
  }
}

TEST(RetryRule, PermanentFailuresAreNotRetried) {
  const auto answer = [](int code) { return EIdHTTPProtocolException(code, "HTTP/1.1", ""); };
  const struct {
    std::exception_ptr failure;
    bool worth_retrying;
  } cases[] = {
      {std::make_exception_ptr(answer(404)), false},
      {std::make_exception_ptr(answer(403)), false},
      {std::make_exception_ptr(answer(400)), false},
      {std::make_exception_ptr(answer(418)), false},
      {std::make_exception_ptr(answer(408)), true},
      {std::make_exception_ptr(answer(429)), true},
      {std::make_exception_ptr(answer(500)), true},
      {std::make_exception_ptr(answer(503)), true},
      {std::make_exception_ptr(EAddressRefused("x")), false},
      {std::make_exception_ptr(EIdUnknownProtocol()), false},
      {std::make_exception_ptr(EIdIOHandlerPropInvalid()), false},
      {std::make_exception_ptr(EConvertError("'x' is not a valid integer value")), false},
      {std::make_exception_ptr(EBodyTooLarge(1)), false},
      {std::make_exception_ptr(FileStreamError("disk full")), false},
      {std::make_exception_ptr(FileNameTaken("taken")), false},
      {std::make_exception_ptr(EIdSocketError(10061)), true},
      {std::make_exception_ptr(EIdReadTimeout()), true},
      {std::make_exception_ptr(EIdConnClosedGracefully()), true},
      {std::make_exception_ptr(EIdException("Invalid chunk size line.")), true},
  };
  for (const auto& c : cases) {
    try {
      std::rethrow_exception(c.failure);
    } catch (const std::exception& failure) {
      EXPECT_EQ(IsWorthRetrying(failure), c.worth_retrying) << failure.what();
    }
  }
}

}  // namespace
}  // namespace tarn::net
