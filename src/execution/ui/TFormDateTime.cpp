#include "execution/ui/TFormDateTime.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "platform/TimeConvert.h"
#include "shell/ui/HelpViewer.h"
#include "shell/ui/OkCancelRow.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

const char* const TimeCaptions[] = {"ﾌｧｲﾙ作成日時", "最終更新日時", "最終ｱｸｾｽ日時"};

// The earliest day whose local midnight is a file time in every time zone.
const QDate FirstDate(1601, 1, 2);

std::optional<QDateTime> fromPlanText(const std::string& text) {
  const auto time = TimeConvert::fromText(text);
  if (!time) return std::nullopt;
  const CivilTime c = TimeConvert::toLocal(*time);
  return QDateTime(QDate(static_cast<int>(c.year), static_cast<int>(c.month), static_cast<int>(c.day)),
                   QTime(static_cast<int>(c.hour), static_cast<int>(c.minute), static_cast<int>(c.second)));
}

}  // namespace

TFormDateTime::TFormDateTime(PlanList& plan, std::size_t column, std::vector<std::size_t> selected,
                             QWidget* parent)
    : QDialog(parent), plan_(plan), selected_(std::move(selected)) {
  setObjectName(QStringLiteral("FormDateTime"));
  setProperty("helpContext", 305);
  HelpViewer::bindKey(this);
  setWindowTitle(QStringLiteral("ﾌｧｲﾙ日時設定"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  auto* sourceBox = new QGroupBox(QStringLiteral("元の日時"), this);
  static const char* const sourceCaptions[] = {"直接指定", TimeCaptions[0], TimeCaptions[1], TimeCaptions[2]};
  for (int i = 0; i < 4; ++i) {
    sources_[i] = new QRadioButton(QString::fromUtf8(sourceCaptions[i]), sourceBox);
    sources_[i]->setObjectName(QStringLiteral("RadioButtonDT%1").arg(i));
    connect(sources_[i], &QRadioButton::clicked, this, &TFormDateTime::RadioButtonDTClick);
  }
  sources_[0]->setChecked(true);

  const QLocale japanese(QLocale::Japanese, QLocale::Japan);
  date_ = new QDateEdit(sourceBox);
  date_->setObjectName(QStringLiteral("DateTimePickerD"));
  date_->setLocale(japanese);
  date_->setDisplayFormat(QStringLiteral("yyyy/MM/dd(ddd)"));
  date_->setCalendarPopup(true);
  date_->setMinimumDate(FirstDate);
  time_ = new QTimeEdit(sourceBox);
  time_->setObjectName(QStringLiteral("DateTimePickerT"));
  time_->setLocale(japanese);
  time_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
  now_ = new QPushButton(QStringLiteral("現在"), sourceBox);
  now_->setObjectName(QStringLiteral("ButtonnDTNow"));
  connect(now_, &QPushButton::clicked, this, &TFormDateTime::ButtonnDTNowClick);

  auto* sourceLayout = new QGridLayout(sourceBox);
  sourceLayout->addWidget(sources_[0], 0, 0);
  auto* pickers = new QHBoxLayout;
  pickers->addWidget(date_);
  pickers->addWidget(time_);
  pickers->addWidget(now_);
  sourceLayout->addLayout(pickers, 1, 0, 1, 2);
  sourceLayout->addWidget(sources_[1], 2, 0);
  sourceLayout->addWidget(sources_[2], 3, 0);
  sourceLayout->addWidget(sources_[3], 4, 0);

  auto* targetBox = new QGroupBox(QStringLiteral("変更する日時"), this);
  auto* targetLayout = new QGridLayout(targetBox);
  for (int k = 0; k < 3; ++k) {
    targets_[k] = new QCheckBox(QString::fromUtf8(TimeCaptions[k]), targetBox);
    targets_[k]->setObjectName(QStringLiteral("CheckBoxDT%1").arg(k + 1));
    all_[k] = new QCheckBox(QStringLiteral("全て変更"), targetBox);
    all_[k]->setObjectName(QStringLiteral("CheckBoxDT%1ALL").arg(k + 1));
    all_[k]->setEnabled(false);
    connect(targets_[k], &QCheckBox::clicked, this, &TFormDateTime::CheckBoxDTClick);
    targetLayout->addWidget(targets_[k], k, 0);
    targetLayout->addWidget(all_[k], k, 1);
  }

  const OkCancelRow buttons(this);
  connect(buttons.ok(), &QPushButton::clicked, this, &TFormDateTime::ButtonOkClick);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(sourceBox);
  layout->addWidget(targetBox);
  layout->addLayout(buttons.layout());

  // The clicked column is the target; its "全て変更" starts checked when no
  // row or every row is selected.
  const std::size_t k = column - PlanList::ColCreated;
  targets_[k]->setChecked(true);
  all_[k]->setEnabled(true);
  all_[k]->setChecked(plan_.allBoxInitial(selected_));

  const auto initial = plan_.initialTimeText(column, selected_);
  const auto start = initial ? fromPlanText(*initial) : std::nullopt;
  const QDateTime at = start ? *start : QDateTime::currentDateTime();
  date_->setDate(at.date());
  time_->setTime(at.time());
}

TimeSource TFormDateTime::source() const {
  for (int i = 1; i < 4; ++i)
    if (sources_[i]->isChecked()) return static_cast<TimeSource>(i);
  return TimeSource::Direct;
}

void TFormDateTime::RadioButtonDTClick() {
  const TimeSource from = source();
  const bool direct = from == TimeSource::Direct;
  date_->setEnabled(direct);
  time_->setEnabled(direct);
  now_->setEnabled(direct);
  for (int k = 0; k < 3; ++k) {
    // A time is not copied onto itself.
    targets_[k]->setEnabled(static_cast<int>(from) != k + 1);
    all_[k]->setEnabled(targets_[k]->isEnabled() && targets_[k]->isChecked());
  }
}

void TFormDateTime::CheckBoxDTClick() {
  for (int k = 0; k < 3; ++k) all_[k]->setEnabled(targets_[k]->isEnabled() && targets_[k]->isChecked());
}

void TFormDateTime::ButtonnDTNowClick() {
  const QDateTime now = QDateTime::currentDateTime();
  date_->setDate(now.date());
  time_->setTime(now.time());
}

QString TFormDateTime::directText() const {
  const QDate d = date_->date();
  const QTime t = time_->time();
  return QString::asprintf("%u/%02u/%02u %02u:%02u:%02u", static_cast<unsigned>(d.year()),
                           static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()),
                           static_cast<unsigned>(t.hour()), static_cast<unsigned>(t.minute()),
                           static_cast<unsigned>(t.second()));
}

void TFormDateTime::ButtonOkClick() {
  TimeChange change;
  change.source = source();
  if (change.source == TimeSource::Direct) change.text = directText().toStdString();
  for (int k = 0; k < 3; ++k) {
    change.target[k] = targets_[k]->isEnabled() && targets_[k]->isChecked();
    change.all[k] = all_[k]->isChecked();
  }
  if (!plan_.applyTimeChange(change, selected_)) {
    QMessageBox::warning(this, windowTitle(), QStringLiteral("この日時はﾌｧｲﾙに設定できません"));
    return;
  }
  accept();
}

}  // namespace ritoma
