#include "shell/ui/HelpViewer.h"

#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextDocument>
#include <QTextFrame>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

// The help pages are a resource of the static forms library, which the
// linker keeps only when it is registered explicitly.
static void registerHelpResource() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(shell);
    return true;
  }();
  (void)registered;
}

namespace ritoma {

QPointer<HelpViewer> HelpViewer::instance_;

HelpViewer::HelpViewer() : QDialog(nullptr, Qt::Window), browser_(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("HelpViewer"));
  setWindowTitle(QStringLiteral("Ritoma ﾍﾙﾌﾟ"));
  setAttribute(Qt::WA_DeleteOnClose);
  // Closing the main window ends the program even while the help is open.
  setAttribute(Qt::WA_QuitOnClose, false);
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  browser_->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(640, 560);
  connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { delete this; });
}

HelpViewer* HelpViewer::showContext(int context, QWidget* near) {
  registerHelpResource();
  if (!instance_) {
    instance_ = new HelpViewer;
    if (near) {
      // Beside the window, as far as the screen allows.
      const QRect frame = near->window()->frameGeometry();
      const QRect screen = near->screen()->availableGeometry();
      const int x = std::min(frame.right() + 8, screen.right() - instance_->width());
      instance_->move(std::max(screen.left(), x), std::max(screen.top(), frame.top()));
    }
  }
  QUrl url(QStringLiteral("qrc:/help/ritoma.html"));
  if (context > 0) url.setFragment(anchorFor(context));
  instance_->browser_->setSource(url);
  instance_->padEnd();
  if (context > 0)
    instance_->browser_->scrollToAnchor(anchorFor(context));
  else
    instance_->browser_->verticalScrollBar()->setValue(0);
  instance_->show();
  instance_->raise();
  instance_->activateWindow();
  return instance_;
}

void HelpViewer::padEnd() {
  QTextFrame* root = browser_->document()->rootFrame();
  QTextFrameFormat format = root->frameFormat();
  const qreal room = browser_->viewport()->height();
  if (format.bottomMargin() == room) return;
  format.setBottomMargin(room);
  root->setFrameFormat(format);
}

void HelpViewer::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  padEnd();
}

void HelpViewer::bindKey(QWidget* widget, int context) {
  auto* shortcut = new QShortcut(QKeySequence::HelpContents, widget);
  shortcut->setContext(Qt::WidgetWithChildrenShortcut);
  QObject::connect(shortcut, &QShortcut::activated, widget,
                   [widget, context] { showContext(context, widget); });
}

void HelpViewer::bindKey(QWidget* widget) {
  auto* shortcut = new QShortcut(QKeySequence::HelpContents, widget);
  shortcut->setContext(Qt::WidgetWithChildrenShortcut);
  QObject::connect(shortcut, &QShortcut::activated, widget, [widget] {
    showContext(widget->property("helpContext").toInt(), widget);
  });
}

}  // namespace ritoma
