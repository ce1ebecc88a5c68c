#include "ExifMacro.h"

#include <cstdio>
#include <strings.h>

#include "DateStamp.h"
#include "TagText.h"

namespace ritoma::metadata {

namespace {

FieldChoices photoFields() {
  return {
      {"date", "撮影日時 (Exif.Photo.DateTimeOriginal、なければ Exif.Image.DateTime)", ValueKind::Date},
      {"model", "機種名 (Exif.Image.Model)", ValueKind::Text},
      {"make", "メーカー名 (Exif.Image.Make)", ValueKind::Text},
      {"lens", "レンズ名 (Exif.Photo.LensModel)", ValueKind::Text},
      {"width", "画像の幅 (ピクセル)", ValueKind::Number},
      {"height", "画像の高さ (ピクセル)", ValueKind::Number},
      {"iso", "ISO 感度 (Exif.Photo.ISOSpeedRatings)", ValueKind::Number},
      {"fnumber", "F 値 (Exif.Photo.FNumber)", ValueKind::Text},
      {"exposure", "露出時間 (秒、Exif.Photo.ExposureTime)", ValueKind::Text},
      {"gps", "撮影地の緯度と経度 (Exif.GPSInfo)", ValueKind::Text},
  };
}

// A decimal with at most `decimals` places, without trailing zeros.
std::string decimal(double value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text = buffer;
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text;
}

const Exiv2::Exifdatum* exifDatum(const Exiv2::Image& image, const char* key) {
  const Exiv2::ExifData& data = image.exifData();
  const auto it = data.findKey(Exiv2::ExifKey(key));
  return it == data.end() ? nullptr : &*it;
}

// A rational of the datum, or nothing when it has none or divides by zero.
std::optional<double> rational(const Exiv2::Exifdatum* datum, long n = 0) {
  if (!datum || datum->count() <= n) return std::nullopt;
  const Exiv2::Rational r = datum->toRational(n);
  if (r.second == 0) return std::nullopt;
  return static_cast<double>(r.first) / r.second;
}

// "1/250" for a fraction of a second, "2" or "2.5" from a second on.
std::optional<std::string> exposureText(const Exiv2::Exifdatum* datum) {
  const std::optional<double> seconds = rational(datum);
  if (!seconds || *seconds <= 0) return std::nullopt;
  if (*seconds >= 1) return decimal(*seconds, 1);
  return "1/" + decimal(1 / *seconds, 1);
}

// Degrees of a GPS coordinate (degrees, minutes, seconds) with its side.
std::optional<std::string> coordinate(const Exiv2::Image& image, const char* key, const char* refKey) {
  const Exiv2::Exifdatum* datum = exifDatum(image, key);
  const Exiv2::Exifdatum* ref = exifDatum(image, refKey);
  const auto d = rational(datum, 0), m = rational(datum, 1), s = rational(datum, 2);
  if (!d || !m || !s || !ref) return std::nullopt;
  const std::string side = TagText::trim(ref->toString());
  if (side.size() != 1) return std::nullopt;
  return decimal(*d + *m / 60 + *s / 3600, 5) + side;
}

// The text of a value as a name would use it: texts as they are, numbers
// in digits, everything else as libexiv2 prints it.
template <typename Datum>
std::string textOf(const Datum& datum) {
  switch (datum.typeId()) {
    case Exiv2::asciiString:
    case Exiv2::string:
    case Exiv2::xmpText:
    case Exiv2::xmpBag:
    case Exiv2::xmpSeq:
    case Exiv2::xmpAlt:
    case Exiv2::date:
    case Exiv2::time:
      return TagText::fromBytes(datum.toString());
    case Exiv2::langAlt:
      return datum.toString(0);
    case Exiv2::comment:
      return TagText::fromBytes(static_cast<const Exiv2::CommentValue&>(datum.value()).comment());
    case Exiv2::unsignedByte:
    case Exiv2::unsignedShort:
    case Exiv2::unsignedLong:
    case Exiv2::signedByte:
    case Exiv2::signedShort:
    case Exiv2::signedLong:
      return datum.toString();
    default:
      return TagText::fromBytes(datum.print());
  }
}

template <typename Data, typename Key>
std::optional<std::string> find(const Data& data, const std::string& key) {
  const auto it = data.findKey(Key(key));
  if (it == data.end()) return std::nullopt;
  return textOf(*it);
}

}  // namespace

ExifMacro::ExifMacro()
    : MetadataMacro("写真情報", 'E', "写真の Exif/IPTC/XMP の項目: <項目,書式,ない時>", photoFields()) {
  Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
  Exiv2::XmpParser::initialize();
  Exiv2::enableBMFF(true);
}

const Exiv2::Image* ExifMacro::open(const std::string& path) {
  const std::optional<FileStamp> stamp = FileStamp::of(path);
  if (!stamp) return nullptr;
  if (image_ && path == path_ && stamp == stamp_) return image_.get();
  image_.reset();
  stamp_.reset();
  auto opened = Exiv2::ImageFactory::open(path);
  opened->readMetadata();
  image_.reset(opened.release());
  path_ = path;
  stamp_ = stamp;
  return image_.get();
}

std::optional<TagValue> ExifMacro::read(const std::string& path, const std::string& field) {
  const Exiv2::Image* image = open(path);
  if (!image) return std::nullopt;
  if (field.find('.') != std::string::npos) {
    std::optional<TagValue> value = byKey(*image, field);
    // A key's value that reads as a date is one ("2024:05:03 14:25:01",
    // "2024-05-03"): its ":" would not stand in a name anyway.
    if (value && value->text.size() >= 10 && DateStamp::parse(value->text)) value->kind = ValueKind::Date;
    return value;
  }
  return alias(*image, field);
}

std::optional<TagValue> ExifMacro::byKey(const Exiv2::Image& image, const std::string& key) {
  std::optional<std::string> text;
  if (key.starts_with("Exif.")) {
    text = find<Exiv2::ExifData, Exiv2::ExifKey>(image.exifData(), key);
  } else if (key.starts_with("Iptc.")) {
    text = find<Exiv2::IptcData, Exiv2::IptcKey>(image.iptcData(), key);
  } else if (key.starts_with("Xmp.")) {
    text = find<Exiv2::XmpData, Exiv2::XmpKey>(image.xmpData(), key);
  }
  if (!text) return std::nullopt;
  return TagValue{*text, ValueKind::Text};
}

std::optional<TagValue> ExifMacro::alias(const Exiv2::Image& image, const std::string& field) const {
  const auto is = [&](const char* name) { return strcasecmp(field.c_str(), name) == 0; };
  const auto keyed = [&](std::initializer_list<const char*> keys, ValueKind kind) -> std::optional<TagValue> {
    // The first key with a value that is one (a date that reads as one).
    for (const char* key : keys) {
      std::optional<TagValue> value = byKey(image, key);
      if (!value) continue;
      value->text = TagText::trim(value->text);
      if (value->text.empty() || (kind == ValueKind::Date && !DateStamp::parse(value->text))) continue;
      return TagValue{value->text, kind};
    }
    return std::nullopt;
  };
  const auto text = [](std::optional<std::string> t) -> std::optional<TagValue> {
    if (!t) return std::nullopt;
    return TagValue{*t, ValueKind::Text};
  };
  const auto size = [&](int pixels, const char* key) -> std::optional<TagValue> {
    if (pixels > 0) return TagValue{std::to_string(pixels), ValueKind::Number};
    return keyed({key}, ValueKind::Number);
  };

  if (is("date")) return keyed({"Exif.Photo.DateTimeOriginal", "Exif.Image.DateTime"}, ValueKind::Date);
  if (is("model")) return keyed({"Exif.Image.Model"}, ValueKind::Text);
  if (is("make")) return keyed({"Exif.Image.Make"}, ValueKind::Text);
  if (is("lens")) return keyed({"Exif.Photo.LensModel"}, ValueKind::Text);
  if (is("width")) return size(image.pixelWidth(), "Exif.Photo.PixelXDimension");
  if (is("height")) return size(image.pixelHeight(), "Exif.Photo.PixelYDimension");
  if (is("iso")) return keyed({"Exif.Photo.ISOSpeedRatings"}, ValueKind::Number);
  if (is("fnumber")) {
    const std::optional<double> f = rational(exifDatum(image, "Exif.Photo.FNumber"));
    return text(f && *f > 0 ? std::optional(decimal(*f, 1)) : std::nullopt);
  }
  if (is("exposure")) return text(exposureText(exifDatum(image, "Exif.Photo.ExposureTime")));
  if (is("gps")) {
    const auto latitude = coordinate(image, "Exif.GPSInfo.GPSLatitude", "Exif.GPSInfo.GPSLatitudeRef");
    const auto longitude = coordinate(image, "Exif.GPSInfo.GPSLongitude", "Exif.GPSInfo.GPSLongitudeRef");
    return text(latitude && longitude ? std::optional(*latitude + "," + *longitude) : std::nullopt);
  }
  return std::nullopt;
}

}  // namespace ritoma::metadata
