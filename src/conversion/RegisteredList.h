#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "conversion/EntryMove.h"
#include "settings/IniFile.h"

namespace ritoma {

// A list of registered entries kept in one settings section: "Count", then
// each text field of entry i under its prefix and the number i ("C-000").
// The list and the section always hold the same entries: every change is
// written at once.
template <typename Entry>
class RegisteredList {
public:
  // One text field of an entry and the key prefix it is kept under.
  struct Field {
    const char* prefix;
    std::string Entry::*member;
  };

  std::vector<Entry> entries;

  // Entries 0 … Count − 1; a missing key reads as an empty text.
  void load(const IniFile& ini) {
    entries.clear();
    const int count = ini.readListCount(section_, "Count");
    for (int i = 0; i < count; ++i) {
      Entry entry;
      for (const Field& field : fields_) entry.*field.member = ini.readString(section_, IniFile::numberedKey(field.prefix, i));
      entries.push_back(std::move(entry));
    }
  }

  // Erases the section and writes Count and every entry, as one write.
  void saveSection(IniFile& ini) const {
    IniFile::Batch batch(ini);
    ini.eraseSection(section_);
    ini.writeInteger(section_, "Count", static_cast<int>(entries.size()));
    writeEntries(ini);
    batch.commit();
  }

  // Moves the selected entry onto the target and writes every entry's keys
  // again (Count unchanged, the section not erased). Returns the new index.
  std::size_t moveEntry(IniFile& ini, std::size_t selected, std::size_t target) {
    const std::size_t moved = EntryMove::Move(entries, selected, target);
    IniFile::Batch batch(ini);
    writeEntries(ini);
    batch.commit();
    return moved;
  }

protected:
  // `fields` in the order their keys are written.
  RegisteredList(const char* section, std::array<Field, 3> fields) : section_(section), fields_(fields) {}

private:
  void writeEntries(IniFile& ini) const {
    for (std::size_t i = 0; i < entries.size(); ++i) {
      for (const Field& field : fields_) {
        ini.writeString(section_, IniFile::numberedKey(field.prefix, static_cast<int>(i)), entries[i].*field.member);
      }
    }
  }

  const char* section_;
  std::array<Field, 3> fields_;
};

}  // namespace ritoma
