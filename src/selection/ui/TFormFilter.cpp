#include "selection/ui/TFormFilter.h"

#include <QEvent>
#include <QFrame>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "selection/FolderEnumerator.h"
#include "shell/ui/HelpViewer.h"

namespace ritoma {

const TFormFilter::Item TFormFilter::Items[6] = {
    {"ディレクトリ", FilterFolders}, {"システム", FilterSystem},   {"隠し属性", FilterHidden},
    {"書き込み禁止", FilterReadOnly}, {"アーカイブ", FilterArchive}, {"通常ファイル", FilterNormal},
};

TFormFilter::TFormFilter(std::uint32_t attributes, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("FormFilter"));
  setProperty("helpContext", 302);
  HelpViewer::bindKey(this);
  setModal(true);

  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::Box | QFrame::Plain);
  frame->setLineWidth(1);

  list_ = new QListWidget(frame);
  list_->setObjectName(QStringLiteral("CheckListBox1"));
  list_->setFrameShape(QFrame::NoFrame);
  list_->setSelectionMode(QAbstractItemView::NoSelection);
  for (const Item& item : Items) {
    auto* row = new QListWidgetItem(QString::fromUtf8(item.caption), list_);
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    row->setCheckState((attributes & item.bit) ? Qt::Checked : Qt::Unchecked);
  }
  // The keyboard only closes the pop-up: the list never holds the focus.
  list_->setFocusPolicy(Qt::NoFocus);
  list_->viewport()->installEventFilter(this);

  // Never seen, but it holds the focus, so Enter closes the pop-up.
  close_ = new QPushButton(frame);
  close_->setObjectName(QStringLiteral("ButtonClose"));
  close_->setDefault(true);
  close_->setAutoDefault(true);
  close_->setFixedSize(0, 0);
  close_->setFlat(true);
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);

  auto* inner = new QVBoxLayout(frame);
  inner->setContentsMargins(1, 1, 1, 1);
  inner->setSpacing(0);
  inner->addWidget(list_);
  inner->addWidget(close_);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(frame);

  const int rowHeight = list_->sizeHintForRow(0);
  list_->setFixedHeight(rowHeight * list_->count() + 2);
  list_->setMinimumWidth(list_->sizeHintForColumn(0) + 8);
  close_->setFocus();
}

std::uint32_t TFormFilter::attributes() const {
  std::uint32_t bits = 0;
  for (int i = 0; i < list_->count(); ++i)
    if (list_->item(i)->checkState() == Qt::Checked) bits |= Items[i].bit;
  return bits;
}

bool TFormFilter::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_->viewport() && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    accept();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace ritoma
