#include "dummy/ui/TRichEditEx.h"

#include <QAbstractSlider>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QWheelEvent>
#include <algorithm>

#include "shell/ui/Fonts.h"

namespace ritoma {

namespace {

constexpr QChar kFullWidthSpace(0x3000);

QColor inverted(const QColor& c) { return QColor(c.rgb() ^ 0xFFFFFF); }

}  // namespace

TRichEditEx::TRichEditEx(QWidget* parent) : QPlainTextEdit(parent) {
  setFont(Fonts::fixed());
  setTabChangesFocus(false);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setWordWrapMode(QTextOption::NoWrap);
  // A line break selected by itself is no selection: its mark would be
  // the only thing shown as selected.
  connect(this, &QPlainTextEdit::selectionChanged, this, [this] {
    QTextCursor cursor = textCursor();
    if (cursor.selectedText() != QString(QChar::ParagraphSeparator)) return;
    cursor.clearSelection();
    setTextCursor(cursor);
  });
  connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this](int action) {
    switch (action) {
      case QAbstractSlider::SliderSingleStepSub: emit scrolled(0); break;
      case QAbstractSlider::SliderSingleStepAdd: emit scrolled(1); break;
      case QAbstractSlider::SliderPageStepSub: emit scrolled(2); break;
      case QAbstractSlider::SliderPageStepAdd: emit scrolled(3); break;
      default: break;
    }
  });
}

QString TRichEditEx::crlfText() const {
  QString text = toPlainText();
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return text;
}

void TRichEditEx::wheelEvent(QWheelEvent* event) {
  emit scrolled(event->angleDelta().y() > 0 ? 0 : 1);
  event->accept();
}

void TRichEditEx::paintEvent(QPaintEvent* event) {
  QPlainTextEdit::paintEvent(event);
  QPainter painter(viewport());
  painter.setClipRect(event->rect());
  DrawEditMark(painter);
}

// Walks the visible blocks. A mark of a selected character is drawn in the
// inverted colour, as the selection inverts the text under it.
void TRichEditEx::DrawEditMark(QPainter& painter) {
  const QColor background = palette().color(QPalette::Base);
  const QTextCursor cursor = textCursor();
  const int selStart = cursor.selectionStart();
  const int selEnd = cursor.selectionEnd();
  auto colourAt = [&](int position, const QColor& colour) {
    return position >= selStart && position < selEnd ? inverted(colour) : colour;
  };
  // Text marks use the editor's font, two pixels smaller than a full cell.
  QFont markFont = font();
  markFont.setPixelSize(std::max(4, QFontMetrics(font()).boundingRect(QStringLiteral("□")).height() - 2));
  const qreal cellWidth = QFontMetricsF(font()).horizontalAdvance(QLatin1Char('a'));
  const QPointF offset = contentOffset();
  const int height = viewport()->height();

  for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
    const QRectF geometry = blockBoundingGeometry(block).translated(offset);
    if (geometry.top() > height) break;
    const QTextLayout* layout = block.layout();
    if (!layout || layout->lineCount() == 0) continue;
    const QString text = block.text();
    for (int i = 0; i < text.size(); ++i) {
      const QChar c = text[i];
      if (c != QLatin1Char('\t') && c != QLatin1Char(' ') && c != kFullWidthSpace) continue;
      const QTextLine line = layout->lineForTextPosition(i);
      const qreal x0 = geometry.left() + line.cursorToX(i);
      const qreal x1 = geometry.left() + line.cursorToX(i + 1);
      const qreal top = geometry.top() + line.y();
      const qreal middle = top + line.height() / 2;
      const int position = block.position() + i;
      if (c == QLatin1Char('\t')) {
        const qreal x = x0 + 1;
        const QPointF corners[] = {{x, middle - 2}, {x, middle + 2}, {x + 2, middle}};
        painter.setPen(colourAt(position, editMark_.TAB));
        painter.setBrush(background);
        painter.drawPolygon(corners, 3);
      } else {
        painter.setPen(colourAt(position, c == kFullWidthSpace ? editMark_.Space2 : editMark_.Space1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(QPointF(x0 + 1, middle), QPointF(x1 - 2, top + line.height() - 2)));
      }
    }
    // The end of the block: a line break, or the end of the text.
    const QTextLine last = layout->lineAt(layout->lineCount() - 1);
    const qreal x = geometry.left() + last.cursorToX(text.size());
    const qreal baseline = geometry.top() + last.y() + last.ascent();
    const int position = block.position() + text.size();
    painter.setFont(markFont);
    if (block.next().isValid()) {
      painter.save();
      painter.setClipRect(QRectF(x, geometry.top() + last.y(), cellWidth, last.height()), Qt::IntersectClip);
      painter.setPen(colourAt(position, editMark_.CRLF));
      painter.drawText(QPointF(x, baseline), QStringLiteral("↓"));
      painter.restore();
    } else if (x < viewport()->width()) {
      painter.setPen(editMark_.EOD);
      painter.drawText(QPointF(x + 3, baseline), QStringLiteral("[EOD]"));
    }
  }
}

}  // namespace ritoma
