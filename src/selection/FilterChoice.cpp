#include "selection/FilterChoice.h"

#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

std::string replaceBars(std::string_view text, std::string_view with) {
  std::string out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = Cp932::find(text, '|', start);
    if (bar == Cp932::npos) break;
    out.append(text.substr(start, bar - start)).append(with);
    start = bar + 1;
  }
  out.append(text.substr(start));
  return out;
}

}  // namespace

FilterChoice::FilterChoice() { entries_.push_back(FilterEntry{TextCodec::fromUtf8("全てのﾌｧｲﾙ(*.*)"), "*.*"}); }

void FilterChoice::setUserEntries(const std::vector<FilterEntry>& entries) {
  entries_.resize(1);
  const std::string fullWidthBar = TextCodec::fromUtf8("｜");
  for (const FilterEntry& e : entries)
    entries_.push_back(FilterEntry{replaceBars(e.name, fullWidthBar), replaceBars(e.patterns, ";")});
  if (selected_ >= static_cast<int>(entries_.size())) selected_ = static_cast<int>(entries_.size()) - 1;
}

std::string FilterChoice::storedForm() const {
  std::string out;
  for (const FilterEntry& e : entries_) {
    if (!out.empty()) out += '|';
    out += e.name + "|" + e.patterns;
  }
  return out;
}

int FilterChoice::select(int index) {
  const int last = static_cast<int>(entries_.size()) - 1;
  selected_ = (index < 0 || index > last) ? last : index;
  return selected_;
}

}  // namespace ritoma
