#include "execution/ui/FolderChooser.h"

#include "execution/ui/FolderChooserModel.h"

namespace ritoma {

FolderChooser::FolderChooser(QWidget* parent, const QString& title, const QString& start)
    : QFileDialog(parent, title, start) {
  setObjectName(QStringLiteral("FolderChooser"));
  // A desktop's own dialog would take neither the model nor the language.
  setOption(QFileDialog::DontUseNativeDialog);
  setOption(QFileDialog::ShowDirsOnly);
  setFileMode(QFileDialog::Directory);
  setViewMode(QFileDialog::Detail);
  setProxyModel(new FolderChooserModel(this));
}

std::optional<QString> FolderChooser::choose(QWidget* parent, const QString& title, const QString& start) {
  FolderChooser chooser(parent, title, start);
  if (chooser.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = chooser.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  return chosen.front();
}

}  // namespace ritoma
