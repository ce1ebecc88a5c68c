#include "execution/ui/FolderChooser.h"

#include <QHeaderView>
#include <QStyle>
#include <QTreeView>
#include <algorithm>

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
  // Qt's width for the time column suits its short desktop format, not the
  // full date and time.
  if (auto* details = findChild<QTreeView*>()) {
    const QFontMetrics metrics = details->fontMetrics();
    int digit = 0;
    for (char c = '0'; c <= '9'; ++c) digit = std::max(digit, metrics.horizontalAdvance(QLatin1Char(c)));
    const int margins = 2 * (details->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, details) + 1);
    const int width = 12 * digit + metrics.horizontalAdvance(QStringLiteral("// :")) + margins;
    QHeaderView* header = details->header();
    header->resizeSection(FolderChooserModel::ColumnTime, std::max(width, header->sectionSize(FolderChooserModel::ColumnTime)));
  }
}

std::optional<QString> FolderChooser::choose(QWidget* parent, const QString& title, const QString& start) {
  FolderChooser chooser(parent, title, start);
  if (chooser.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = chooser.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  return chosen.front();
}

}  // namespace ritoma
