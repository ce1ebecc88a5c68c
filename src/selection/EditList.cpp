#include "selection/EditList.h"

#include <stdexcept>

#include "text/TextCodec.h"

namespace ritoma {

void EditList::clear() {
  rows.clear();
  folderCount = 0;
  sizeWidth = 0;
  stages_ = 0;
  errorCaption_.clear();
}

std::size_t EditList::columnCount() const { return 2 + stages_ + (hasErrorColumn() ? 1 : 0); }

std::string EditList::caption(std::size_t column) const {
  if (column == 1) return TextCodec::fromUtf8("元ﾌｧｲﾙ名");
  if (column >= 2 && column < 2 + stages_)
    return TextCodec::fromUtf8("→変換") + std::to_string(column - 1);
  if (hasErrorColumn() && column == 2 + stages_) return errorCaption_;
  return {};
}

const std::string& EditList::nameAt(std::size_t row, std::size_t column) const {
  if (column < 1 || column > 1 + stages_) throw std::out_of_range("EditList::nameAt: not a name column");
  return rows.at(row).names.at(column - 1);
}

void EditList::removeColumnsFrom(std::size_t column) {
  if (column < 2) column = 2;
  const std::size_t keep = column - 1;  // names kept per row
  if (keep < 1 + stages_) {
    for (auto& row : rows) row.names.resize(keep);
    stages_ = keep - 1;
  }
  setErrorColumn({}, {});
}

void EditList::appendStage(const std::vector<std::string>& names) {
  if (names.size() != rows.size()) throw std::invalid_argument("EditList::appendStage: one name per row");
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i].names.push_back(names[i]);
  ++stages_;
}

void EditList::appendStage(std::vector<std::string>&& names) {
  if (names.size() != rows.size()) throw std::invalid_argument("EditList::appendStage: one name per row");
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i].names.push_back(std::move(names[i]));
  ++stages_;
}

void EditList::setErrorColumn(const std::string& caption, const std::vector<std::string>& errors) {
  errorCaption_ = caption;
  for (std::size_t i = 0; i < rows.size(); ++i)
    rows[i].error = (caption.empty() || i >= errors.size()) ? std::string() : errors[i];
}

}  // namespace ritoma
