#include "selection/ui/FolderIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

namespace ritoma {

namespace {

constexpr int Size = 16;

QPixmap drawFolder(const QColor& body, bool open) {
  QPixmap pixmap(Size, Size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QColor edge = body.darker(170);
  p.setPen(edge);
  // Tab and back of the folder.
  p.setBrush(body.darker(115));
  p.drawRect(1, 3, 5, 2);
  p.drawRect(1, 4, 13, 9);
  if (open) {
    // The front flap folded down and forward.
    QPainterPath flap;
    flap.moveTo(3, 7);
    flap.lineTo(15, 7);
    flap.lineTo(13, 13);
    flap.lineTo(1, 13);
    flap.closeSubpath();
    p.setBrush(body.lighter(115));
    p.drawPath(flap);
  } else {
    p.setBrush(body);
    p.drawRect(1, 6, 13, 7);
  }
  return pixmap;
}

QPixmap drawLinkArrow(const QColor& colour) {
  QPixmap pixmap(Size, Size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(colour, 2));
  // Up from the bottom left, then right to the head.
  p.drawLine(3, 14, 3, 7);
  p.drawLine(3, 7, 10, 7);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  QPainterPath head;
  head.moveTo(10, 3);
  head.lineTo(15, 7);
  head.lineTo(10, 11);
  head.closeSubpath();
  p.drawPath(head);
  return pixmap;
}

// Two strokes, as the voiced mark "゛" standing apart.
QPixmap drawSeparatedMark(const QColor& colour) {
  QPixmap pixmap(Size, Size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(4, 3), QPointF(7, 10));
  p.drawLine(QPointF(9, 2), QPointF(12, 9));
  return pixmap;
}

QIcon make(FolderIcons::Kind kind) {
  static const QColor yellow(0xF0, 0xC8, 0x40);
  static const QColor grey(0xA8, 0xA8, 0xA8);
  QPixmap pixmap;
  switch (kind) {
    case FolderIcons::OpenYellow:
      pixmap = drawFolder(yellow, true);
      break;
    case FolderIcons::ClosedYellow:
      pixmap = drawFolder(yellow, false);
      break;
    case FolderIcons::ClosedGrey:
      pixmap = drawFolder(grey, false);
      break;
    case FolderIcons::OpenGrey:
      pixmap = drawFolder(grey, true);
      break;
    case FolderIcons::Blank:
      pixmap = QPixmap(Size, Size);
      pixmap.fill(Qt::transparent);
      break;
    case FolderIcons::Link:
      pixmap = drawLinkArrow(QColor(0x30, 0x60, 0xC0));
      break;
    case FolderIcons::MissingLink:
      pixmap = drawLinkArrow(QColor(0xC0, 0x30, 0x30));
      break;
    case FolderIcons::Decomposed:
      pixmap = drawSeparatedMark(FolderIcons::decomposedColour());
      break;
  }
  QIcon icon;
  // The same image when selected.
  icon.addPixmap(pixmap, QIcon::Normal);
  icon.addPixmap(pixmap, QIcon::Selected);
  return icon;
}

}  // namespace

QIcon FolderIcons::icon(Kind kind) {
  static const std::array<QIcon, 8> icons = {make(OpenYellow), make(ClosedYellow), make(ClosedGrey),
                                             make(OpenGrey),   make(Blank),        make(Link),
                                             make(MissingLink), make(Decomposed)};
  return icons[static_cast<std::size_t>(kind)];
}

QIcon FolderIcons::treeImage(int image) {
  switch (image) {
    case 0:
      return icon(OpenYellow);
    case 1:
      return icon(ClosedYellow);
    case 2:
      return icon(ClosedGrey);
    default:
      return icon(OpenGrey);
  }
}

QIcon FolderIcons::rowIcon(int rowIcon) {
  switch (rowIcon) {
    case 1:
      return icon(ClosedYellow);
    case 2:
      return icon(ClosedGrey);
    default:
      return icon(Blank);
  }
}

QIcon FolderIcons::linkIcon(bool missing) { return icon(missing ? MissingLink : Link); }

QIcon FolderIcons::decomposedMark() { return icon(Decomposed); }

// Dark orange: apart from the text, the link arrows and the folders, and
// readable on the window's white.
QColor FolderIcons::decomposedColour() { return QColor(0xB8, 0x50, 0x00); }

}  // namespace ritoma
