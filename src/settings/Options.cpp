#include "settings/Options.h"

#include <string>

namespace ritoma {

void Options::load(const IniFile& ini) {
  const Options defaults;
  constexpr const char* section = "Option";
  arcOpen = ini.readBool(section, "ArcOpen", defaults.arcOpen);
  for (std::size_t i = 0; i < greet.size(); ++i)
    greet[i] = ini.readInteger(section, "Greet" + std::to_string(i + 1), defaults.greet[i]);
  chkAuto = ini.readBool(section, "ChkAuto", defaults.chkAuto);
  chkStop = ini.readBool(section, "ChkStop", defaults.chkStop);
  chkForce = ini.readBool(section, "ChkForce", defaults.chkForce);
  msgExec = ini.readBool(section, "MsgExec", defaults.msgExec);
  msgDir = ini.readBool(section, "MsgDir", defaults.msgDir);
  msgExit = ini.readBool(section, "MsgExit", defaults.msgExit);
  arcBackup = ini.readInteger(section, "ArcBackup", defaults.arcBackup);
}

}  // namespace ritoma
