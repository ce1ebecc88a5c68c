#pragma once

#include <QDialog>
#include <QPointer>
#include <QTextBrowser>

namespace ritoma {

// The help pages shipped with the program (a Qt resource), in one reusable
// window. Each window and page has a context number; its section carries
// the anchor "ctx" + number.
class HelpViewer : public QDialog {
  Q_OBJECT
public:
  static constexpr int MainWindowContext = 101;

  // Shows the contents (context 0) or the section of `context`.
  static HelpViewer* showContext(int context, QWidget* parent = nullptr);
  // Makes F1 in `widget` (and its children) open `context`.
  static void bindKey(QWidget* widget, int context);
  // Makes F1 in `widget` (and its children) open the context its
  // "helpContext" property holds when the key is pressed.
  static void bindKey(QWidget* widget);

  QTextBrowser* browser() const { return browser_; }
  static QString anchorFor(int context) { return QStringLiteral("ctx%1").arg(context); }

private:
  explicit HelpViewer(QWidget* parent);
  QTextBrowser* browser_;
  static QPointer<HelpViewer> instance_;
};

}  // namespace ritoma
