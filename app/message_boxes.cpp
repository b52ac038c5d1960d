// SPDX-License-Identifier: MIT
#include "app/message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "settings/error_text.h"

namespace tarn {
namespace {

class QtMessageBoxes : public MessageBoxes {
 public:
  void Show(QWidget* parent, const QString& text) override {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kAppTitle), text, QMessageBox::Ok,
                    parent);
    box.exec();
  }
  void ShowError(QWidget* parent, const QString& text) override {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kAppTitle), text, QMessageBox::Ok,
                    parent);
    box.exec();
  }
};

QtMessageBoxes real_boxes;
MessageBoxes* current = &real_boxes;

}  // namespace

MessageBoxes& Messages() { return *current; }

void SetMessages(MessageBoxes* boxes) { current = boxes != nullptr ? boxes : &real_boxes; }

void ReportError(const std::exception& error) {
  Messages().ShowError(QApplication::activeWindow(),
                       QString::fromUtf8(ErrorReportText(error.what())));
}

}  // namespace tarn
