#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace ritoma {

class ArchiveLibraries;
struct DummySettings;
class TRichEditEx;

// The dialog "ﾀﾞﾐｰﾌｧｲﾙ設定": what a copy run with dummy files writes. It is
// made at start-up, after [Dummy] was read into `settings`, and lives as
// long as the program. Every change goes into `settings` at once (there is
// no OK or Cancel), where the writers read it.
class TFormDummy : public QDialog {
  Q_OBJECT
public:
  TFormDummy(DummySettings& settings, const ArchiveLibraries& archives, QWidget* parent = nullptr);

  // "lzh" and "zip" are enabled only while their archive back end is
  // switched on; call after the back ends were switched.
  void updateArchiveChoices();

protected:
  void hideEvent(QHideEvent* event) override;

private:
  void buildControls();
  void showSettings();
  void updateEnabling();
  void editChanged();

  DummySettings& settings_;
  const ArchiveLibraries& archives_;

  QTabWidget* pageControl_ = nullptr;
  TRichEditEx* richEditExDummy_ = nullptr;
  QCheckBox* checkBoxZeroByte_ = nullptr;
  QLabel* panelByte_ = nullptr;
  QRadioButton* radioButtonBin_ = nullptr;
  QRadioButton* radioButtonTxt_ = nullptr;
  QSpinBox* upDownBin1_ = nullptr;
  QSpinBox* upDownBin2_ = nullptr;
  QSpinBox* upDownTxt1_ = nullptr;
  QSpinBox* upDownTxt2_ = nullptr;
  QCheckBox* checkBoxTxtMax_ = nullptr;
  QSpinBox* upDownTxtMax_ = nullptr;
  QCheckBox* checkBoxArcLzh_ = nullptr;
  QCheckBox* checkBoxArcZip_ = nullptr;
  QCheckBox* checkBoxArcRar_ = nullptr;
  QSpinBox* upDownArcNo_ = nullptr;
  QCheckBox* checkBoxArcExt_ = nullptr;
  QComboBox* comboBoxNotArc_ = nullptr;
};

}  // namespace ritoma
