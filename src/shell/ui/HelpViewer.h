#pragma once

#include <QDialog>
#include <QPointer>
#include <QTextBrowser>

namespace ritoma {

// The help pages shipped with the program (a Qt resource), in one reusable
// window of its own: it belongs to no other window, so a modal dialog does
// not block it and F1 inside the dialog gives a help the user can scroll.
// Each window and page has a context number; its section carries the
// anchor "ctx" + number.
class HelpViewer : public QDialog {
  Q_OBJECT
public:
  static constexpr int MainWindowContext = 101;

  // Shows the contents (context 0) or the section of `context`, with the
  // section's heading at the top of the window. `near` (if any) is the
  // window the help is opened from; a new help window is placed beside it.
  static HelpViewer* showContext(int context, QWidget* near = nullptr);
  // Makes F1 in `widget` (and its children) open `context`.
  static void bindKey(QWidget* widget, int context);
  // Makes F1 in `widget` (and its children) open the context its
  // "helpContext" property holds when the key is pressed.
  static void bindKey(QWidget* widget);

  QTextBrowser* browser() const { return browser_; }
  static QString anchorFor(int context) { return QStringLiteral("ctx%1").arg(context); }

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  HelpViewer();
  // Room below the last section, so that every section's heading can
  // scroll to the top.
  void padEnd();
  QTextBrowser* browser_;
  static QPointer<HelpViewer> instance_;
};

}  // namespace ritoma
