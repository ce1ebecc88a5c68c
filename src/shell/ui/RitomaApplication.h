#pragma once

#include <QApplication>
#include <QString>
#include <functional>

namespace ritoma {

// The application object. An exception that escapes an event handler is
// shown in the standard error dialog and the event loop goes on.
class RitomaApplication : public QApplication {
  Q_OBJECT
public:
  using ErrorReporter = std::function<void(const QString& message)>;

  RitomaApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Replaces the error dialog (tests record the message instead).
  void setErrorReporter(ErrorReporter reporter) { reporter_ = std::move(reporter); }
  // Shows `message` the way an escaped exception is shown.
  void reportError(const QString& message);

private:
  ErrorReporter reporter_;
};

}  // namespace ritoma
