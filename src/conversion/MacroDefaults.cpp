#include "conversion/MacroDefaults.h"

#include <iterator>

namespace ritoma {

namespace {

constexpr const char* kSection = "MacroOption";

struct KeyInfo {
  const char* key;
  int MacroDefaults::*value;
  int page;
};

constexpr KeyInfo kKeys[] = {
    {"f1", &MacroDefaults::f1, 0},   {"f2", &MacroDefaults::f2, 0},   {"f3", &MacroDefaults::f3, 0},
    {"e1", &MacroDefaults::e1, 1},   {"e2", &MacroDefaults::e2, 1},   {"e3", &MacroDefaults::e3, 1},
    {"n1", &MacroDefaults::n1, 2},   {"n2", &MacroDefaults::n2, 2},   {"n3", &MacroDefaults::n3, 2},
    {"K11", &MacroDefaults::K11, 3}, {"K12", &MacroDefaults::K12, 3}, {"K13", &MacroDefaults::K13, 3},
    {"K21", &MacroDefaults::K21, 4}, {"K22", &MacroDefaults::K22, 4}, {"K23", &MacroDefaults::K23, 4},
    {"Dy1", &MacroDefaults::Dy1, 5}, {"Dy2", &MacroDefaults::Dy2, 5}, {"Dm1", &MacroDefaults::Dm1, 5},
    {"Dm2", &MacroDefaults::Dm2, 5}, {"Dd1", &MacroDefaults::Dd1, 5}, {"Dd2", &MacroDefaults::Dd2, 5},
    {"Th1", &MacroDefaults::Th1, 6}, {"Th2", &MacroDefaults::Th2, 6}, {"Tm1", &MacroDefaults::Tm1, 6},
    {"Tm2", &MacroDefaults::Tm2, 6}, {"Ts1", &MacroDefaults::Ts1, 6}, {"Ts2", &MacroDefaults::Ts2, 6},
    {"s1", &MacroDefaults::s1, 7},   {"s2", &MacroDefaults::s2, 7},
    {"o1", &MacroDefaults::o1, 8},   {"o2", &MacroDefaults::o2, 8},   {"o3", &MacroDefaults::o3, 8},
};

}  // namespace

void MacroDefaults::load(const IniFile& ini) {
  const MacroDefaults factory;
  for (const KeyInfo& k : kKeys) this->*k.value = ini.readInteger(kSection, k.key, factory.*k.value);
  omitDefaults = ini.readBool(kSection, "Default", factory.omitDefaults);
}

void MacroDefaults::copyPage(int page, const MacroDefaults& other) {
  for (const KeyInfo& k : kKeys)
    if (k.page == page) this->*k.value = other.*k.value;
}

void MacroDefaults::savePage(IniFile& ini, int page) const {
  IniFile::Batch batch(ini);
  for (const KeyInfo& k : kKeys)
    if (k.page == page) ini.writeInteger(kSection, k.key, this->*k.value);
  batch.commit();
}

void MacroDefaults::saveAll(IniFile& ini) const {
  IniFile::Batch batch(ini);
  for (const KeyInfo& k : kKeys) ini.writeInteger(kSection, k.key, this->*k.value);
  batch.commit();
}

void MacroDefaults::saveOmission(IniFile& ini) const { ini.writeBool(kSection, "Default", omitDefaults); }

}  // namespace ritoma
