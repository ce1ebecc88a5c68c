#include "shell/ui/HelpViewer.h"

#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>

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

HelpViewer::HelpViewer(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("HelpViewer"));
  setWindowTitle(QStringLiteral("Ritoma ﾍﾙﾌﾟ"));
  setAttribute(Qt::WA_DeleteOnClose);
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  browser_->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(560, 480);
}

HelpViewer* HelpViewer::showContext(int context, QWidget* parent) {
  registerHelpResource();
  if (!instance_) instance_ = new HelpViewer(parent ? parent->window() : nullptr);
  QUrl url(QStringLiteral("qrc:/help/ritoma.html"));
  if (context > 0) url.setFragment(anchorFor(context));
  instance_->browser_->setSource(url);
  if (context > 0) instance_->browser_->scrollToAnchor(anchorFor(context));
  instance_->show();
  instance_->raise();
  instance_->activateWindow();
  return instance_;
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
