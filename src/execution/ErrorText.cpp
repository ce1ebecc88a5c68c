#include "execution/ErrorText.h"

#include <cerrno>

#include "platform/NoReplaceRename.h"

namespace ritoma {

namespace {

const char* japaneseText(int error) {
  switch (error) {
    case EACCES: return "アクセス権がありません";
    case EPERM: return "この操作は許可されていません";
    case EEXIST: return "同じ名前のファイルが既にあります";
    case ENOTEMPTY: return "同じ名前のディレクトリが既にあり、空ではありません";
    case ENOSPC: return "ディスクの空き容量が足りません";
    case EDQUOT: return "ディスクの使用量の上限を超えています";
    case EROFS: return "書き込みが禁止されたメディアです";
    case ENAMETOOLONG: return "名前が長すぎます";
    case ENOTSUP: return "このファイルシステムでは使えない操作です";
#if EOPNOTSUPP != ENOTSUP
    case EOPNOTSUPP: return "このファイルシステムでは使えない操作です";
#endif
    case ENOSYS: return "このファイルシステムでは使えない操作です";
    case EINVAL: return "このファイルシステムでは使えない名前か、使えない操作です";
    case ENOENT: return "ファイルが見つかりません";
    case ENOTDIR: return "パスの途中がディレクトリではありません";
    case EISDIR: return "ディレクトリです";
    case EBUSY: return "使用中です";
    case ETXTBSY: return "実行中のファイルです";
    case EXDEV: return "別のドライブへは移動できません";
    case EIO: return "ディスクの読み書きに失敗しました";
    case ENOMEM: return "メモリが足りません";
    case EMFILE:
    case ENFILE: return "開いているファイルが多すぎます";
    case ELOOP: return "シンボリックリンクが循環しています";
    case ENOTCONN:
    case ESTALE:
    case ETIMEDOUT:
    case EHOSTDOWN:
    case EHOSTUNREACH: return "ネットワーク上の共有に接続できません";
    default: return nullptr;
  }
}

}  // namespace

std::string ErrorText::of(std::error_code ec) {
  if (!ec) return {};
  if (ec == NoReplaceRename::spellingKept())
    return "ファイルシステムが大文字・小文字だけを変える名前の変更を受け付けませんでした";
  if (ec.category() != std::generic_category() && ec.category() != std::system_category())
    return ec.message();
  if (const char* text = japaneseText(ec.value())) return text;
  return "システムエラー " + std::to_string(ec.value()) + "（" + ec.message() + "）";
}

std::string ErrorText::withReason(const std::string& what, std::error_code ec) {
  if (!ec) return what;
  return what + "（" + of(ec) + "）";
}

}  // namespace ritoma
