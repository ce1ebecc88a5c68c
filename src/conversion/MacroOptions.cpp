#include "conversion/MacroOptions.h"

#include <algorithm>

namespace ritoma {

namespace {

struct Values3 {
  const char* macro;
  int MacroDefaults::*v[3];
};

constexpr Values3 kThreeValuePages[] = {
    {"/f", {&MacroDefaults::f1, &MacroDefaults::f2, &MacroDefaults::f3}},
    {"/e", {&MacroDefaults::e1, &MacroDefaults::e2, &MacroDefaults::e3}},
    {"/n", {&MacroDefaults::n1, &MacroDefaults::n2, &MacroDefaults::n3}},
    {"/K", {&MacroDefaults::K11, &MacroDefaults::K12, &MacroDefaults::K13}},
    {"/k", {&MacroDefaults::K21, &MacroDefaults::K22, &MacroDefaults::K23}},
};
constexpr Values3 kFolderPage = {"/o", {&MacroDefaults::o1, &MacroDefaults::o2, &MacroDefaults::o3}};

struct StampPage {
  const char* macro;
  const char* letters;
  int MacroDefaults::*on[3];
  int MacroDefaults::*form[3];
};

constexpr StampPage kDatePage = {"/D", "ymd",
                                 {&MacroDefaults::Dy1, &MacroDefaults::Dm1, &MacroDefaults::Dd1},
                                 {&MacroDefaults::Dy2, &MacroDefaults::Dm2, &MacroDefaults::Dd2}};
constexpr StampPage kTimePage = {"/T", "hms",
                                 {&MacroDefaults::Th1, &MacroDefaults::Tm1, &MacroDefaults::Ts1},
                                 {&MacroDefaults::Th2, &MacroDefaults::Tm2, &MacroDefaults::Ts2}};

std::string buildThree(const Values3& page, const MacroDefaults& c, const MacroDefaults& d) {
  std::string text = page.macro;
  const bool omit = d.omitDefaults;
  auto written = [&](int i) { return !omit || c.*page.v[i] != d.*page.v[i]; };
  if (omit && !written(0) && !written(1) && !written(2)) return text;
  int commas = 0;
  text += '<';
  if (written(0)) text += std::to_string(c.*page.v[0]);
  if (written(1)) {
    text += ',' + std::to_string(c.*page.v[1]);
    ++commas;
  }
  if (written(2)) {
    for (; commas <= 0; ++commas) text += ',';
    text += ',' + std::to_string(c.*page.v[2]);
  }
  text += '>';
  return text;
}

std::string buildStamp(const StampPage& page, const MacroDefaults& c, const MacroDefaults& d) {
  bool any = false;
  bool allDefault = true;
  for (int i = 0; i < 3; ++i) {
    any = any || c.*page.on[i] != 0;
    allDefault = allDefault && c.*page.on[i] == d.*page.on[i] && c.*page.form[i] == d.*page.form[i];
  }
  if (!any) return {};
  std::string text = page.macro;
  if (d.omitDefaults && allDefault) return text;
  text += '<';
  for (int i = 0; i < 3; ++i) {
    if (c.*page.on[i] == 0) continue;
    text += page.letters[i];
    text += std::to_string(c.*page.form[i] + 1);
  }
  text += '>';
  return text;
}

std::string buildSize(const MacroDefaults& c, const MacroDefaults& d) {
  const bool omit = d.omitDefaults;
  const bool w1 = !omit || c.s1 != d.s1;
  const bool w2 = !omit || c.s2 != d.s2;
  if (!w1 && !w2) return "/s";
  std::string text = "/s<";
  if (w1) text += std::to_string(c.s1);
  if (w2) text += ',' + std::to_string(c.s2);
  text += '>';
  return text;
}

}  // namespace

void MacroOptions::Load(const IniFile& ini) {
  defaults.load(ini);
  controls = defaults;
}

std::string MacroOptions::BuildMacroText(int page) {
  switch (page) {
    case 3:
      if (controls.K12 < 0) {
        if (controls.K11 > 9) controls.K11 = 0;
        if (controls.K13 > 1) controls.K13 = 1;
      }
      [[fallthrough]];
    case 0:
    case 1:
    case 2:
    case 4: return buildThree(kThreeValuePages[page], controls, defaults);
    case 5: return buildStamp(kDatePage, controls, defaults);
    case 6: return buildStamp(kTimePage, controls, defaults);
    case 7: return buildSize(controls, defaults);
    case 8: return buildThree(kFolderPage, controls, defaults);
    default: return {};
  }
}

std::string MacroOptions::StampExample(int page) const {
  if (page != 5 && page != 6) return {};
  const StampPage& p = page == 5 ? kDatePage : kTimePage;
  static constexpr const char* kDateForms[3][3] = {{"03", "2003", "2003"}, {"4", "_4", "04"}, {"5", "_5", "05"}};
  static constexpr const char* kTimeForms[3][3] = {{"6", "_6", "06"}, {"7", "_7", "07"}, {"8", "_8", "08"}};
  std::string text;
  for (int i = 0; i < 3; ++i) {
    if (controls.*p.on[i] == 0) continue;
    const int form = std::clamp(controls.*p.form[i], 0, 2);
    text += (page == 5 ? kDateForms : kTimeForms)[i][form];
  }
  return text;
}

std::vector<std::string> MacroOptions::SizeExample() const {
  std::vector<std::string> lines = controls.s2 != 0 ? std::vector<std::string>{"1,234", "123,456,789"}
                                                     : std::vector<std::string>{"1234", "123456789"};
  if (controls.s1 != 0) lines[0].insert(0, lines[1].size() - lines[0].size(), ' ');
  return lines;
}

void MacroOptions::SaveDefaults(IniFile& ini, int page) {
  defaults.copyPage(page, controls);
  defaults.savePage(ini, page);
}

void MacroOptions::SaveAllDefaults(IniFile& ini) {
  for (int page = 0; page < MacroDefaults::PageCount; ++page) defaults.copyPage(page, controls);
  defaults.saveAll(ini);
}

}  // namespace ritoma
