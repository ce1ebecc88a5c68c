#include "AudioMacro.h"

#include <strings.h>

#include <taglib/fileref.h>
#include <taglib/tfile.h>

#include "DateStamp.h"

namespace ritoma::metadata {

namespace {

FieldChoices audioFields() {
  return {
      {"artist", "アーティスト", ValueKind::Text},
      {"album", "アルバム", ValueKind::Text},
      {"title", "曲名", ValueKind::Text},
      {"track", "トラック番号", ValueKind::Number},
      {"disc", "ディスク番号", ValueKind::Number},
      {"year", "年", ValueKind::Number},
      {"genre", "ジャンル", ValueKind::Text},
      {"albumartist", "アルバムアーティスト", ValueKind::Text},
  };
}

struct Alias {
  const char* field;
  const char* tag;
  ValueKind kind;
};

constexpr Alias kAliases[] = {
    {"artist", "ARTIST", ValueKind::Text},        {"album", "ALBUM", ValueKind::Text},
    {"title", "TITLE", ValueKind::Text},          {"track", "TRACKNUMBER", ValueKind::Number},
    {"disc", "DISCNUMBER", ValueKind::Number},    {"year", "DATE", ValueKind::Number},
    {"genre", "GENRE", ValueKind::Text},          {"albumartist", "ALBUMARTIST", ValueKind::Text},
};

}  // namespace

AudioMacro::AudioMacro() : MetadataMacro("曲情報", 'M', "曲のタグ: <項目,書式,ない時>", audioFields()) {}

const TagLib::PropertyMap* AudioMacro::open(const std::string& path) {
  const std::optional<FileStamp> stamp = FileStamp::of(path);
  if (!stamp) return nullptr;
  if (path == path_ && stamp == stamp_) return &properties_;
  stamp_.reset();
  properties_.clear();
  const TagLib::FileRef file(path.c_str(), false);
  if (file.isNull() || !file.file()->isValid()) return nullptr;
  properties_ = file.file()->properties();
  path_ = path;
  stamp_ = stamp;
  return &properties_;
}

std::optional<TagValue> AudioMacro::read(const std::string& path, const std::string& field) {
  const TagLib::PropertyMap* properties = open(path);
  if (!properties) return std::nullopt;
  TagLib::String tag = TagLib::String(field, TagLib::String::UTF8).upper();
  std::optional<ValueKind> kind;
  for (const Alias& alias : kAliases) {
    if (strcasecmp(field.c_str(), alias.field) == 0) {
      tag = alias.tag;
      kind = alias.kind;
    }
  }
  const auto it = properties->find(tag);
  if (it == properties->end() || it->second.isEmpty()) return std::nullopt;
  TagValue value{it->second.toString(", ").to8Bit(true), kind.value_or(ValueKind::Text)};
  // A named tag's value that reads as a date is one ("2019-05-03").
  if (!kind && value.text.size() >= 10 && DateStamp::parse(value.text)) value.kind = ValueKind::Date;
  return value;
}

}  // namespace ritoma::metadata
