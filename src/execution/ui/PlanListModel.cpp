#include "execution/ui/PlanListModel.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include "execution/MarkText.h"
#include "execution/RowStatus.h"
#include "selection/ui/FolderIcons.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

constexpr int IconSize = 16;

QString display(const std::string& cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }

// The fill of a square mark.
QColor markFill(RowMark mark) {
  switch (mark) {
    case MarkBlocked: return Qt::cyan;
    case MarkExists: return Qt::magenta;
    case MarkTempExists: return Qt::green;
    case MarkTempTooLong: return Qt::yellow;
    case MarkHeaderTooLong: return QColor(255, 140, 0);
    case MarkNone:
    case MarkFailed: break;
  }
  return {};
}

// The marks of the rows: squares in cyan (blocked), magenta (exists), green
// (temporary name exists), yellow (temporary name too long) and orange
// (archive header too long), and a red cross (failed), drawn in the lower
// left quarter like an overlay image.
void paintMark(QPainter& painter, RowMark mark) {
  const QRect box(0, IconSize / 2 - 1, IconSize / 2 + 1, IconSize / 2 + 1);
  painter.setRenderHint(QPainter::Antialiasing, false);
  switch (mark) {
    case MarkBlocked:
    case MarkExists:
    case MarkTempExists:
    case MarkTempTooLong:
    case MarkHeaderTooLong: {
      const QColor fill = markFill(mark);
      painter.setPen(Qt::black);
      painter.setBrush(fill);
      painter.drawRect(box.adjusted(0, 0, -1, -1));
      break;
    }
    case MarkFailed:
      painter.setPen(QPen(Qt::red, 2));
      painter.drawLine(box.topLeft(), box.bottomRight());
      painter.drawLine(box.bottomLeft(), box.topRight());
      break;
    case MarkNone:
      break;
  }
}

}  // namespace

PlanListModel::PlanListModel(const PlanList& plan, QObject* parent) : QAbstractTableModel(parent), plan_(plan) {
  QStyle* style = QApplication::style();
  images_[0] = style->standardIcon(QStyle::SP_FileIcon);
  // Folders as on page 選択: yellow on disk, grey inside an archive.
  images_[1] = FolderIcons::rowIcon(1);
  images_[2] = FolderIcons::rowIcon(2);
  for (int image = 0; image < 3; ++image) {
    const QPixmap base = images_[image].pixmap(IconSize, IconSize);
    for (int mark = 0; mark < MarkCount; ++mark) {
      QPixmap pixmap(IconSize, IconSize);
      pixmap.fill(Qt::transparent);
      QPainter painter(&pixmap);
      painter.drawPixmap(0, 0, base);
      paintMark(painter, static_cast<RowMark>(mark));
      painter.end();
      marked_[image][mark] = QIcon(pixmap);
    }
  }
}

QIcon PlanListModel::icon(int image, RowMark mark) const {
  const int i = image >= 0 && image < 3 ? image : 0;
  if (mark < MarkBlocked || mark >= MarkCount) return images_[i];
  return marked_[i][mark];
}

int PlanListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(plan_.rows.size());
}

int PlanListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant PlanListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const PlanRow& row = plan_.rows[static_cast<std::size_t>(index.row())];
  const int column = index.column();
  if (column == 0) {
    if (role == Qt::DecorationRole) return icon(row.image, row.mark);
    if (role == Qt::UserRole) return static_cast<int>(row.mark);
    if (role == Qt::ToolTipRole && row.mark != MarkNone) return QString::fromUtf8(MarkText::of(row.mark));
    return {};
  }
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  if (column == ResultColumn) {
    if (!shownRun_) return {};
    const auto r = static_cast<std::size_t>(index.row());
    return QString::fromStdString(RowStatus::afterRun(row, shownRun_->errorOf(r), shownRun_->noteOf(r)));
  }
  switch (column) {
    case PlanList::ColOldName:
      return display(row.oldName);
    case PlanList::ColNewName:
      return display(row.newName);
    default: {
      const auto r = static_cast<std::size_t>(index.row());
      const auto c = static_cast<std::size_t>(column);
      // Columns 7 to 10 hold the listed values of the columns 3 to 6.
      return display(c > PlanList::ColAttrs ? plan_.listedText(r, c - 4) : plan_.text(r, c));
    }
  }
}

QVariant PlanListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section == ResultColumn) return QString::fromUtf8(RowStatus::Caption);
  if (section <= 0 || section > static_cast<int>(PlanList::ColAttrs)) return QString();
  return display(plan_.caption(static_cast<std::size_t>(section)));
}

void PlanListModel::reload() {
  beginResetModel();
  endResetModel();
}

void PlanListModel::showRun(const RunResult& result) {
  shownRun_ = result;
  reload();
}

void PlanListModel::forgetRun() { shownRun_.reset(); }

}  // namespace ritoma
