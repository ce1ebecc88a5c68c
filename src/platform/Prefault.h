#pragma once

#include <cstddef>
#include <vector>

namespace ritoma {

// Brings in the pages of a large block of new memory on every core before
// it is first written. A new page costs a fault, and on a virtual machine
// often a fault of the host as well; a list of a hundred thousand rows
// takes thousands of them, which the thread that fills the list would
// otherwise take one after the other. Only whole pages inside the block
// are brought in, and only where the kernel can (MADV_POPULATE_WRITE,
// Linux 5.14); elsewhere, or for a small block, nothing happens.
class Prefault {
public:
  static void bringIn(void* block, std::size_t bytes);

  // list.resize(size), its pages brought in before the rows are made.
  template <class T>
  static void resize(std::vector<T>& list, std::size_t size) {
    list.reserve(size);
    bringIn(list.data(), size * sizeof(T));
    list.resize(size);
  }
};

}  // namespace ritoma
