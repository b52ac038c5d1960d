// SPDX-License-Identifier: MIT
#include "app/download_window_view.h"

#include <memory>

#include "app/form1.h"
#include "app/message_boxes.h"
#include "base/text.h"
#include "widgets/artwork.h"

namespace tarn {
namespace {
std::string Trimmed(const QString& text) { return std::string(Trim(text.toStdString())); }
}  // namespace

DownloadWindowView::DownloadWindowView(TForm1* form)
    : form_(form),
      address_(Trimmed(form->edt_directory_URL->text())),
      folder_(Trimmed(form->edt_directory->text())) {
  address_watch_ = QObject::connect(form->edt_directory_URL, &QLineEdit::textChanged,
                                    [this](const QString& text) {
                                      std::lock_guard lock(mutex_);
                                      address_ = Trimmed(text);
                                    });
  folder_watch_ =
      QObject::connect(form->edt_directory, &QLineEdit::textChanged, [this](const QString& text) {
        std::lock_guard lock(mutex_);
        folder_ = Trimmed(text);
      });
}

DownloadWindowView::~DownloadWindowView() {
  QObject::disconnect(address_watch_);
  QObject::disconnect(folder_watch_);
}

std::string DownloadWindowView::AlbumAddress() {
  std::lock_guard lock(mutex_);
  return address_;
}

std::string DownloadWindowView::SaveFolder() {
  std::lock_guard lock(mutex_);
  return folder_;
}

template <class Change>
void DownloadWindowView::Post(Change&& change) {
  QPointer<TForm1> form = form_;
  if (form.isNull()) return;
  QMetaObject::invokeMethod(
      form.data(),
      [form, change = std::forward<Change>(change)]() mutable {
        if (!form.isNull()) change(*form);
      },
      Qt::QueuedConnection);
}

void DownloadWindowView::ScanReported(int total) {
  Post([total](TForm1& form) {
    form.lbl_DownTotal->show();
    form.lbl_DownWancheng->show();
    form.pb_download->setMaximum(total);
    form.txt_download->hide();
    form.lbl_DownTotal->setText(QString::number(total));
  });
}

void DownloadWindowView::PhotoDone(int done) {
  Post([done](TForm1& form) {
    form.pb_download->setValue(done);
    form.lbl_DownWancheng->setText(QString::number(done));
  });
}

void DownloadWindowView::ShowPreview(RgbImage image) {
  auto picture = std::make_shared<QImage>(ToQImage(image));
  Post([picture](TForm1& form) { form.img_display->SetPicture(QPixmap::fromImage(*picture)); });
}

void DownloadWindowView::Finished(const std::string& message) {
  Post([message](TForm1& form) {
    form.pb_download->hide();
    form.txt_download->hide();
    if (!message.empty()) Messages().Show(&form, QString::fromStdString(message));
  });
}

}  // namespace tarn
