// SPDX-License-Identifier: MIT
#include "widgets/t_label.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

namespace tarn {

TLabel::TLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setMouseTracking(true);  // moves are reported without a button held
}

void TLabel::mousePressEvent(QMouseEvent* event) {
  clicks_.Press(event);
  QLabel::mousePressEvent(event);
}

void TLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (clicks_.Release(event, rect()) && OnClick) OnClick(this);
  QLabel::mouseReleaseEvent(event);
}

void TLabel::mouseMoveEvent(QMouseEvent* event) {
  if (OnMouseMove) OnMouseMove(this);
  QLabel::mouseMoveEvent(event);
}

void TLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  if (OnMouseLeave) OnMouseLeave(this);
}

}  // namespace tarn

namespace tarn {

void TLabel::SetLineHeight(int pixels) {
  line_height_ = pixels;
  update();
}

void TLabel::paintEvent(QPaintEvent* event) {
  if (line_height_ <= 0) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  QTextLayout layout(text(), font());
  QTextOption option(alignment());
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  const QFontMetrics metrics(font());
  // Centre each line's glyphs in its slot.
  const qreal offset = (line_height_ - metrics.height()) / 2.0;
  layout.beginLayout();
  for (int y = 0; y < height(); y += line_height_) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(width());
    line.setPosition(QPointF(0, y + offset));
  }
  layout.endLayout();
  layout.draw(&painter, QPointF(0, 0));
}

}  // namespace tarn
