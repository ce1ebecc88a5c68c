#pragma once

#include <exiv2/exiv2.hpp>
#include <memory>
#include <optional>
#include <string>

#include "FileStamp.h"
#include "MetadataMacro.h"

namespace ritoma::metadata {

// The photo macro: Exif, IPTC and XMP fields of the image a row names, read
// by libexiv2 from the metadata blocks alone. FIELD is a key
// ("Exif.Photo.LensSerialNumber", "Iptc.Application2.City",
// "Xmp.dc.title") or a short name: date, model, make, lens, width, height,
// iso, fnumber, exposure, gps.
class ExifMacro : public MetadataMacro {
public:
  ExifMacro();

protected:
  std::optional<TagValue> read(const std::string& path, const std::string& field) override;

private:
  // The image at `path` with its metadata read, or null; the last one is
  // kept while its file is unchanged.
  const Exiv2::Image* open(const std::string& path);
  std::optional<TagValue> alias(const Exiv2::Image& image, const std::string& field) const;
  static std::optional<TagValue> byKey(const Exiv2::Image& image, const std::string& key);

  std::unique_ptr<Exiv2::Image> image_;
  std::string path_;
  std::optional<FileStamp> stamp_;
};

}  // namespace ritoma::metadata
