// SPDX-License-Identifier: MIT
#include "app/folder_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace tarn {

bool ChooseFolder(QWidget* owner, const QString& instruction, const QString& root,
                  QString& folder) {
  if (!QFileInfo(folder).isDir()) folder.clear();
  const QString start = !folder.isEmpty() ? folder : root;
  const QString chosen =
      QFileDialog::getExistingDirectory(owner, instruction, start, QFileDialog::ShowDirsOnly);
  if (chosen.isEmpty()) return false;
  // A root keeps its delimiter ("/"), any other folder has none.
  folder = QDir::toNativeSeparators(QDir::cleanPath(chosen));
  return true;
}

}  // namespace tarn
