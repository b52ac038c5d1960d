// SPDX-License-Identifier: MIT
#pragma once

#include <QMessageBox>
#include <QString>
#include <exception>
#include <memory>

class QWidget;

namespace tarn {

// The program's caption for every message box.
inline const char* const kAppTitle = "湖光小集";

// Where message boxes go; tests install a recorder instead of real boxes.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A plain box: the message and an OK button.
  virtual void Show(QWidget* parent, const QString& text) = 0;
  // The error report: stop icon, the message, an OK button.
  virtual void ShowError(QWidget* parent, const QString& text) = 0;
};

// A real box with the program's caption and one OK button, its text bounded (BoxText) and
// shown as plain text: a server's words never turn into markup, and the box fits the screen.
std::unique_ptr<QMessageBox> MakeMessageBox(QMessageBox::Icon icon, const QString& text,
                                            QWidget* parent);

MessageBoxes& Messages();
// Replaces the boxes (not owned); nullptr brings back the real ones.
void SetMessages(MessageBoxes* boxes);

// The application-wide error report of an error that escaped an event handler.
void ReportError(const std::exception& error);

// Runs an event handler; an error that escapes it goes to the error report and the event loop
// goes on.
template <class Handler>
void Guarded(Handler&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ReportError(error);
  }
}

}  // namespace tarn
