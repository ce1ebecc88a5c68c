#pragma once

#include <string>

namespace ritoma {

class IniFile;

// What the dummy-file dialog sets up, as the writers read it; the settings
// file keeps it in the section [Dummy]. The numbers stay within the ranges
// of the dialog's fields.
struct DummySettings {
  static constexpr int MaxNumber = 32767;

  // Page 0 "内容編集": the text (code page 932, line breaks CR LF), or
  // empty files with `zeroByte`.
  std::string edit;
  bool zeroByte = true;
  // Page 1 "ﾌｧｲﾙ内容": a binary cut-out of `bin2` bytes from offset
  // `bin1`, or a text cut-out of `txt2` lines from line `txt1` (1-based),
  // cut to `txtMaxBytes` bytes with `txtMax`.
  bool binary = true;
  int bin1 = 0;
  int bin2 = 0;
  int txt1 = 1;
  int txt2 = 1;
  bool txtMax = false;
  int txtMaxBytes = 0;
  // Page 2 "書庫ﾌｧｲﾙ": the `arcNo`-th stored file (directory entries not
  // counted) of sources that are LZH or ZIP archives, with its extension
  // when `arcExt`; other sources get page 1's content with
  // `notArcExcerpt`, page 0's without.
  bool arcLzh = false;
  bool arcZip = false;
  int arcNo = 1;
  bool arcExt = false;
  bool notArcExcerpt = false;
  // The dialog's page, 0 to 2: which of the three contents is written.
  int page = 0;

  // Reads [Dummy]; missing keys give the defaults above, numbers outside
  // their ranges are clamped into them.
  void load(const IniFile& ini);
  // Writes every key of [Dummy].
  void save(IniFile& ini) const;

  // The bytes page 0 writes into each file: nothing with `zeroByte`, else
  // the text as the disk holds text (UTF-8), line breaks as they are. False
  // when the text is no code-page-932 text (a hand-written [Dummy] value
  // can decode to one).
  bool contentBytes(std::string& out) const;
};

}  // namespace ritoma
