#pragma once

#include <cstddef>
#include <string>

namespace ritoma {

// The selection list as the undo flow sees it, after the recorded folder
// was opened with every entry unchecked. Texts are code page 932.
class UndoSelection {
public:
  virtual ~UndoSelection() = default;
  virtual std::size_t size() const = 0;
  // Name and extension joined.
  virtual std::string fullName(std::size_t entry) const = 0;
  virtual bool isChecked(std::size_t entry) const = 0;
  virtual void check(std::size_t entry) = 0;
  // 0 file, 1 disk folder, 2 archive directory entry.
  virtual int icon(std::size_t entry) const = 0;
  // The edit list caption made when the batch is taken over.
  virtual std::string infoText(std::size_t entry) const = 0;
};

}  // namespace ritoma
