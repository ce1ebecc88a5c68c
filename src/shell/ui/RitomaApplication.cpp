#include "shell/ui/RitomaApplication.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <QWindow>
#include <exception>

namespace ritoma {

RitomaApplication::RitomaApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // No display name: the platform would append it to every window title,
  // and the titles are the captions as they stand.
  setApplicationName(QStringLiteral("Ritoma"));
  setApplicationVersion(QStringLiteral(RITOMA_VERSION));
  // Ties the windows to the installed desktop entry and its icon; in the
  // build tree the theme has no such icon and the platform's default stays.
  setDesktopFileName(QStringLiteral(RITOMA_APP_ID));
  setWindowIcon(QIcon::fromTheme(QStringLiteral("ritoma")));
  // Qt's own dialogs and buttons (folder chooser, Yes/No/OK/Cancel) speak Japanese like the
  // rest of the window; without the translation file they stay in English.
  auto* qtTexts = new QTranslator(this);
  if (qtTexts->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    installTranslator(qtTexts);
  else
    delete qtTexts;
}

bool RitomaApplication::notify(QObject* receiver, QEvent* event) {
  // A modal dialog blocks the window it belongs to, not the whole program:
  // the help window, which belongs to none, stays usable beside it. The
  // modality is changed as the dialog is shown, before its window appears.
  if (event->type() == QEvent::Show && receiver->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(receiver);
    if (widget->isWindow() && widget->parentWidget() && widget->windowModality() == Qt::ApplicationModal) {
      widget->setWindowModality(Qt::WindowModal);
      if (QWindow* window = widget->windowHandle()) window->setModality(Qt::WindowModal);
    }
  }
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    reportError(QString::fromUtf8(error.what()));
  } catch (...) {
    reportError(QStringLiteral("不明なエラーが発生しました"));
  }
  return false;
}

void RitomaApplication::reportError(const QString& message) {
  if (reporter_) {
    reporter_(message);
    return;
  }
  QMessageBox::critical(activeWindow(), applicationDisplayName(), message);
}

}  // namespace ritoma
