#include "shell/ui/OkCancelRow.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace ritoma {

OkCancelRow::OkCancelRow(QDialog* dialog) {
  ok_ = new QPushButton(QStringLiteral("OK"), dialog);
  ok_->setObjectName(QStringLiteral("ButtonOk"));
  ok_->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("CANCEL"), dialog);
  cancel->setObjectName(QStringLiteral("ButtonCancel"));
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  layout_ = new QHBoxLayout;
  layout_->addStretch();
  layout_->addWidget(ok_);
  layout_->addWidget(cancel);
}

}  // namespace ritoma
