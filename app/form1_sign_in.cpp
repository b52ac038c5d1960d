// SPDX-License-Identifier: MIT
// The sign-in's entry in the settings panel, its dialog, and the sign-in a run takes; the
// proxy's line under it.
#include "app/form1.h"
#include "app/message_boxes.h"
#include "base/safe_replace.h"
#include "net/proxy/proxy_errors.h"
#include "net/proxy/proxy_url.h"

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

void TForm1::ShowProxyState() {
  // The service's addresses are https: their proxy is the one that matters.
  const net::ProxyRules& rules = ServiceOptions.proxy;
  const std::string& proxy = rules.https.empty() ? rules.http : rules.https;
  QString text;
  if (!proxy.empty()) {
    try {
      text = QStringLiteral("代理：") + QString::fromStdString(net::ParseProxyUrl(proxy).Name());
    } catch (const net::EProxyError&) {
      text = QStringLiteral("代理：地址无效");
    }
  }
  lbl_Proxy->setText(text);
  lbl_Proxy->setToolTip(text);
  lbl_Proxy->setVisible(!text.isEmpty());
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
