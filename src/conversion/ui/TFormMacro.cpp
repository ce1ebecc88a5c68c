#include "conversion/ui/TFormMacro.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "conversion/ui/NumberField.h"
#include "conversion/ui/RadioGroup.h"
#include "settings/IniFile.h"
#include "shell/ui/HelpViewer.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

QString display(const std::string& cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }

struct Field {
  const char* key;  // the MacroOption key, also the control's suffix
  int MacroDefaults::*value;
  const char* label;
  const char* hint;
  int minimum, maximum;
};

struct ThreePage {
  int page;
  const char* group;
  Field fields[3];
  bool caseCombo;  // the third value is the letter case combo box
  const char* notes;
};

const QStringList kCaseItems = {QStringLiteral("そのまま"), QStringLiteral("小文字化"), QStringLiteral("大文字化")};

const ThreePage kThreePages[] = {
    {0, "/f<開始位置,長さ,文字整形>",
     {{"f1", &MacroDefaults::f1, "開始位置", "(左端から)", -127, 127},
      {"f2", &MacroDefaults::f2, "長さ", "０：右端まで", -127, 127},
      {"f3", &MacroDefaults::f3, "文字整形", "", 0, 2}},
     true, "マイナス値：右端から"},
    {1, "/e<開始位置,長さ,文字整形>",
     {{"e1", &MacroDefaults::e1, "開始位置", "(左端から)", -127, 127},
      {"e2", &MacroDefaults::e2, "長さ", "０：右端まで", -127, 127},
      {"e3", &MacroDefaults::e3, "文字整形", "", 0, 2}},
     true, "マイナス値：右端から"},
    {2, "/n<開始番号,桁数,加算値>",
     {{"n1", &MacroDefaults::n1, "開始番号", "", 0, 32767},
      {"n2", &MacroDefaults::n2, "桁数", "０：可変", 0, 32767},
      {"n3", &MacroDefaults::n3, "加算値", "", 1, 32767}},
     false, ""},
    {3, "/K<開始番号,桁数,加算値>",
     {{"K11", &MacroDefaults::K11, "開始番号", "", 0, 32767},
      {"K12", &MacroDefaults::K12, "桁数", "-１：1桁 0-9 a-ｚ\n-２：1桁 0-9 A-Z", -2, 32767},
      {"K13", &MacroDefaults::K13, "加算値", "", 1, 32767}},
     false, ""},
    {4, "/k<開始番号,桁数,加算値>",
     {{"K21", &MacroDefaults::K21, "開始番号", "", 0, 32767},
      {"K22", &MacroDefaults::K22, "桁数", "０：可変", 0, 32767},
      {"K23", &MacroDefaults::K23, "加算値", "", 1, 32767}},
     false, ""},
    {8, "/o<開始位置,長さ,文字整形>",
     {{"o1", &MacroDefaults::o1, "開始位置", "(左端から)", -127, 127},
      {"o2", &MacroDefaults::o2, "長さ", "０：右端まで", -127, 127},
      {"o3", &MacroDefaults::o3, "文字整形", "", 0, 2}},
     true, "マイナス値：右端から"},
};

struct StampComponent {
  const char* check;  // check box name
  const char* radio;  // radio group name
  const char* caption;
  int MacroDefaults::*on;
  int MacroDefaults::*form;
};

const StampComponent kDate[3] = {
    {"CheckBox_Dyy", "RadioGroup_Dy", "年", &MacroDefaults::Dy1, &MacroDefaults::Dy2},
    {"CheckBox_Dmm", "RadioGroup_Dm", "月", &MacroDefaults::Dm1, &MacroDefaults::Dm2},
    {"CheckBox_Ddd", "RadioGroup_Dd", "日", &MacroDefaults::Dd1, &MacroDefaults::Dd2},
};
const StampComponent kTime[3] = {
    {"CheckBox_Thh", "RadioGroup_Th", "時", &MacroDefaults::Th1, &MacroDefaults::Th2},
    {"CheckBox_Tmm", "RadioGroup_Tm", "分", &MacroDefaults::Tm1, &MacroDefaults::Tm2},
    {"CheckBox_Tss", "RadioGroup_Ts", "秒", &MacroDefaults::Ts1, &MacroDefaults::Ts2},
};

}  // namespace

