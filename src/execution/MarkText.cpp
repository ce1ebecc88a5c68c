#include "execution/MarkText.h"

namespace ritoma {

const char* MarkText::of(RowMark mark) {
  switch (mark) {
    case MarkNone: return "";
    case MarkBlocked: return "変更後のﾌｧｲﾙ名が後の行でまだ使われています。";
    case MarkExists: return "変更後のﾌｧｲﾙ名が既にあります。";
    case MarkTempExists: return "一時ﾌｧｲﾙ名が既にあります。";
    case MarkFailed: return "処理に失敗しました。";
    case MarkTempTooLong: return "一時ﾌｧｲﾙ名（ﾏｰｶｰ＋元のﾌｧｲﾙ名）が255ﾊﾞｲﾄを超えます。";
    case MarkHeaderTooLong: return "書庫のﾍｯﾀﾞｰが64KBを超えるため、この名前は格納できません。";
  }
  return "";
}

}  // namespace ritoma
