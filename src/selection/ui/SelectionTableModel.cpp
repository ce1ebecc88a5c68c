#include "selection/ui/SelectionTableModel.h"

#include <QMimeData>
#include <algorithm>

#include "selection/ui/FolderIcons.h"
#include "text/Composition.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

const QString RowsMimeType = QStringLiteral("application/x-ritoma-selection-rows");

QString display(const std::string& cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }

// Asked for each visible row as it is drawn, never for the whole listing. The
// "." that starts the extension bounds every sequence, so the parts are
// checked apart.
bool composed(const FileEntry& entry) {
  return Composition::isComposed(entry.baseName) && Composition::isComposed(entry.extension);
}

}  // namespace

SelectionTableModel::SelectionTableModel(SelectionList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {}

int SelectionTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.size());
}

int SelectionTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant SelectionTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || static_cast<std::size_t>(index.row()) >= list_.size()) return {};
  const FileEntry& entry = list_.row(static_cast<std::size_t>(index.row()));
  switch (index.column()) {
    case ColumnCheck:
      if (role == Qt::CheckStateRole) return entry.checked ? Qt::Checked : Qt::Unchecked;
      if (role == Qt::DecorationRole)
        return entry.isLink() ? FolderIcons::linkIcon(entry.kind == EntryKind::MissingLink)
                              : FolderIcons::rowIcon(entry.icon);
      return {};
    case SelectionList::ColumnName:
      switch (role) {
        case Qt::DisplayRole:
          return display(entry.baseName);
        case Qt::DecorationRole:
          return composed(entry) ? QVariant() : QVariant(FolderIcons::decomposedMark());
        case Qt::ForegroundRole:
          return composed(entry) ? QVariant() : QVariant(FolderIcons::decomposedColour());
        case Qt::ToolTipRole: {
          QStringList tips;
          if (entry.isLink())
            tips << (entry.kind == EntryKind::MissingLink ? QStringLiteral("ｼﾝﾎﾞﾘｯｸﾘﾝｸ (ﾘﾝｸ先がありません)")
                                                          : QStringLiteral("ｼﾝﾎﾞﾘｯｸﾘﾝｸ"));
          if (!composed(entry)) tips << DecomposedTip;
          return tips.isEmpty() ? QVariant() : QVariant(tips.join(QLatin1Char('\n')));
        }
        default:
          return {};
      }
    case SelectionList::ColumnExtension:
      return role == Qt::DisplayRole ? QVariant(display(entry.extension)) : QVariant();
    case SelectionList::ColumnSize:
      if (role == Qt::DisplayRole) return display(entry.sizeText);
      if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
      return {};
    case SelectionList::ColumnDate:
      return role == Qt::DisplayRole ? QVariant(display(entry.modifiedText)) : QVariant();
    default:
      return {};
  }
}

bool SelectionTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != ColumnCheck || role != Qt::CheckStateRole) return false;
  const auto row = static_cast<std::size_t>(index.row());
  list_.setChecked(row, value.value<Qt::CheckState>() == Qt::Checked);
  checksUpdated(row, row);
  return true;
}

Qt::ItemFlags SelectionTableModel::flags(const QModelIndex& index) const {
  // Read-only; the check image reacts to a press of any button, which the
  // view handles, so the delegate's own toggle (ItemIsUserCheckable) is off.
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled |
         Qt::ItemNeverHasChildren;
}

QVariant SelectionTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole) {
    if (section < SelectionList::ColumnName || section > SelectionList::ColumnDate) return QString();
    return display(list_.headerCaption(section));
  }
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

void SelectionTableModel::rebuild(const std::function<void()>& build) {
  beginResetModel();
  build();
  endResetModel();
  emit checksChanged();
}

void SelectionTableModel::toggleChecked(std::size_t row) {
  if (row >= list_.size()) return;
  list_.toggleChecked(row);
  checksUpdated(row, row);
}

void SelectionTableModel::setRowsChecked(const std::vector<std::size_t>& rows, bool checked) {
  if (rows.empty()) return;
  list_.setCheckedRows(rows, checked);
  const auto [lo, hi] = std::minmax_element(rows.begin(), rows.end());
  checksUpdated(*lo, *hi);
}

void SelectionTableModel::cycleChecks() {
  if (list_.size() == 0) return;
  list_.cycleChecks();
  checksUpdated(0, list_.size() - 1);
}

void SelectionTableModel::sortByColumn(int column) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  list_.sortByColumn(column);
  const QModelIndexList old = persistentIndexList();
  changePersistentIndexList(old, QModelIndexList(old.size()));
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  emit headerDataChanged(Qt::Horizontal, SelectionList::ColumnName, SelectionList::ColumnDate);
}

bool SelectionTableModel::dropRows(const std::vector<std::size_t>& selected, std::optional<std::size_t> target) {
  emit layoutAboutToBeChanged();
  const std::vector<std::size_t> newIndex = list_.moveRows(selected, target);
  if (!newIndex.empty()) {
    const QModelIndexList old = persistentIndexList();
    QModelIndexList moved;
    moved.reserve(old.size());
    for (const QModelIndex& index : old)
      moved.append(index.isValid()
                       ? createIndex(static_cast<int>(newIndex[static_cast<std::size_t>(index.row())]),
                                     index.column())
                       : QModelIndex());
    changePersistentIndexList(old, moved);
  }
  emit layoutChanged();
  return !newIndex.empty();
}

Qt::DropActions SelectionTableModel::supportedDragActions() const { return Qt::MoveAction; }

Qt::DropActions SelectionTableModel::supportedDropActions() const { return Qt::MoveAction; }

QStringList SelectionTableModel::mimeTypes() const { return {RowsMimeType}; }

QMimeData* SelectionTableModel::mimeData(const QModelIndexList& indexes) const {
  std::vector<int> rows;
  for (const QModelIndex& index : indexes)
    if (index.isValid()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  QByteArray encoded;
  for (int row : rows) {
    if (!encoded.isEmpty()) encoded += ',';
    encoded += QByteArray::number(row);
  }
  auto* data = new QMimeData;
  data->setData(RowsMimeType, encoded);
  return data;
}

bool SelectionTableModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                       const QModelIndex& parent) {
  if (!data || action != Qt::MoveAction || !data->hasFormat(RowsMimeType)) return false;
  std::vector<std::size_t> rows;
  for (const QByteArray& part : data->data(RowsMimeType).split(',')) {
    bool ok = false;
    const int row = part.toInt(&ok);
    if (!ok || row < 0 || static_cast<std::size_t>(row) >= list_.size()) return false;
    rows.push_back(static_cast<std::size_t>(row));
  }
  std::optional<std::size_t> target;
  if (parent.isValid()) target = static_cast<std::size_t>(parent.row());
  return dropRows(rows, target);
}

void SelectionTableModel::checksUpdated(std::size_t first, std::size_t last) {
  emit dataChanged(index(static_cast<int>(first), ColumnCheck), index(static_cast<int>(last), ColumnCheck),
                   {Qt::CheckStateRole});
  emit checksChanged();
}

}  // namespace ritoma
