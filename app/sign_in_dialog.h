// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>

#include "download/sign_in_check.h"

namespace tarn {

// Checks a sign-in; runs on a thread of its own, and a stop breaks it off.
using SignInChecker = std::function<SignInCheck(const net::SignIn&, std::stop_token)>;
// Asks for a cookies.txt; empty when the user cancels.
using CookieFileChooser = std::function<QString(QWidget* owner)>;

// The check against the configured photo host, asked the way `service` asks.
SignInChecker ServiceChecker(ServiceSettings service);
// The system's file dialog.
QString ChooseCookieFile(QWidget* owner);

// Where the user gives, checks and removes the sign-in kept in `file`. No cookie value is ever
// shown back: the pasted text is cleared once saved, and only names appear.
class SignInDialog : public QDialog {
  Q_OBJECT

 public:
  SignInDialog(std::string file, SignInChecker check, CookieFileChooser choose,
               QWidget* parent = nullptr);
  ~SignInDialog() override;  // a check under way is stopped and waited for

  QPlainTextEdit* edt_Cookie;
  QPushButton* btn_Save;
  QPushButton* btn_File;
  QPushButton* btn_Check;
  QPushButton* btn_SignOut;
  QPushButton* btn_Close;
  QLabel* lbl_State;

  void btn_SaveClick();
  void btn_FileClick();
  void btn_CheckClick();
  void btn_SignOutClick();

 private:
  // Saves the service's cookies of a text in either form and says what was kept.
  void Take(std::string_view text);
  void ShowState(const QString& text);
  void CheckDone(const SignInCheck& check);

  std::string file_;
  SignInChecker check_;
  CookieFileChooser choose_;
  std::jthread checking_;
};

}  // namespace tarn
