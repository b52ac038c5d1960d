// SPDX-License-Identifier: MIT
#include "widgets/t_image.h"

#include <QMouseEvent>
#include <QPainter>

namespace tarn {

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::SetPicture(const QPixmap& picture) {
  picture_ = picture;
  update();
}

void TImage::SetStretch(bool stretch) {
  stretch_ = stretch;
  update();
}

void TImage::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter painter(this);
  if (stretch_) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), picture_);
  } else {
    painter.drawPixmap(0, 0, picture_);
  }
}

void TImage::Press(QMouseEvent* event, bool can_click) {
  clicks_.Press(event, can_click);
  if (OnMouseDown) OnMouseDown(this, event->button());
}

void TImage::mousePressEvent(QMouseEvent* event) { Press(event, true); }

// The second press of a double-click never ends in a click.
void TImage::mouseDoubleClickEvent(QMouseEvent* event) { Press(event, false); }

void TImage::mouseReleaseEvent(QMouseEvent* event) {
  // The click comes before the release.
  if (clicks_.Release(event, rect()) && OnClick) OnClick(this);
  if (OnMouseUp) OnMouseUp(this, event->button());
}

}  // namespace tarn
