#include "conversion/NotIntegerError.h"

#include "text/TextCodec.h"

namespace ritoma {

namespace {

std::string message(const std::string& field) {
  return "'" + TextCodec::toUtf8(field) + "' は整数ではありません";
}

}  // namespace

NotIntegerError::NotIntegerError(const std::string& field) : std::runtime_error(message(field)), field_(field) {}

}  // namespace ritoma
