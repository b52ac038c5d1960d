// SPDX-License-Identifier: MIT
#include "widgets/t_new_image.h"

#include <QEnterEvent>

namespace tarn {

TNewImage::TNewImage(QWidget* parent) : TImage(parent) {}

void TNewImage::enterEvent(QEnterEvent* event) {
  TImage::enterEvent(event);
  HandleMouseEnterMessage();
}

void TNewImage::leaveEvent(QEvent* event) {
  TImage::leaveEvent(event);
  HandleMouseLeaveMessage();
}

void TNewImage::HandleMouseEnterMessage() { MouseEnter(); }

void TNewImage::HandleMouseLeaveMessage() { MouseLeave(); }

// Handler first, cursor second: the cursor switches even when the handler is not set.
void TNewImage::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
  setCursor(Qt::PointingHandCursor);
}

void TNewImage::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
  unsetCursor();
}

}  // namespace tarn
