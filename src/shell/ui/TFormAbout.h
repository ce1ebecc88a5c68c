#pragma once

#include <QDialog>

namespace ritoma {

// The about box: program name, version line, credit line and a link to the
// program's own help (the project has no site of its own). Fixed size,
// centred on its owner, on top.
class TFormAbout : public QDialog {
  Q_OBJECT
public:
  explicit TFormAbout(QWidget* owner);
};

}  // namespace ritoma
