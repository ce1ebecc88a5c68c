#include "conversion/ui/ConversionListModel.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <map>

#include "selection/ui/FolderIcons.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

QString display(const std::string& cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }

// Folders as on page 選択: yellow on disk, grey inside an archive.
QPixmap baseImage(int icon) {
  if (icon != 0) return FolderIcons::rowIcon(icon).pixmap(16, 16);
  return QApplication::style()->standardIcon(QStyle::SP_FileIcon).pixmap(16, 16);
}

}  // namespace

ConversionListModel::ConversionListModel(ConversionList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {}

QIcon ConversionListModel::rowIcon(int icon, bool key) {
  static std::map<std::pair<int, bool>, QIcon> cache;
  const auto found = cache.find({icon, key});
  if (found != cache.end()) return found->second;
  QPixmap image = baseImage(icon);
  if (key) {
    QPainter painter(&image);
    QPen pen(QColor(0, 0, 255));
    pen.setWidth(2);
    painter.setPen(pen);
    painter.drawLine(8, 2, 8, 14);
    painter.drawLine(2, 8, 14, 8);
  }
  return cache.emplace(std::make_pair(icon, key), QIcon(image)).first->second;
}

int ConversionListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.rows.size());
}

int ConversionListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ConversionListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || static_cast<std::size_t>(index.row()) >= list_.rows.size()) return {};
  const ConversionRow& row = list_.rows[static_cast<std::size_t>(index.row())];
  switch (index.column()) {
    case ColumnCheck:
      if (role == Qt::CheckStateRole) return row.checked ? Qt::Checked : Qt::Unchecked;
      if (role == Qt::DecorationRole) return rowIcon(row.icon, row.key);
      return {};
    case ColumnSource:
      return role == Qt::DisplayRole ? QVariant(display(row.source)) : QVariant();
    case ColumnResult:
      return role == Qt::DisplayRole ? QVariant(display(row.result)) : QVariant();
    default:
      return {};
  }
}

Qt::ItemFlags ConversionListModel::flags(const QModelIndex& index) const {
  // The check image toggles on a press, which the view handles, so the
  // delegate's own toggle on release (ItemIsUserCheckable) is off.
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant ConversionListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case ColumnSource: return QStringLiteral("変換前");
    case ColumnResult: return QStringLiteral("変換後");
    default: return QString();
  }
}

void ConversionListModel::reload() {
  beginResetModel();
  endResetModel();
}

void ConversionListModel::rowsChanged(int column, const QList<int>& roles) {
  if (list_.rows.empty()) return;
  emit dataChanged(index(0, column), index(rowCount() - 1, column), roles);
}

void ConversionListModel::resultsChanged() { rowsChanged(ColumnResult, {Qt::DisplayRole}); }

void ConversionListModel::toggleChecked(std::size_t row) {
  if (row < list_.rows.size()) setChecked({row}, !list_.rows[row].checked);
}

void ConversionListModel::setChecked(const std::vector<std::size_t>& rows, bool checked) {
  for (std::size_t r : rows)
    if (r < list_.rows.size()) list_.rows[r].checked = checked;
  rowsChanged(ColumnCheck, {Qt::CheckStateRole});
}

void ConversionListModel::setKeys(const std::vector<std::size_t>& rows, bool key) {
  for (std::size_t r : rows)
    if (r < list_.rows.size()) list_.rows[r].key = key;
  rowsChanged(ColumnCheck, {Qt::DecorationRole});
}

void ConversionListModel::clearResults(const std::vector<std::size_t>& rows) {
  for (std::size_t r : rows)
    if (r < list_.rows.size()) list_.rows[r].result.clear();
  resultsChanged();
}

void ConversionListModel::setResult(std::size_t row, std::string result) {
  if (row >= list_.rows.size()) return;
  list_.rows[row].result = std::move(result);
  resultsChanged();
}

void ConversionListModel::headerClicked(int column) {
  auto& rows = list_.rows;
  switch (column) {
    case ColumnCheck: {
      const bool anyChecked = std::any_of(rows.begin(), rows.end(), [](const ConversionRow& r) { return r.checked; });
      for (ConversionRow& r : rows) r.checked = !anyChecked;
      rowsChanged(ColumnCheck, {Qt::CheckStateRole});
      break;
    }
    case ColumnSource:
      if (std::any_of(rows.begin(), rows.end(), [](const ConversionRow& r) { return r.key; })) {
        for (ConversionRow& r : rows) r.key = false;
        rowsChanged(ColumnCheck, {Qt::DecorationRole});
      }
      break;
    case ColumnResult:
      if (std::any_of(rows.begin(), rows.end(), [](const ConversionRow& r) { return !r.result.empty(); })) {
        for (ConversionRow& r : rows) r.result.clear();
        resultsChanged();
      }
      break;
    default:
      break;
  }
}

}  // namespace ritoma
