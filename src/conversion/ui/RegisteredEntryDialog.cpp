#include "conversion/ui/RegisteredEntryDialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace ritoma {

RegisteredEntryDialog::RegisteredEntryDialog(const QString& caption, const char* deleteQuestion,
                                             QtUserInteraction& interaction, QWidget* parent)
    : QDialog(parent),
      interaction_(interaction),
      caption_(caption),
      deleteQuestion_(deleteQuestion),
      newEntry_(caption == QStringLiteral("登録")) {}

void RegisteredEntryDialog::addButtons(QLayout* body) {
  auto* update = new QPushButton(caption_, this);
  update->setObjectName(QStringLiteral("ButtonUpdate"));
  update->setDefault(true);
  auto* remove = new QPushButton(QStringLiteral("削除"), this);
  remove->setObjectName(QStringLiteral("ButtonDelete"));
  remove->setEnabled(!newEntry_);
  auto* cancel = new QPushButton(QStringLiteral("CANCEL"), this);
  cancel->setObjectName(QStringLiteral("ButtonCancel"));
  connect(update, &QPushButton::clicked, this, &RegisteredEntryDialog::ButtonUpdateClick);
  connect(remove, &QPushButton::clicked, this, &RegisteredEntryDialog::ButtonDeleteClick);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(update);
  buttons->addWidget(remove);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body);
  layout->addLayout(buttons);
}

void RegisteredEntryDialog::ButtonUpdateClick() {
  outcome_ = Outcome::Updated;
  accept();
}

void RegisteredEntryDialog::ButtonDeleteClick() {
  // The question sits where the dialog sits, so it covers the entry it is about.
  switch (interaction_.askAt(QuestionKind::YesNoCancel, QString::fromUtf8(deleteQuestion_), QStringLiteral("確認"),
                             frameGeometry().topLeft())) {
    case Answer::Yes: outcome_ = Outcome::Deleted; accept(); break;
    case Answer::No: outcome_ = Outcome::Kept; accept(); break;
    default: break;
  }
}

}  // namespace ritoma
