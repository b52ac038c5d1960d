// SPDX-License-Identifier: MIT
#include "widgets/frm_about.h"

#include <QKeyEvent>
#include <algorithm>

#include "widgets/artwork.h"

namespace tarn {

TFrm_About::TFrm_About(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("关于湖光"));
  setFixedSize(kClientWidth, kClientHeight);
  setModal(true);
  directory_bg1 = new TImage(this);
  directory_bg1->setObjectName(QStringLiteral("directory_bg1"));
  // The picture is 7 rows taller than the window; those rows never show.
  directory_bg1->setGeometry(0, 0, 350, 450);
  directory_bg1->SetPicture(Artwork(QStringLiteral("about.jpg")));
  directory_bg1->OnClick = [this](QObject* sender) { directory_bg1Click(sender); };
}

void TFrm_About::directory_bg1Click(QObject*) { close(); }

// The card has no buttons: Escape and Enter do nothing.
void TFrm_About::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void TFrm_About::PlaceOver(QWidget* owner) {
  const QRect outer = owner->frameGeometry();
  // Not shown yet, so our own frame is unknown: both windows wear the same decorations.
  const QSize frame = size() + (outer.size() - owner->size());
  const int left = outer.left() + (outer.width() - frame.width()) / 2;
  const int top = outer.top() + (outer.height() - frame.height()) / 2;
  move(std::max(left, 0), std::max(top, 0));
}

int TFrm_About::ShowModal(QWidget* owner) {
  if (!shown_before_ && owner != nullptr) PlaceOver(owner);
  shown_before_ = true;
  exec();
  // Every way out is a close request, which a modal window answers with "cancel".
  return kModalResultCancel;
}

}  // namespace tarn
