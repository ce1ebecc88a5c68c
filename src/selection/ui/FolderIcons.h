#pragma once

#include <QIcon>

namespace ritoma {

// The 16-pixel images of page 選択, drawn once per process: the four tree
// images (open and closed folders, yellow for disk folders, grey for
// archives), the row icons of the selection list and the mark of a name
// that is not composed.
class FolderIcons {
public:
  enum Kind { OpenYellow, ClosedYellow, ClosedGrey, OpenGrey, Blank, Link, MissingLink, Decomposed };

  static QIcon icon(Kind kind);
  // The tree image of a folder-tree node (0 … 3).
  static QIcon treeImage(int image);
  // The icon of a selection row: 0 blank (file), 1 yellow folder, 2 grey
  // folder (directory entry of an archive).
  static QIcon rowIcon(int icon);
  // The row icon of a symbolic link: a bent arrow, blue, or red when the
  // link points to nothing.
  static QIcon linkIcon(bool missing);
  // Beside a name stored decomposed: a separated voiced mark, in the colour
  // of decomposedColour(), which the name takes too.
  static QIcon decomposedMark();
  static QColor decomposedColour();
};

}  // namespace ritoma
