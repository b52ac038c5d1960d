// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

#include "widgets/t_image.h"

namespace tarn {

// The About card: one picture; a click on it closes the window.
class TFrm_About : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 350;
  static constexpr int kClientHeight = 443;
  static constexpr int kModalResultCancel = 2;

  explicit TFrm_About(QWidget* parent = nullptr);

  // Shows the window modally over `owner`; centred over it on the first showing only, later
  // showings keep the place it had when it was last closed. Returns the modal result.
  int ShowModal(QWidget* owner);

  TImage* directory_bg1;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void directory_bg1Click(QObject* sender);
  void PlaceOver(QWidget* owner);

  bool shown_before_ = false;
};

}  // namespace tarn
