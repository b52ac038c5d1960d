// SPDX-License-Identifier: MIT
#include "app/message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "app/box_text.h"
#include "settings/error_text.h"

namespace tarn {
namespace {

class QtMessageBoxes : public MessageBoxes {
 public:
  void Show(QWidget* parent, const QString& text) override {
    MakeMessageBox(QMessageBox::NoIcon, text, parent)->exec();
  }
  void ShowError(QWidget* parent, const QString& text) override {
    MakeMessageBox(QMessageBox::Critical, text, parent)->exec();
  }
};

QtMessageBoxes real_boxes;
MessageBoxes* current = &real_boxes;

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(QMessageBox::Icon icon, const QString& text,
                                            QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(icon, QString::fromUtf8(kAppTitle),
                                           QString::fromStdString(BoxText(text.toStdString())),
                                           QMessageBox::Ok, parent);
  box->setTextFormat(Qt::PlainText);
  return box;
}

MessageBoxes& Messages() { return *current; }

void SetMessages(MessageBoxes* boxes) { current = boxes != nullptr ? boxes : &real_boxes; }

void ReportError(const std::exception& error) {
  Messages().ShowError(QApplication::activeWindow(),
                       QString::fromUtf8(ErrorReportText(error.what())));
}

}  // namespace tarn