TFormMacro::TFormMacro(FileSystem& fs, std::string settingsPath, UserInteraction& interaction, QWidget* parent)
    : QDialog(parent), fs_(fs), settingsPath_(std::move(settingsPath)), interaction_(interaction) {
  setObjectName(QStringLiteral("FormMacro"));
  // The context follows the page shown (set by each opening).
  HelpViewer::bindKey(this);
  options_.Load(IniFile(fs_, settingsPath_));

  pages_ = new QStackedWidget(this);
  pages_->setObjectName(QStringLiteral("PageControlMacro"));
  for (int page = 0; page < MacroDefaults::PageCount; ++page) {
    QWidget* widget = nullptr;
    if (page == 5 || page == 6) {
      widget = buildStampPage(page);
    } else if (page == 7) {
      widget = buildSizePage();
    } else {
      for (const ThreePage& p : kThreePages)
        if (p.page == page) widget = buildThreeValuePage(page);
    }
    pages_->addWidget(widget);
  }

  panelSample_ = new QLabel(this);
  panelSample_->setObjectName(QStringLiteral("PanelSample"));
  panelSample_->setFrameShape(QFrame::Panel);
  panelSample_->setFrameShadow(QFrame::Sunken);
  panelSample_->setAlignment(Qt::AlignCenter);
  panelSample_->setMinimumHeight(24);
  panelSample_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("ButtonOK"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("CANCEL"), this);
  cancel->setObjectName(QStringLiteral("ButtonCancel"));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(panelSample_, 1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addLayout(buttons);

  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("PopupMenuMacro"));
  QAction* reset = menu_->addAction(QStringLiteral("初期値設定"));
  reset->setObjectName(QStringLiteral("MenuSetDefault"));
  connect(reset, &QAction::triggered, this, [this] {
    options_.ResetPage(page_);
    showControls(page_);
    BuildMacroText();
  });
  QMenu* save = menu_->addMenu(QStringLiteral("初期値保存"));
  QAction* saveShown = save->addAction(QStringLiteral("表示ﾏｸﾛのみ"));
  saveShown->setObjectName(QStringLiteral("MenuSaveShown"));
  connect(saveShown, &QAction::triggered, this, [this] { saveDefaults(false); });
  QAction* saveAll = save->addAction(QStringLiteral("全てのﾏｸﾛ"));
  saveAll->setObjectName(QStringLiteral("MenuSaveAll"));
  connect(saveAll, &QAction::triggered, this, [this] { saveDefaults(true); });
  QMenu* mode = menu_->addMenu(QStringLiteral("ﾃﾞﾌｫﾙﾄ値"));
  keepAction_ = mode->addAction(QStringLiteral("そのまま"));
  keepAction_->setObjectName(QStringLiteral("MenuKeep"));
  omitAction_ = mode->addAction(QStringLiteral("省略"));
  omitAction_->setObjectName(QStringLiteral("MenuOmit"));
  for (QAction* a : {keepAction_, omitAction_}) a->setCheckable(true);
  keepAction_->setChecked(!options_.omitDefaults());
  omitAction_->setChecked(options_.omitDefaults());
  connect(keepAction_, &QAction::triggered, this, [this] { setOmission(false); });
  connect(omitAction_, &QAction::triggered, this, [this] { setOmission(true); });

  for (int page = 0; page < MacroDefaults::PageCount; ++page) showControls(page);
}

TFormMacro::~TFormMacro() {
  try {
    IniFile ini(fs_, settingsPath_);
    options_.SaveOmission(ini);
  } catch (const std::exception& error) {
    interaction_.tell(MessageKind::Error, error.what(), "Ritoma");
  }
}

