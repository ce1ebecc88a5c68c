#include "conversion/MacroDefaults.h"

#include <algorithm>
#include <iterator>

namespace ritoma {

namespace {

constexpr const char* kSection = "MacroOption";

struct KeyInfo {
  const char* key;
  int MacroDefaults::*value;
  int page;
  int minimum, maximum;  // the range of the dialog's control
};

constexpr int kMax = 32767;

constexpr KeyInfo kKeys[] = {
    {"f1", &MacroDefaults::f1, 0, -127, 127},  {"f2", &MacroDefaults::f2, 0, -127, 127},
    {"f3", &MacroDefaults::f3, 0, 0, 2},       {"e1", &MacroDefaults::e1, 1, -127, 127},
    {"e2", &MacroDefaults::e2, 1, -127, 127},  {"e3", &MacroDefaults::e3, 1, 0, 2},
    {"n1", &MacroDefaults::n1, 2, 0, kMax},    {"n2", &MacroDefaults::n2, 2, 0, kMax},
    {"n3", &MacroDefaults::n3, 2, 1, kMax},    {"K11", &MacroDefaults::K11, 3, 0, kMax},
    {"K12", &MacroDefaults::K12, 3, -2, kMax}, {"K13", &MacroDefaults::K13, 3, 1, kMax},
    {"K21", &MacroDefaults::K21, 4, 0, kMax},  {"K22", &MacroDefaults::K22, 4, 0, kMax},
    {"K23", &MacroDefaults::K23, 4, 1, kMax},  {"Dy1", &MacroDefaults::Dy1, 5, 0, 1},
    {"Dy2", &MacroDefaults::Dy2, 5, 0, 1},     {"Dm1", &MacroDefaults::Dm1, 5, 0, 1},
    {"Dm2", &MacroDefaults::Dm2, 5, 0, 2},     {"Dd1", &MacroDefaults::Dd1, 5, 0, 1},
    {"Dd2", &MacroDefaults::Dd2, 5, 0, 2},     {"Th1", &MacroDefaults::Th1, 6, 0, 1},
    {"Th2", &MacroDefaults::Th2, 6, 0, 2},     {"Tm1", &MacroDefaults::Tm1, 6, 0, 1},
    {"Tm2", &MacroDefaults::Tm2, 6, 0, 2},     {"Ts1", &MacroDefaults::Ts1, 6, 0, 1},
    {"Ts2", &MacroDefaults::Ts2, 6, 0, 2},     {"s1", &MacroDefaults::s1, 7, 0, 1},
    {"s2", &MacroDefaults::s2, 7, 0, 1},       {"o1", &MacroDefaults::o1, 8, -127, 127},
    {"o2", &MacroDefaults::o2, 8, -127, 127},  {"o3", &MacroDefaults::o3, 8, 0, 2},
};

}  // namespace

void MacroDefaults::load(const IniFile& ini) {
  const MacroDefaults factory;
  // A hand-edited value outside its control's range is clamped into it, so the dialog
  // inserts and saves what it shows, and the command line uses the same value.
  for (const KeyInfo& k : kKeys)
    this->*k.value = std::clamp(ini.readInteger(kSection, k.key, factory.*k.value), k.minimum, k.maximum);
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
