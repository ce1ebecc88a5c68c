#include "selection/ui/FolderTreeWidget.h"

namespace ritoma {

void FolderTreeWidget::drawBranches(QPainter*, const QRect&, const QModelIndex&) const {}

}  // namespace ritoma
