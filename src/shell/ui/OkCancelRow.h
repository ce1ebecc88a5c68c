#pragma once

class QDialog;
class QHBoxLayout;
class QPushButton;

namespace ritoma {

// The button row at the foot of a dialog: "OK" (object name "ButtonOk", the
// default button) and "CANCEL" ("ButtonCancel") at the right. "CANCEL"
// rejects the dialog; the dialog connects "OK" itself.
class OkCancelRow {
public:
  explicit OkCancelRow(QDialog* dialog);

  QPushButton* ok() const { return ok_; }
  // Not yet in any layout: the dialog places it.
  QHBoxLayout* layout() const { return layout_; }

private:
  QPushButton* ok_;
  QHBoxLayout* layout_;
};

}  // namespace ritoma
