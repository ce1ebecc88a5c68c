#pragma once

#include <QString>
#include <QWidget>
#include <stdexcept>
#include <string>

namespace ritoma {

// The control of `form` named `name`. A test that names a control the form
// lacks fails at once, with the name, instead of dereferencing null.
template <typename T>
T* child(QWidget* form, const char* name) {
  T* found = form->findChild<T*>(QString::fromLatin1(name));
  if (!found) throw std::runtime_error(std::string("no control ") + name);
  return found;
}

template <typename T>
T* child(QWidget& form, const char* name) {
  return child<T>(&form, name);
}

}  // namespace ritoma
