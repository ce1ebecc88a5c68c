#pragma once

#include <QApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QString>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

namespace ritoma {

// The anchor the help window shows after `widget`'s own F1 shortcut fires,
// when the help has a section with that anchor (else empty); the help
// window is closed again. Firing the shortcut itself, not a key press,
// keeps the help window's late activation from racing later keys.
inline QString helpAnchorOfF1(QWidget* widget) {
  QShortcut* key = nullptr;
  for (QShortcut* s : widget->findChildren<QShortcut*>(Qt::FindDirectChildrenOnly))
    if (s->key() == QKeySequence(QKeySequence::HelpContents)) key = s;
  if (!key) return QString();
  emit key->activated();
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* browser = w->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
    if (!browser || !w->isVisible()) continue;
    const QString fragment = browser->source().fragment();
    w->close();
    return browser->toHtml().contains(QStringLiteral("name=\"%1\"").arg(fragment)) ? fragment : QString();
  }
  return QString();
}

}  // namespace ritoma