QWidget* TFormMacro::buildThreeValuePage(int page) {
  const ThreePage* pageDef = nullptr;
  for (const ThreePage& p : kThreePages)
    if (p.page == page) pageDef = &p;
  auto* widget = new QWidget(pages_);
  auto* box = new QGroupBox(QString::fromUtf8(pageDef->group), widget);
  auto* grid = new QGridLayout(box);
  for (int i = 0; i < 3; ++i) {
    const Field& f = pageDef->fields[i];
    const QString key = QString::fromLatin1(f.key);
    grid->addWidget(new QLabel(QString::fromUtf8(f.label), box), i, 0);
    QWidget* control = nullptr;
    if (i == 2 && pageDef->caseCombo) {
      auto* combo = new QComboBox(box);
      combo->setObjectName(QStringLiteral("ComboBox_") + key);
      combo->addItems(kCaseItems);
      connect(combo, &QComboBox::currentIndexChanged, this, [this, page] { controlChanged(page); });
      control = combo;
    } else {
      QSpinBox* spin = NumberField::create(box, QStringLiteral("Edit_") + key, QStringLiteral("UpDown_") + key,
                                           f.minimum, f.maximum);
      connect(spin, &QSpinBox::valueChanged, this, [this, page] { controlChanged(page); });
      control = spin;
    }
    grid->addWidget(control, i, 1);
    grid->addWidget(new QLabel(QString::fromUtf8(f.hint), box), i, 2);
    bind(page, f.value, control);
  }
  if (*pageDef->notes) grid->addWidget(new QLabel(QString::fromUtf8(pageDef->notes), box), 3, 0, 1, 3);
  auto* layout = new QVBoxLayout(widget);
  layout->addWidget(box);
  return widget;
}

QWidget* TFormMacro::buildStampPage(int page) {
  const bool date = page == 5;
  const StampComponent* components = date ? kDate : kTime;
  auto* widget = new QWidget(pages_);
  auto* box = new QGroupBox(date ? QStringLiteral("/D<y_m_d_>") : QStringLiteral("/T<h_m_s_>"), widget);
  auto* grid = new QGridLayout(box);
  for (int i = 0; i < 3; ++i) {
    const StampComponent& c = components[i];
    auto* check = new QCheckBox(QString::fromUtf8(c.caption), box);
    check->setObjectName(QString::fromLatin1(c.check));
    const QStringList forms = date && i == 0 ? QStringList{QStringLiteral("２桁"), QStringLiteral("４桁")}
                                             : QStringList{QStringLiteral("可変"), QStringLiteral("空白"),
                                                           QStringLiteral("ゼロ")};
    auto* radio = new RadioGroup(QString::fromLatin1(c.radio), QString(), forms, box, Qt::Horizontal);
    connect(check, &QCheckBox::toggled, radio, &QWidget::setEnabled);
    connect(check, &QCheckBox::toggled, this, [this, page] { controlChanged(page); });
    connect(radio, &RadioGroup::itemIndexChanged, this, [this, page] { controlChanged(page); });
    grid->addWidget(check, i, 0);
    grid->addWidget(radio, i, 1);
    bind(page, c.on, check);
    bind(page, c.form, radio);
  }
  grid->addWidget(new QLabel(date ? QStringLiteral("例：2003年4月5日") : QStringLiteral("例：6時7分8秒"), box), 3, 0);
  QLabel* example = new QLabel(box);
  example->setObjectName(date ? QStringLiteral("PanelD") : QStringLiteral("PanelT"));
  example->setFrameShape(QFrame::Panel);
  example->setFrameShadow(QFrame::Sunken);
  grid->addWidget(example, 3, 1);
  (date ? panelD_ : panelT_) = example;
  auto* layout = new QVBoxLayout(widget);
  layout->addWidget(box);
  return widget;
}

QWidget* TFormMacro::buildSizePage() {
  auto* widget = new QWidget(pages_);
  auto* box = new QGroupBox(QStringLiteral("/s<右詰め,3桁区切り>"), widget);
  auto* s1 = new QCheckBox(QStringLiteral("右詰め(最大桁に合わせて空白補完)"), box);
  s1->setObjectName(QStringLiteral("CheckBox_s1"));
  auto* s2 = new QCheckBox(QStringLiteral("3桁ずつｶﾝﾏで区切る"), box);
  s2->setObjectName(QStringLiteral("CheckBox_s2"));
  memoS_ = new QLabel(box);
  memoS_->setObjectName(QStringLiteral("MemoS"));
  memoS_->setFrameShape(QFrame::Panel);
  memoS_->setFrameShadow(QFrame::Sunken);
  for (QCheckBox* c : {s1, s2}) connect(c, &QCheckBox::toggled, this, [this] { controlChanged(7); });
  bind(7, &MacroDefaults::s1, s1);
  bind(7, &MacroDefaults::s2, s2);
  auto* grid = new QVBoxLayout(box);
  grid->addWidget(s1);
  grid->addWidget(s2);
  grid->addWidget(memoS_);
  auto* layout = new QVBoxLayout(widget);
  layout->addWidget(box);
  return widget;
}

