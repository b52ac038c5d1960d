// SPDX-License-Identifier: MIT
#include "app/sign_in_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMetaObject>
#include <QPointer>
#include <QVBoxLayout>

#include "app/form1.h"
#include "app/message_boxes.h"
#include "base/clean_text.h"
#include "base/safe_replace.h"
#include "service/hosts.h"
#include "settings/sign_in_file.h"

namespace tarn {
namespace {

constexpr int kDialogWidth = 440;
constexpr int kPasteLines = 4;
const QString kPasteAgain =
    QStringLiteral("\n请粘贴浏览器里 Cookie 那一行，或者选择 cookies.txt 文件。");

QString Text(const std::string& text) { return QString::fromStdString(text); }

// "bid、dbcl2、ck": what the user may see of the cookies.
QString NamesOf(const std::vector<net::UserCookie>& cookies) {
  QStringList names;
  for (const net::UserCookie& c : cookies) names << Text(c.name);
  return names.join(QStringLiteral("、"));
}

// A label that shows what the user or the service wrote: never markup, nothing that steers.
void PlainLabel(QLabel* label) {
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
}

}  // namespace

SignInChecker ServiceChecker(ServiceSettings service) {
  return [service = std::move(service)](const net::SignIn& sign_in, std::stop_token stop) {
    return CheckSignIn(sign_in, PhotoHost(), service, stop);
  };
}

QString ChooseCookieFile(QWidget* owner) {
  return QFileDialog::getOpenFileName(owner, QStringLiteral("选择 cookies.txt"), QString(),
                                      QStringLiteral("cookies.txt (*.txt);;所有文件 (*)"));
}

SignInDialog::SignInDialog(std::string file, SignInChecker check, CookieFileChooser choose,
                           QWidget* parent)
    : QDialog(parent),
      file_(std::move(file)),
      check_(std::move(check)),
      choose_(std::move(choose)) {
  setWindowTitle(QStringLiteral("登录豆瓣"));
  if (parent != nullptr) setFont(parent->font());  // a window takes no font from its owner
  setFixedWidth(kDialogWidth);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(244, 244, 244));
  setPalette(palette);
  setAutoFillBackground(true);

  auto* hint = new QLabel(
      QStringLiteral("用浏览器里已登录的豆瓣：在开发者工具的“网络”里点一个 www.douban.com "
                     "的请求，复制请求标头里的 "
                     "Cookie 一行粘贴到下面；或者选择浏览器扩展导出的 cookies.txt。不需要密码。"));
  PlainLabel(hint);
  edt_Cookie = new QPlainTextEdit;
  edt_Cookie->setObjectName(QStringLiteral("edt_Cookie"));
  edt_Cookie->setPlaceholderText(QStringLiteral("Cookie: bid=…; dbcl2=\"…\"; ck=…"));
  edt_Cookie->setFixedHeight(edt_Cookie->fontMetrics().lineSpacing() * kPasteLines + 10);
  btn_Save = new QPushButton(QStringLiteral("保存"));
  btn_File = new QPushButton(QStringLiteral("选择 cookies.txt…"));
  btn_Check = new QPushButton(QStringLiteral("检查"));
  btn_SignOut = new QPushButton(QStringLiteral("退出登录"));
  btn_Close = new QPushButton(QStringLiteral("关闭"));
  lbl_State = new QLabel;
  lbl_State->setObjectName(QStringLiteral("lbl_State"));
  PlainLabel(lbl_State);
  SetTextColor(lbl_State, kFormGreen);
  auto* where =
      new QLabel(QStringLiteral("登录信息只保存在这台电脑上，只有你能读取：") + Text(file_));
  PlainLabel(where);
  SetTextColor(where, Qt::darkGray);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btn_Save);
  buttons->addWidget(btn_File);
  buttons->addStretch();
  buttons->addWidget(btn_Check);
  buttons->addWidget(btn_SignOut);
  auto* closing = new QHBoxLayout;
  closing->addWidget(where, 1);
  closing->addWidget(btn_Close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(hint);
  layout->addWidget(edt_Cookie);
  layout->addLayout(buttons);
  layout->addWidget(lbl_State);
  layout->addLayout(closing);

  connect(btn_Save, &QPushButton::clicked, this, [this] { Guarded([this] { btn_SaveClick(); }); });
  connect(btn_File, &QPushButton::clicked, this, [this] { Guarded([this] { btn_FileClick(); }); });
  connect(btn_Check, &QPushButton::clicked, this,
          [this] { Guarded([this] { btn_CheckClick(); }); });
  connect(btn_SignOut, &QPushButton::clicked, this,
          [this] { Guarded([this] { btn_SignOutClick(); }); });
  connect(btn_Close, &QPushButton::clicked, this, &QDialog::accept);

  try {
    const std::optional<SavedSignIn> saved = LoadSignIn(file_);
    if (!saved) {
      ShowState(QStringLiteral("未登录。"));
    } else if (!saved->unusable.empty()) {
      ShowState(Text(UnusableSignInMessage(file_, saved->unusable)) + kPasteAgain);
    } else {
      QString state = QStringLiteral("已登录（%1 个 Cookie：%2）")
                          .arg(saved->cookies.size())
                          .arg(NamesOf(saved->cookies));
      if (saved->others_may_read) state += QStringLiteral("\n") + Text(OthersMayReadMessage(file_));
      ShowState(state);
    }
  } catch (const FileError& error) {
    ShowState(Text(error.what()));
  }
}

