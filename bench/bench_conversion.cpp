// Times the three conversion tools over 100,000 rows, the way the conversion
// page runs them: one compile, then one expansion (or replacement, or
// character conversion) per checked row. Target: each pass under 0.2 s.
#include <chrono>
#include <cstdio>
#include <string>

#include "conversion/ConversionList.h"
#include "text/TextCodec.h"

using namespace ritoma;

namespace {

constexpr int kRows = 100000;
constexpr double kTargetSeconds = 0.2;

template <typename F>
double seconds(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* what, double s) {
  std::printf("%-52s %8.3f s  %7.3f us/row  %s\n", what, s, s * 1e6 / kRows, s < kTargetSeconds ? "ok" : "SLOW");
}

}  // namespace

int main() {
  EditList edit;
  edit.rows.reserve(kRows);
  const std::string kana = TextCodec::fromUtf8("写真ｶﾞｲﾄﾞ表ソ");
  for (int i = 0; i < kRows; ++i) {
    EditRow row;
    char info[64];
    std::snprintf(info, sizeof info, "2003/%02d/%02d 06:07:08 %d,%03d", 1 + i % 12, 1 + i % 28, i % 1000, i % 997);
    row.infoText = info;
    row.names = {(i % 3 == 0 ? kana : std::string("IMG_")) + std::to_string(i) + "_abc" + ".JPG"};
    edit.rows.push_back(std::move(row));
    edit.sizeWidth = std::max<int>(edit.sizeWidth, static_cast<int>(edit.rows.back().infoText.size()) - 20);
  }
  ConversionList list;
  list.Open(edit, ConversionStage::ForStageButton(edit));
  NullProgress progress;

  TemplateEngine engine;
  const std::string ext = "/e<,,1>";
  const double tTemplate = seconds([&] {
    list.PreviewTemplate(engine, edit, 0, "/f<0,8>_/n<1,6>_/D<y2m3d3>-/T<h3m3s3>_/s<1,0>", &ext);
    list.ApplyToRows(engine, edit, progress, 0);
  });
  std::printf("sample: %s\n", TextCodec::toUtf8(list.rows[12345].result).c_str());
  report("template, five macros + extension macro", tTemplate);

  StringReplacer replacer;
  replacer.search = TextCodec::fromUtf8("IMG_*_|表?");
  replacer.replacement = TextCodec::fromUtf8("P-|X");
  const double tReplace = seconds([&] { list.ApplyToRows(replacer, progress, 0); });
  std::printf("sample: %s | %s\n", TextCodec::toUtf8(list.rows[1].result).c_str(),
              TextCodec::toUtf8(list.rows[3].result).c_str());
  report("replacement, two wildcard pairs", tReplace);

  CharConverter converter;
  converter.position = 10;  // both widths
  converter.letters = converter.digits = true;
  converter.kana = ClassState::Checked;
  converter.other = ClassState::Checked;
  const double tWidth = seconds([&] { list.ApplyToRows(converter, progress, 0); });
  std::printf("sample: %s\n", TextCodec::toUtf8(list.rows[3].result).c_str());
  report("width conversion, all classes both ways", tWidth);
  return tTemplate < kTargetSeconds && tReplace < kTargetSeconds && tWidth < kTargetSeconds ? 0 : 1;
}
