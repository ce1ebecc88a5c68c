#include "shell/ui/Fonts.h"

namespace ritoma {

QFont Fonts::fixed(int pixels) {
  QFont font(QStringLiteral("IPAGothic"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(pixels);
  return font;
}

QFont Fonts::proportional(int pixels) {
  QFont font(QStringLiteral("IPAPGothic"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  return font;
}

}  // namespace ritoma
