// SPDX-License-Identifier: MIT
// The sign-in's entry in the settings panel, its dialog, and the sign-in a run takes.
#include "app/form1.h"
#include "app/message_boxes.h"
#include "base/safe_replace.h"

namespace tarn {

void TForm1::ShowSignInState() {
  QString state = QStringLiteral("登录");
  try {
    if (const std::optional<SavedSignIn> saved = LoadSignIn(SignInFile))
      state = saved->unusable.empty() ? QStringLiteral("已登录") : QStringLiteral("登录无效");
  } catch (const FileError&) {
    state = QStringLiteral("登录无效");
  }
  lbl_SignIn->setText(state);
}

void TForm1::lbl_SignInClick(QObject*) {
  SignInDialog dialog(SignInFile, CheckSignInFn ? CheckSignInFn : ServiceChecker(ServiceOptions),
                      ChooseCookieFileFn, this);
  dialog.exec();
  ShowSignInState();
}

void TForm1::lbl_SignInMouseMove(QObject*) {
  QFont font = lbl_SignIn->font();
  if (font.underline()) return;
  font.setUnderline(true);
  lbl_SignIn->setFont(font);
}

void TForm1::lbl_SignInMouseLeave(QObject*) {
  QFont font = lbl_SignIn->font();
  font.setUnderline(false);
  lbl_SignIn->setFont(font);
}

net::SignIn TForm1::RunSignIn() {
  std::optional<SavedSignIn> saved;
  try {
    saved = LoadSignIn(SignInFile);
  } catch (const FileError& error) {
    Messages().Show(this,
                    QString::fromStdString(error.what()) + QStringLiteral("\n这次不登录下载。"));
    return {};
  }
  if (!saved) return {};
  if (!saved->unusable.empty()) {
    Messages().Show(this,
                    QString::fromStdString(UnusableSignInMessage(SignInFile, saved->unusable)) +
                        QStringLiteral("\n这次不登录下载。"));
    return {};
  }
  if (saved->others_may_read && !told_others_may_read_) {
    told_others_may_read_ = true;
    Messages().Show(this, QString::fromStdString(OthersMayReadMessage(SignInFile)));
  }
  return ServiceSignIn(std::move(saved->cookies));
}

}  // namespace tarn
