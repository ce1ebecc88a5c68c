#include "execution/AttributeText.h"

#include "platform/FileSystem.h"

namespace ritoma {

namespace {

struct Letter {
  char letter;
  std::uint32_t bit;
};
constexpr Letter kLetters[4] = {
    {'S', AttrSystem}, {'H', AttrHidden}, {'R', AttrReadOnly}, {'A', AttrArchive}};

}  // namespace

std::string AttributeText::fromBits(std::uint32_t attributes) {
  std::string text(4, '-');
  for (std::size_t i = 0; i < 4; ++i)
    if (attributes & kLetters[i].bit) text[i] = kLetters[i].letter;
  return text;
}

std::uint32_t AttributeText::toBits(std::string_view text) {
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 4 && i < text.size(); ++i)
    if (text[i] == kLetters[i].letter) bits |= kLetters[i].bit;
  return bits;
}

bool AttributeText::isValid(std::string_view text) {
  if (text.size() != 4) return false;
  for (std::size_t i = 0; i < 4; ++i)
    if (text[i] != kLetters[i].letter && text[i] != '-') return false;
  return true;
}

}  // namespace ritoma
