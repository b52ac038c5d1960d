// SPDX-License-Identifier: MIT
#include "app/sign_in_dialog.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "app/form1.h"
#include "base/file_path.h"
#include "service/hosts.h"
#include "support/message_recorder.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::TempDir;

constexpr const char* kSecret = "SeCrEt";
constexpr int kWaitMs = 10000;  // bound on waiting for the check's thread

// Every text the dialog shows, to look for a cookie's value in.
QString ShownTexts(const QWidget& dialog) {
  QString texts;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) texts += label->text() + "\n";
  for (const QPlainTextEdit* edit : dialog.findChildren<QPlainTextEdit*>())
    texts += edit->toPlainText() + "\n";
  return texts;
}

class SignInDialogTest : public ::testing::Test {
 protected:
  SignInDialogTest() { qputenv("TARN_PHOTO_HOST", "www.douban.com"); }
  ~SignInDialogTest() override { qunsetenv("TARN_PHOTO_HOST"); }

  TempDir dir_;
  const std::string file_ = dir_.File("tarn/cookies.txt");
  net::SignIn checked_;
  std::string name_ = "湖光测试者";
  SignInChecker check_ = [this](const net::SignIn& sign_in, std::stop_token) {
    checked_ = sign_in;
    SignInCheck check;
    check.outcome = SignInCheck::Outcome::kSignedIn;
    check.person_id = PersonIdOf(sign_in.cookies);
    check.name = name_;
    return check;
  };
  QString chosen_;
  SignInDialog dialog_{file_, check_, [this](QWidget*) { return chosen_; }};
};

// A paste replaces the saved sign-in only when it holds one; the state, in as many lines as it
// takes, names what was wrong.
TEST_F(SignInDialogTest, APasteIsSavedOnlyWithAUsableSignInAndNeverShownBack) {
  const std::string old_sign_in = "dbcl2=\"1:old\"";
  const struct {
    std::string text;
    bool saved;
    const char* state;
  } cases[] = {
      {"Cookie: bid=Xy; dbcl2=\"1:SeCrEt\"", true, "已保存 2 个 Cookie：bid、dbcl2"},
      {"hello SeCrEt", false, "没有豆瓣的 Cookie"},
      {".google.com\tTRUE\t/\tFALSE\t0\tSID\tSeCrEt\n.douban.com\tTRUE\t/"
       "\tFALSE\t0\tdbcl2\t1:SeCrEt",
       true, "其他网站的 1 个 Cookie 没有保存"},
      {"bid=Xy; dbcl2=\"1:" + std::string(5000, 'S') + "\"; ck=SeCrEt", false, "太长"},
      {"bid=Xy; ck=SeCrEt", false, "没有 dbcl2"},
  };
  std::filesystem::create_directories(dir_.File("tarn"));
  dialog_.show();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    testing::WriteAll(file_, old_sign_in);
    dialog_.edt_Cookie->setPlainText(QString::fromStdString(c.text));
    dialog_.btn_Save->click();
    EXPECT_EQ(testing::ReadAll(file_) != old_sign_in, c.saved);
    EXPECT_TRUE(dialog_.lbl_State->text().contains(QString::fromUtf8(c.state)))
        << dialog_.lbl_State->text().toStdString();
    if (c.saved) {
      EXPECT_FALSE(ShownTexts(dialog_).contains(QLatin1String(kSecret)));
    }
    QApplication::processEvents();
    for (const QLabel* label : dialog_.findChildren<QLabel*>())  // it grows with its state
      EXPECT_GE(label->height(), label->heightForWidth(label->width()))
          << label->text().toStdString();
  }
}

TEST_F(SignInDialogTest, AChosenFileIsTaken) {
  dialog_.btn_FileClick();  // cancelled: nothing happens
  EXPECT_FALSE(std::filesystem::exists(file_));
#ifdef _WIN32
  std::filesystem::create_directory(PathFromUtf8(dir_.File("fifo")));  // no fifos there
#else
  ::mkfifo(dir_.File("fifo").c_str(), 0600);
#endif
  chosen_ = QString::fromStdString(dir_.File("fifo"));
  dialog_.btn_File->click();  // no file: refused at once, never waited on
  EXPECT_FALSE(std::filesystem::exists(file_));
  testing::WriteAll(dir_.File("export.txt"),
                    ".douban.com\tTRUE\t/\tTRUE\t0\tdbcl2\t\"1:SeCrEt\"\n");
  chosen_ = QString::fromStdString(dir_.File("export.txt"));
  dialog_.btn_File->click();
  EXPECT_TRUE(std::filesystem::exists(file_));
}

