// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <functional>

#include "widgets/click_tracker.h"

namespace tarn {

// A text label that reports clicks, pointer moves over it and the pointer leaving it.
class TLabel : public QLabel {
  Q_OBJECT

 public:
  using NotifyEvent = std::function<void(QObject* sender)>;

  explicit TLabel(const QString& text, QWidget* parent = nullptr);

  // Word-wrapped text with this fixed distance between lines (0: the font's own), so several
  // lines of CJK text fit a label sized for tighter fonts.
  void SetLineHeight(int pixels);

  NotifyEvent OnClick;
  NotifyEvent OnMouseMove;
  NotifyEvent OnMouseLeave;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  ClickTracker clicks_;
  int line_height_ = 0;
};

}  // namespace tarn
