#pragma once

#include <QFileDialog>
#include <QString>
#include <optional>

namespace ritoma {

// The folder browser of the window: folders only, Qt's own dialog in every
// desktop, so that its kinds and times read as the window's do
// (FolderChooserModel) and Qt's Japanese texts label the rest.
class FolderChooser : public QFileDialog {
  Q_OBJECT
public:
  FolderChooser(QWidget* parent, const QString& title, const QString& start);

  // Shows the chooser modally: the chosen folder, or nothing on cancel.
  static std::optional<QString> choose(QWidget* parent, const QString& title, const QString& start);
};

}  // namespace ritoma