TEST_F(SignInDialogTest, TheCheckRunsOnItsOwnThreadWithTheServicesOrigins) {
  dialog_.btn_Check->click();
  EXPECT_TRUE(dialog_.lbl_State->text().startsWith(QStringLiteral("还没有登录")));
  dialog_.edt_Cookie->setPlainText(QStringLiteral("dbcl2=\"51234567:SeCrEt\""));
  dialog_.btn_Save->click();
  name_ = "<b>湖光</b>\u202E测试者";  // markup stays text; nothing turns the rest around
  dialog_.btn_Check->click();
  EXPECT_FALSE(dialog_.btn_Check->isEnabled());
  QTRY_VERIFY_WITH_TIMEOUT(dialog_.btn_Check->isEnabled(), kWaitMs);
  EXPECT_EQ(dialog_.lbl_State->textFormat(), Qt::PlainText);
  EXPECT_EQ(dialog_.lbl_State->text(),
            QStringLiteral("已登录：<b>湖光</b>测试者（用户 51234567）"));
  EXPECT_EQ(checked_.origins.at(0).host, PhotoHost());
}

TEST(SignInDialog, ClosingStopsACheckUnderWay) {
  TempDir dir;
  testing::WriteAll(dir.File("cookies.txt"), "dbcl2=1");
  bool stopped = false;
  {
    SignInDialog dialog(
        dir.File("cookies.txt"),
        [&](const net::SignIn&, std::stop_token stop) {
          std::mutex mutex;
          std::condition_variable_any wake;
          std::unique_lock lock(mutex);
          stopped = wake.wait(lock, stop, [] { return false; }) || stop.stop_requested();
          return SignInCheck{};
        },
        [](QWidget*) { return QString(); });
    dialog.btn_Check->click();
  }
  EXPECT_TRUE(stopped);
}

TEST(SignInEntry, SitsInTheSettingsPanelOverNoOtherControlAndOpensTheDialog) {
  TempDir dir;
  TForm1 form;
  const QRect entry = form.lbl_SignIn->geometry();
  EXPECT_TRUE(form.gift_normalimg3->geometry().contains(entry));
  for (const QWidget* other : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (other == form.lbl_SignIn || other == form.gift_normalimg3 || !other->isVisibleTo(&form))
      continue;
    EXPECT_FALSE(other->geometry().intersects(entry)) << other->objectName().toStdString();
  }
  form.SignInFile = dir.File("cookies.txt");
  testing::WriteAll(form.SignInFile, "bid=1");
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<SignInDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->btn_SignOut->click();
    dialog->btn_Close->click();
  });
  form.lbl_SignInClick(form.lbl_SignIn);
  EXPECT_EQ(form.lbl_SignIn->text(), QStringLiteral("登录"));
}

TEST(SignInEntry, ASavedSignInThatSignsNobodyInIsNeverShownAsSignedIn) {
#ifdef _WIN32
  GTEST_SKIP() << "%APPDATA% is read once per process";
#endif
  TempDir dir;
  testing::MessageRecorder messages;
  qputenv("TARN_PHOTO_HOST", "www.douban.com");
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(Utf8FromPath(dir.path())));
  std::filesystem::create_directories(dir.File("tarn"));
  for (const char* text : {"", "bid=1; ck=2"}) {
    SCOPED_TRACE(text);
    testing::WriteAll(dir.File("tarn/cookies.txt"), text);
    TForm1 form;  // its entry reads the file
    EXPECT_NE(form.lbl_SignIn->text(), QStringLiteral("已登录"));
    const SignInDialog dialog(form.SignInFile, {}, {});
    EXPECT_FALSE(dialog.lbl_State->text().startsWith(QStringLiteral("已登录")));
    EXPECT_TRUE(form.RunSignIn().cookies.empty());
  }
  EXPECT_EQ(messages.plain.size(), 2);  // each run says why it goes signed out
  qunsetenv("XDG_CONFIG_HOME");
  qunsetenv("TARN_PHOTO_HOST");
}

TEST(SignInEntry, ARunTakesTheSavedSignInAndSaysOnceThatOthersMayReadIt) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows files have no modes for others";
#endif
  TempDir dir;
  testing::MessageRecorder messages;
  qputenv("TARN_PHOTO_HOST", "127.0.0.1:8443");
  TForm1 form;
  form.SignInFile = dir.File("cookies.txt");
  EXPECT_TRUE(form.RunSignIn().cookies.empty());
  testing::WriteAll(form.SignInFile, "dbcl2=\"1:SeCrEt\"");
  std::filesystem::permissions(
      PathFromUtf8(form.SignInFile),
      std::filesystem::perms::group_read | std::filesystem::perms::others_read,
      std::filesystem::perm_options::add);
  for (int run = 0; run < 2; ++run) {
    const net::SignIn sign_in = form.RunSignIn();
    ASSERT_EQ(sign_in.cookies.size(), 1u);
    EXPECT_EQ(sign_in.origins.at(0).port, 8443);
  }
  ASSERT_EQ(messages.plain.size(), 1);
  EXPECT_TRUE(messages.plain[0].contains(QString::fromStdString(form.SignInFile)));
  qunsetenv("TARN_PHOTO_HOST");
}

}  // namespace
}  // namespace tarn
