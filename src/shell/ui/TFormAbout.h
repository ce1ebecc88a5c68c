#pragma once

#include <QDialog>

namespace ritoma {

// The about box: program name, version line, credit line and the project's
// web and mail addresses. Fixed size, centred on its owner, on top.
class TFormAbout : public QDialog {
  Q_OBJECT
public:
  explicit TFormAbout(QWidget* owner);

  static constexpr const char* WebAddress = "https://ritoma.example.org/";
  static constexpr const char* MailAddress = "ritoma@example.org";
};

}  // namespace ritoma