SignInDialog::~SignInDialog() {
  checking_ = {};  // stops the check and joins it while the dialog is whole
}

void SignInDialog::btn_SaveClick() { Take(edt_Cookie->toPlainText().toStdString()); }

void SignInDialog::btn_FileClick() {
  const QString path = choose_(this);
  if (path.isEmpty()) return;
  // A FIFO would hold the window until something writes to it.
  if (!QFileInfo(path).isFile()) return ShowState(QStringLiteral("不是普通文件：") + path);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return ShowState(QStringLiteral("无法读取文件：") + path + QStringLiteral("\n") +
                     file.errorString());
  // One byte beyond the bound is enough to find a file too large.
  Take(file.read(static_cast<qint64>(net::kMaxCookieText) + 1).toStdString());
}

void SignInDialog::Take(std::string_view text) {
  const net::CookieImport import = ReadUserCookies(text);
  // The sign-in saved before stays until one that works takes its place.
  if (const std::string problem = SignInProblem(import); !problem.empty())
    return ShowState(QStringLiteral("没有保存：") + Text(problem) + kPasteAgain);
  try {
    SaveSignIn(file_, import.cookies);
  } catch (const FileError& error) {
    return ShowState(Text(error.what()));
  }
  edt_Cookie->clear();
  QString state = QStringLiteral("已保存 %1 个 Cookie：%2")
                      .arg(import.cookies.size())
                      .arg(NamesOf(import.cookies));
  if (import.foreign > 0)
    state += QStringLiteral("\n其他网站的 %1 个 Cookie 没有保存。").arg(import.foreign);
  ShowState(state);
}

void SignInDialog::btn_CheckClick() {
  std::optional<SavedSignIn> saved;
  try {
    saved = LoadSignIn(file_);
  } catch (const FileError& error) {
    return ShowState(Text(error.what()));
  }
  if (!saved) return ShowState(QStringLiteral("还没有登录：先粘贴 Cookie 或选择 cookies.txt。"));
  if (!saved->unusable.empty())
    return ShowState(Text(UnusableSignInMessage(file_, saved->unusable)) + kPasteAgain);
  btn_Check->setEnabled(false);
  ShowState(QStringLiteral("正在检查…"));
  checking_ = std::jthread([this, sign_in = ServiceSignIn(std::move(saved->cookies)),
                            check = check_](std::stop_token stop) {
    const SignInCheck result = check(sign_in, stop);
    QMetaObject::invokeMethod(
        this, [this, result] { CheckDone(result); }, Qt::QueuedConnection);
  });
}

void SignInDialog::CheckDone(const SignInCheck& check) {
  btn_Check->setEnabled(true);
  ShowState(Text(SignInCheckMessage(check)));
}

void SignInDialog::btn_SignOutClick() {
  try {
    RemoveSignIn(file_);
  } catch (const FileError& error) {
    return ShowState(Text(error.what()));
  }
  ShowState(QStringLiteral("已退出登录。"));
}

void SignInDialog::ShowState(const QString& text) {
  lbl_State->setText(Text(CleanLines(text.toStdString())));
  // At its fixed width the dialog takes the height its lines need, however many the state has.
  setFixedHeight(heightForWidth(kDialogWidth));
}

}  // namespace tarn
