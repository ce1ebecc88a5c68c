#include "execution/PlanList.h"

#include <stdexcept>

#include "execution/AttributeText.h"
#include "platform/TimeConvert.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

std::vector<std::size_t> targetRows(const PlanList& plan, bool all,
                                    const std::vector<std::size_t>& selected) {
  std::vector<std::size_t> out;
  if (all) {
    for (std::size_t i = 0; i < plan.rows.size(); ++i)
      if (!plan.rows[i].isFolderRow()) out.push_back(i);
  } else {
    for (std::size_t i : selected)
      if (i < plan.rows.size() && !plan.rows[i].isFolderRow()) out.push_back(i);
  }
  return out;
}

}  // namespace

void PlanList::clear() {
  rows.clear();
  reverses.reset();
  for (auto& c : captions_) c.clear();
}

void PlanList::setDefaultCaptions() {
  const bool archive = mode == PlanMode::Archive;
  const bool renaming = renameMode || archive;
  captions_[0].clear();
  captions_[ColOldName] = TextCodec::fromUtf8(renaming ? "変換前ﾌｧｲﾙ名" : "ﾌｧｲﾙ名");
  captions_[ColNewName] = TextCodec::fromUtf8(renaming ? "変換後ﾌｧｲﾙ名" : "ﾘﾈｰﾑなし");
  captions_[ColCreated] = TextCodec::fromUtf8("ﾌｧｲﾙ作成日時");
  captions_[ColModified] = TextCodec::fromUtf8(archive ? "格納ﾌｧｲﾙ日時" : "最終更新日時");
  captions_[ColAccessed] = TextCodec::fromUtf8("最終ｱｸｾｽ日時");
  captions_[ColAttrs] = TextCodec::fromUtf8("属性");
}

bool PlanList::columnShown(std::size_t column) const {
  if (mode == PlanMode::Archive) return column == ColOldName || column == ColNewName || column == ColModified;
  if (column == ColNewName) return renameMode;
  return column >= ColOldName && column <= ColAttrs;
}

bool PlanList::isChanged(std::size_t column) const {
  const std::string& c = captions_.at(column);
  return !c.empty() && c.front() == '!';
}

bool PlanList::anyTimeChanged() const {
  return isChanged(ColCreated) || isChanged(ColModified) || isChanged(ColAccessed);
}

void PlanList::markChanged(std::size_t column) {
  if (!isChanged(column)) captions_.at(column).insert(0, 1, '!');
}

std::string& PlanList::text(std::size_t row, std::size_t column) {
  return const_cast<std::string&>(static_cast<const PlanList&>(*this).text(row, column));
}

const std::string& PlanList::text(std::size_t row, std::size_t column) const {
  const PlanRow& r = rows.at(row);
  switch (column) {
    case ColCreated: return r.created;
    case ColModified: return r.modified;
    case ColAccessed: return r.accessed;
    case ColAttrs: return r.attrs;
    default: throw std::out_of_range("PlanList::text: not a time or attribute column");
  }
}

std::string PlanList::listedText(std::size_t row, std::size_t column) const {
  const PlanRow& r = rows.at(row);
  if (r.isFolderRow()) {
    if (column < ColCreated || column > ColAttrs)
      throw std::out_of_range("PlanList::listedText: not a time or attribute column");
    return {};
  }
  switch (column) {
    case ColCreated: return TimeConvert::toText(r.origCreated);
    case ColModified: return TimeConvert::toText(r.origModified);
    case ColAccessed: return TimeConvert::toText(r.origAccessed);
    case ColAttrs: return AttributeText::fromBits(r.origAttrs);
    default: throw std::out_of_range("PlanList::listedText: not a time or attribute column");
  }
}

bool PlanList::applyTimeChange(const TimeChange& change, const std::vector<std::size_t>& selected) {
  if (change.source == TimeSource::Direct && !TimeConvert::fromText(change.text)) return false;
  for (std::size_t k = 0; k < 3; ++k) {
    if (!change.target[k] || static_cast<std::size_t>(change.source) == k + 1) continue;
    const std::size_t column = ColCreated + k;
    for (std::size_t i : targetRows(*this, change.all[k], selected)) {
      text(i, column) = change.source == TimeSource::Direct
                            ? change.text
                            : text(i, ColCreated + static_cast<std::size_t>(change.source) - 1);
    }
    markChanged(column);
  }
  return true;
}

bool PlanList::applyAttributeChange(const std::string& attrs, bool all,
                                    const std::vector<std::size_t>& selected) {
  if (!AttributeText::isValid(attrs)) return false;
  for (std::size_t i : targetRows(*this, all, selected)) rows[i].attrs = attrs;
  markChanged(ColAttrs);
  return true;
}

void PlanList::undoColumn(std::size_t column) {
  if (column < ColCreated || column > ColAttrs || !isChanged(column)) return;
  captions_[column].erase(0, 1);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::string& t = text(i, column);
    if (!t.empty()) t = listedText(i, column);
  }
}

bool PlanList::allBoxInitial(const std::vector<std::size_t>& selected) const {
  return selected.empty() || selected.size() == rows.size();
}

std::optional<std::string> PlanList::initialTimeText(std::size_t column,
                                                     const std::vector<std::size_t>& selected) const {
  if (selected.empty() || selected.front() >= rows.size()) return std::nullopt;
  const std::string& t = text(selected.front(), column);
  if (t.empty()) return std::nullopt;
  return t;
}

std::string PlanList::initialAttributes(const std::vector<std::size_t>& selected) const {
  if (rows.empty()) return {};
  const std::size_t row = selected.empty() ? 0 : selected.front();
  return row < rows.size() ? rows[row].attrs : std::string();
}

}  // namespace ritoma
