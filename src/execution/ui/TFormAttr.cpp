#include "execution/ui/TFormAttr.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/ui/HelpViewer.h"
#include "shell/ui/OkCancelRow.h"

namespace ritoma {

namespace {

constexpr char Letters[] = "SHRA";

}  // namespace

TFormAttr::TFormAttr(PlanList& plan, std::vector<std::size_t> selected, QWidget* parent)
    : QDialog(parent), plan_(plan), selected_(std::move(selected)) {
  setObjectName(QStringLiteral("FormAttr"));
  setProperty("helpContext", 305);
  HelpViewer::bindKey(this);
  setWindowTitle(QStringLiteral("ﾌｧｲﾙ属性設定"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  auto* group = new QGroupBox(QStringLiteral("属性"), this);
  auto* groupLayout = new QVBoxLayout(group);
  static const char* const captions[] = {"システム", "隠し属性", "書き込み禁止", "アーカイブ"};
  for (int i = 0; i < 4; ++i) {
    boxes_[i] = new QCheckBox(QString::fromUtf8(captions[i]), group);
    boxes_[i]->setObjectName(QStringLiteral("CheckBox") + QLatin1Char(Letters[i]));
    groupLayout->addWidget(boxes_[i]);
  }
  all_ = new QCheckBox(QStringLiteral("全て変更"), this);
  all_->setObjectName(QStringLiteral("CheckBoxALL"));

  const OkCancelRow buttons(this);
  connect(buttons.ok(), &QPushButton::clicked, this, &TFormAttr::ButtonOkClick);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(all_);
  layout->addLayout(buttons.layout());

  FormCreate();
}

void TFormAttr::FormCreate() {
  // A folder row's empty text leaves every box clear.
  const std::string attrs = plan_.initialAttributes(selected_);
  for (std::size_t i = 0; i < 4; ++i) boxes_[i]->setChecked(i < attrs.size() && attrs[i] != '-');
  all_->setChecked(plan_.allBoxInitial(selected_));
}

void TFormAttr::ButtonOkClick() {
  std::string attrs;
  for (int i = 0; i < 4; ++i) attrs += boxes_[i]->isChecked() ? Letters[i] : '-';
  plan_.applyAttributeChange(attrs, all_->isChecked(), selected_);
  accept();
}

}  // namespace ritoma
