#pragma once

#include <QPlainTextEdit>

#include "dummy/ui/TEditMark.h"

namespace ritoma {

// A plain-text editor that makes invisible characters visible: after the
// text is drawn, coloured marks are painted over it for line breaks ("↓"),
// the end of the text ("[EOD]"), TABs (a small triangle), half-width and
// full-width spaces (a low box as wide as the character). The marks are
// never part of the text. Return and Tab go into the text, lines do not
// wrap, a line break cannot be selected by itself, and the wheel does not
// scroll: it only reports through scrolled().
class TRichEditEx : public QPlainTextEdit {
  Q_OBJECT
public:
  explicit TRichEditEx(QWidget* parent = nullptr);

  TEditMark& EditMark() { return editMark_; }
  const TEditMark& EditMark() const { return editMark_; }

  // The text with each line break as CR LF, as the dummy files hold it.
  QString crlfText() const;

signals:
  // OnScroll: 0 line up, 1 line down, 2 page up, 3 page down (the wheel
  // gives 0 for a turn away from the user, 1 otherwise).
  void scrolled(int scrollCode);

protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

private:
  void DrawEditMark(QPainter& painter);

  TEditMark editMark_;
};

}  // namespace ritoma
