#include "settings/DummySettings.h"

#include <algorithm>

#include "settings/DummyTextEscape.h"
#include "settings/IniFile.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

constexpr const char* kSection = "Dummy";

int readNumber(const IniFile& ini, const char* key, int defaultValue, int lowest) {
  return std::clamp(ini.readInteger(kSection, key, defaultValue), lowest, DummySettings::MaxNumber);
}

}  // namespace

void DummySettings::load(const IniFile& ini) {
  edit = DummyTextEscape::decode(ini.readString(kSection, "Edit"));
  zeroByte = ini.readBool(kSection, "ZeroByte", true);
  binary = ini.readBool(kSection, "BinTxt", true);
  bin1 = readNumber(ini, "Bin1", 0, 0);
  bin2 = readNumber(ini, "Bin2", 0, 0);
  txt1 = readNumber(ini, "Txt1", 1, 1);
  txt2 = readNumber(ini, "Txt2", 1, 1);
  txtMax = ini.readBool(kSection, "TxtMax1", false);
  txtMaxBytes = readNumber(ini, "TxtMax2", 0, 0);
  arcLzh = ini.readBool(kSection, "ArcLzh", false);
  arcZip = ini.readBool(kSection, "ArcZip", false);
  arcNo = readNumber(ini, "ArcNo", 1, 1);
  arcExt = ini.readBool(kSection, "ArcExt", false);
  notArcExcerpt = ini.readBool(kSection, "NotArc", false);
  page = std::clamp(ini.readInteger(kSection, "Page", 0), 0, 2);
}

void DummySettings::save(IniFile& ini) const {
  ini.writeString(kSection, "Edit", DummyTextEscape::encode(edit));
  ini.writeBool(kSection, "ZeroByte", zeroByte);
  ini.writeBool(kSection, "BinTxt", binary);
  ini.writeInteger(kSection, "Bin1", bin1);
  ini.writeInteger(kSection, "Bin2", bin2);
  ini.writeInteger(kSection, "Txt1", txt1);
  ini.writeInteger(kSection, "Txt2", txt2);
  ini.writeBool(kSection, "TxtMax1", txtMax);
  ini.writeInteger(kSection, "TxtMax2", txtMaxBytes);
  ini.writeBool(kSection, "ArcLzh", arcLzh);
  ini.writeBool(kSection, "ArcZip", arcZip);
  ini.writeInteger(kSection, "ArcNo", arcNo);
  ini.writeBool(kSection, "ArcExt", arcExt);
  ini.writeBool(kSection, "NotArc", notArcExcerpt);
  ini.writeInteger(kSection, "Page", page);
}

bool DummySettings::contentBytes(std::string& out) const {
  out.clear();
  if (zeroByte) return true;
  bool ok = true;
  out = TextCodec::toDisk(edit, &ok);
  return ok;
}

}  // namespace ritoma
