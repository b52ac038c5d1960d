// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tarn {

// Asks the user for a folder. instruction is shown with the chooser; root limits where it
// starts (empty: none); folder comes in as the folder to preselect (emptied when it is no
// existing directory; empty: nothing preselected) and goes out as the chosen one. Returns true
// when the user confirmed a folder; on cancel the folder stays as it came in.
using FolderChooser = std::function<bool(QWidget* owner, const QString& instruction,
                                         const QString& root, QString& folder)>;

// The chooser on the system's directory dialog: directories only, no typing of new paths.
bool ChooseFolder(QWidget* owner, const QString& instruction, const QString& root, QString& folder);

}  // namespace tarn
