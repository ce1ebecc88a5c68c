#include <gtest/gtest.h>

#include <cerrno>

#include "execution/ErrorText.h"
#include "platform/NoReplaceRename.h"

namespace ritoma::test {
namespace {

struct ErrorCase {
  const char* label;
  std::error_code ec;
  std::string text;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.label; }

// A cause the program defines itself, worded by its own category.
class OwnCategory : public std::error_category {
public:
  const char* name() const noexcept override { return "own"; }
  std::string message(int) const override { return "綴りが変わりませんでした"; }
};
const OwnCategory kOwn;

std::error_code sys(int e) { return {e, std::generic_category()}; }

class ErrorTexts : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ErrorTexts, SayWhyInJapaneseWhereTheProgramHasAText) {
  EXPECT_EQ(ErrorText::of(GetParam().ec), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, ErrorTexts,
    ::testing::Values(
        ErrorCase{"PermissionDenied", sys(EACCES), "アクセス権がありません"},
        ErrorCase{"NotPermitted", sys(EPERM), "この操作は許可されていません"},
        ErrorCase{"NotSupported", sys(ENOTSUP), "このファイルシステムでは使えない操作です"},
        ErrorCase{"NameTaken", sys(EEXIST), "同じ名前のファイルが既にあります"},
        ErrorCase{"NoSpace", sys(ENOSPC), "ディスクの空き容量が足りません"},
        ErrorCase{"ReadOnlyMedium", sys(EROFS), "書き込みが禁止されたメディアです"},
        ErrorCase{"NameTooLong", sys(ENAMETOOLONG), "名前が長すぎます"},
        ErrorCase{"SystemCategoryAlike", std::error_code(ENOSPC, std::system_category()),
                  "ディスクの空き容量が足りません"},
        ErrorCase{"WithoutATextTheSystemsOwn", sys(EPROTO),
                  "システムエラー " + std::to_string(EPROTO) + "（" + sys(EPROTO).message() + "）"},
        ErrorCase{"CaseOnlyRenameKeptTheOldSpelling", NoReplaceRename::spellingKept(),
                  "ファイルシステムが大文字・小文字だけを変える名前の変更を受け付けませんでした"},
        ErrorCase{"OwnCategory", std::error_code(1, kOwn), "綴りが変わりませんでした"},
        ErrorCase{"NoError", std::error_code(), ""}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ErrorText, ReasonFollowsTheTextOnlyWhenThereIsOne) {
  EXPECT_EQ(ErrorText::withReason("表.zip: 開けません", sys(EACCES)), "表.zip: 開けません（アクセス権がありません）");
  EXPECT_EQ(ErrorText::withReason("表.zip: 開けません", {}), "表.zip: 開けません");
}

}  // namespace
}  // namespace ritoma::test
