#include "ui/OptionDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "text/TextCodec.h"

namespace ritoma::metadata {

namespace {

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::string toCodePage932(const QString& text) { return TextCodec::fromDisplay(text.toStdU16String()); }

const QStringList kDateFormats = {QStringLiteral("%Y%m%d_%H%M%S"), QStringLiteral("%Y%m%d"),
                                  QStringLiteral("%Y-%m-%d"), QStringLiteral("%Y%m%d%H%M%S"),
                                  QStringLiteral("%Y年%m月%d日")};
const QStringList kWidths = {QString(), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")};

}  // namespace

OptionDialog::OptionDialog(const std::string& title, const FieldChoices& fields, QWidget* parent)
    : QDialog(parent), fields_(fields) {
  setObjectName(QStringLiteral("FormMetadataOption"));
  setWindowTitle(fromUtf8(title));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  comboBoxField_ = new QComboBox(this);
  comboBoxField_->setObjectName(QStringLiteral("ComboBoxField"));
  comboBoxField_->setEditable(true);
  comboBoxField_->setInsertPolicy(QComboBox::NoInsert);
  for (const FieldChoice& f : fields_) comboBoxField_->addItem(fromUtf8(f.field));
  labelField_ = new QLabel(this);
  labelField_->setObjectName(QStringLiteral("LabelField"));
  comboBoxFormat_ = new QComboBox(this);
  comboBoxFormat_->setObjectName(QStringLiteral("ComboBoxFormat"));
  comboBoxFormat_->setEditable(true);
  comboBoxFormat_->setInsertPolicy(QComboBox::NoInsert);
  editFallback_ = new QLineEdit(this);
  editFallback_->setObjectName(QStringLiteral("EditFallback"));
  labelMacro_ = new QLabel(this);
  labelMacro_->setObjectName(QStringLiteral("LabelMacro"));
  labelMacro_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("項目"), comboBoxField_);
  form->addRow(QString(), labelField_);
  form->addRow(QStringLiteral("書式"), comboBoxFormat_);
  form->addRow(QStringLiteral("ない時"), editFallback_);
  form->addRow(QStringLiteral("ｵﾌﾟｼｮﾝ"), labelMacro_);

  buttonOk_ = new QPushButton(QStringLiteral("OK"), this);
  buttonOk_->setObjectName(QStringLiteral("ButtonOk"));
  buttonOk_->setDefault(true);
  auto* buttonCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  buttonCancel->setObjectName(QStringLiteral("ButtonCancel"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(buttonOk_);
  buttons->addWidget(buttonCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);

  connect(comboBoxField_, &QComboBox::editTextChanged, this, [this] { fieldChanged(); });
  connect(comboBoxFormat_, &QComboBox::editTextChanged, this, [this] { refresh(); });
  connect(editFallback_, &QLineEdit::textChanged, this, [this] { refresh(); });
  connect(buttonOk_, &QPushButton::clicked, this, &QDialog::accept);
  connect(buttonCancel, &QPushButton::clicked, this, &QDialog::reject);
  fieldChanged();
}

const FieldChoice* OptionDialog::chosenField() const {
  const std::string field = comboBoxField_->currentText().trimmed().toStdString();
  for (const FieldChoice& f : fields_)
    if (f.field == field) return &f;
  return nullptr;
}

void OptionDialog::fieldChanged() {
  const FieldChoice* field = chosenField();
  const QString format = comboBoxFormat_->currentText();
  comboBoxFormat_->blockSignals(true);
  comboBoxFormat_->clear();
  if (!field) {
    // Typing a key letter by letter keeps the format typed for it; coming
    // from an offered field starts without one.
    labelField_->setText(QStringLiteral("ｷｰを直接指定"));
    comboBoxFormat_->addItems(kWidths + kDateFormats);
    comboBoxFormat_->setEnabled(true);
    comboBoxFormat_->setEditText(typingKey_ ? format : QString());
  } else {
    labelField_->setText(fromUtf8(field->description));
    comboBoxFormat_->setEnabled(field->kind != ValueKind::Text);
    if (field->kind == ValueKind::Date) comboBoxFormat_->addItems(kDateFormats);
    if (field->kind == ValueKind::Number) comboBoxFormat_->addItems(kWidths);
    comboBoxFormat_->setCurrentIndex(field->kind == ValueKind::Text ? -1 : 0);
    if (field->kind == ValueKind::Text) comboBoxFormat_->setEditText(QString());
  }
  comboBoxFormat_->blockSignals(false);
  typingKey_ = !field;
  refresh();
}

MacroOption OptionDialog::option() const {
  MacroOption out;
  out.field = toCodePage932(comboBoxField_->currentText().trimmed());
  out.format = comboBoxFormat_->isEnabled() ? toCodePage932(comboBoxFormat_->currentText()) : std::string();
  out.fallback = toCodePage932(editFallback_->text());
  return out;
}

void OptionDialog::refresh() {
  const QString field = comboBoxField_->currentText().trimmed();
  const QString format = comboBoxFormat_->isEnabled() ? comboBoxFormat_->currentText() : QString();
  const QString fallback = editFallback_->text();
  const QChar comma = QLatin1Char(','), close = QLatin1Char('>');
  const bool readsBack = !field.isEmpty() && !field.contains(comma) && !format.contains(comma) &&
                         !field.contains(close) && !format.contains(close) && !fallback.contains(close);
  buttonOk_->setEnabled(readsBack);
  labelMacro_->setText(readsBack ? QString::fromStdU16String(TextCodec::toDisplay(option().block()))
                                 : QStringLiteral("項目と書式に \",\" と \">\"、ない時に \">\" は使えません"));
}

std::optional<MacroOption> OptionDialog::ask(const std::string& title, const FieldChoices& fields,
                                             const RitomaPluginWindow* window) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return std::nullopt;
  OptionDialog dialog(title, fields, QApplication::activeWindow());
  if (window) {
    dialog.adjustSize();
    const QSize size = dialog.size();
    dialog.move(window->left + (window->width - size.width()) / 2,
                window->top + (window->height - size.height()) / 2);
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.option();
}

}  // namespace ritoma::metadata
