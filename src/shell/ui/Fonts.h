#pragma once

#include <QFont>

namespace ritoma {

// The two faces of the program: the fixed-pitch face for every list, the
// folder tree, the drive list and every field that holds names or
// templates (so names line up character by character), and the
// proportional face for labels and buttons.
class Fonts {
public:
  static constexpr int ListPixels = 12;
  static constexpr int DriveListPixels = 13;

  static QFont fixed(int pixels = ListPixels);
  static QFont proportional(int pixels = ListPixels);
};

}  // namespace ritoma