void TFormMacro::bind(int page, int MacroDefaults::*value, QWidget* control) {
  bindings_.push_back({page, value, control});
}

void TFormMacro::controlChanged(int page) {
  if (loading_) return;
  for (const IntBinding& b : bindings_) {
    if (b.page != page) continue;
    int& value = options_.controls.*b.value;
    if (auto* spin = qobject_cast<QSpinBox*>(b.control)) value = spin->value();
    else if (auto* combo = qobject_cast<QComboBox*>(b.control)) value = combo->currentIndex();
    else if (auto* check = qobject_cast<QCheckBox*>(b.control)) value = check->isChecked() ? 1 : 0;
    else if (auto* radio = qobject_cast<RadioGroup*>(b.control)) value = radio->itemIndex();
  }
  if (page == page_) BuildMacroText();
}

void TFormMacro::showControls(int page) {
  loading_ = true;
  for (const IntBinding& b : bindings_) {
    if (b.page != page) continue;
    const int value = options_.controls.*b.value;
    if (auto* spin = qobject_cast<QSpinBox*>(b.control)) spin->setValue(value);
    else if (auto* combo = qobject_cast<QComboBox*>(b.control)) combo->setCurrentIndex(value);
    else if (auto* check = qobject_cast<QCheckBox*>(b.control)) check->setChecked(value != 0);
    else if (auto* radio = qobject_cast<RadioGroup*>(b.control)) radio->setItemIndex(value);
  }
  // Each radio group of /D and /T is enabled only while its box is checked.
  for (const StampComponent* set : {kDate, kTime})
    for (int i = 0; i < 3; ++i)
      if (auto* radio = findChild<RadioGroup*>(QString::fromLatin1(set[i].radio)))
        radio->setEnabled(options_.controls.*set[i].on != 0);
  loading_ = false;
}

void TFormMacro::BuildMacroText() {
  result_ = options_.BuildMacroText(page_);
  // The /K page may have brought its start and step into range.
  if (page_ == 3) showControls(page_);
  panelSample_->setText(display(result_));
  if (page_ == 5 || page_ == 6) {
    QString example = display(options_.StampExample(page_));
    (page_ == 5 ? panelD_ : panelT_)->setText(example);
  } else if (page_ == 7) {
    QStringList lines;
    for (const std::string& line : options_.SizeExample()) lines << display(line);
    memoS_->setText(lines.join(QLatin1Char('\n')));
  }
}

void TFormMacro::showPage(int page, const QString& caption) {
  if (page < 0 || page >= MacroDefaults::PageCount) return;
  page_ = page;
  pages_->setCurrentIndex(page);
  setProperty("helpContext", 601 + page);
  setWindowTitle(caption);
  result_.clear();
  panelSample_->clear();
  BuildMacroText();
}

std::optional<std::string> TFormMacro::ShowMacroDialog(int page, const QString& caption) {
  showPage(page, caption);
  if (exec() != QDialog::Accepted) return std::nullopt;
  return resultText();
}

void TFormMacro::setOmission(bool omit) {
  options_.SetOmitDefaults(omit);
  keepAction_->setChecked(!omit);
  omitAction_->setChecked(omit);
  BuildMacroText();
}

void TFormMacro::saveDefaults(bool allPages) {
  try {
    IniFile ini(fs_, settingsPath_);
    if (allPages) options_.SaveAllDefaults(ini);
    else options_.SaveDefaults(ini, page_);
  } catch (const std::exception& error) {
    interaction_.tell(MessageKind::Error, error.what(), "Ritoma");
  }
  BuildMacroText();
}

void TFormMacro::contextMenuEvent(QContextMenuEvent* event) {
  menu_->popup(event->globalPos());
  event->accept();
}

}  // namespace ritoma
