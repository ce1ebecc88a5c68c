#pragma once

#include <QColor>

namespace ritoma {

// The colours of the marks TRichEditEx draws over its text. Setting one
// only stores it; the next paint uses it.
struct TEditMark {
  QColor CRLF{0xFF, 0x00, 0xFF};    // line break: fuchsia
  QColor EOD{0x00, 0x00, 0xFF};     // end of the text: blue
  QColor Space1{0xC0, 0xC0, 0xC0};  // half-width space: silver
  QColor Space2{0xC0, 0xC0, 0xC0};  // full-width space U+3000: silver
  QColor TAB{0xC0, 0xC0, 0xC0};     // TAB: silver
};

}  // namespace ritoma
