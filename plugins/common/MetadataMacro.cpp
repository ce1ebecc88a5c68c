#include "MetadataMacro.h"

#include <cstring>

#include "DateStamp.h"
#include "MacroOption.h"
#include "TagText.h"
#include "text/Cp932.h"
#include "text/TextCodec.h"
#include "ui/OptionDialog.h"

namespace ritoma::metadata {

namespace {

// Copies `utf8` as code page 932 into a host buffer of
// RITOMA_PLUGIN_TEXT_SIZE bytes, cut at a character boundary.
void copyInfoText(char* buffer, const std::string& utf8) {
  if (!buffer) return;
  const std::string text = TextCodec::fromUtf8(utf8);
  std::size_t length = 0;
  while (length < text.size()) {
    const std::size_t next = length + Cp932::charLength(text, length);
    if (next >= RITOMA_PLUGIN_TEXT_SIZE) break;
    length = next;
  }
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

bool isDigits(std::string_view s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// A number's digits without leading zeros, zero-padded to `width`.
std::string padded(std::string_view digits, std::size_t width) {
  while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
  std::string out(digits);
  if (out.size() < width) out.insert(0, width - out.size(), '0');
  return out;
}

// FORMAT's width; widths beyond 64 are taken as 64, since a name has no
// room for more.
std::size_t widthOf(std::string_view digits) {
  constexpr std::size_t kMaxWidth = 64;
  while (!digits.empty() && digits.front() == '0') digits.remove_prefix(1);
  std::size_t width = 0;
  for (char c : digits) {
    width = width * 10 + static_cast<std::size_t>(c - '0');
    if (width > kMaxWidth) return kMaxWidth;
  }
  return width;
}

}  // namespace

MetadataMacro::MetadataMacro(std::string name, char letter, std::string information,
                             FieldChoices fields)
    : name_(std::move(name)), letter_(letter), information_(std::move(information)),
      fields_(std::move(fields)) {}

int MetadataMacro::getInfo(RitomaPluginInfo* info) const {
  if (!info) return 0;
  copyInfoText(info->name, name_);
  info->letter = letter_;
  copyInfoText(info->information, information_);
  return RITOMA_PLUGIN_MAGIC;
}

void MetadataMacro::initDll(const RitomaPluginInit* init) {
  if (init && init->letter >= 'A' && init->letter <= 'Z') boundLetter_ = init->letter;
}

void MetadataMacro::endDll() { result_.clear(); }

const char* MetadataMacro::setOption(const RitomaPluginWindow* window) {
  try {
    const std::optional<MacroOption> option = OptionDialog::ask(name_, fields_, window);
    if (!option) return nullptr;
    result_ = "/x";
    result_ += boundLetter_ ? boundLetter_ : letter_;
    result_ += option->block();
    return result_.c_str();
  } catch (...) {
    return nullptr;
  }
}

const char* MetadataMacro::execMacro(const ExecMacroInfo* call) {
  if (!call) return nullptr;
  try {
    result_ = expand(*call);
  } catch (...) {
    result_.clear();
  }
  return result_.c_str();
}

std::string MetadataMacro::expand(const ExecMacroInfo& call) {
  if (call.inArchive) return {};
  const MacroOption option = MacroOption::parse(call.option ? call.option : "");
  const std::string field = TagText::trim(TextCodec::toDisk(option.field));
  bool folderOk = false, nameOk = false;
  std::string path = TextCodec::toDisk(call.folder ? call.folder : "", &folderOk);
  const std::string name = TextCodec::toDisk(call.listedName ? call.listedName : "", &nameOk);
  if (field.empty() || !folderOk || !nameOk || name.empty()) return option.fallback;
  if (!path.empty() && !path.ends_with('/')) path += '/';
  path += name;

  std::optional<TagValue> value;
  try {
    value = read(path, field);
  } catch (...) {
    value.reset();
  }
  if (!value) return option.fallback;
  value->text = TagText::trim(value->text);
  const std::string format = TextCodec::toDisk(option.format);
  const std::optional<std::string> text = value->text.empty() ? std::nullopt : render(*value, format);
  if (!text || text->empty()) return option.fallback;
  return TagText::toName(*text);
}

std::optional<std::string> MetadataMacro::render(const TagValue& value, const std::string& format) {
  const bool dateFormat = format.find('%') != std::string::npos;
  if (dateFormat || value.kind == ValueKind::Date) {
    const std::optional<DateStamp> date = DateStamp::parse(value.text);
    if (!date) return std::nullopt;
    return date->format(dateFormat ? format : kDefaultDateFormat);
  }
  const std::string_view number =
      std::string_view(value.text).substr(0, value.text.find_first_not_of("0123456789"));
  if (number.empty() || (value.kind == ValueKind::Text && !isDigits(format))) return value.text;
  return padded(number, isDigits(format) ? widthOf(format) : 0);
}

}  // namespace ritoma::metadata
