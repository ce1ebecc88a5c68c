#pragma once

#include <optional>
#include <string>
#include <taglib/tpropertymap.h>

#include "FileStamp.h"
#include "MetadataMacro.h"

namespace ritoma::metadata {

// The audio macro: tags of the song a row names (MP3 with ID3v1 or ID3v2,
// FLAC, Ogg Vorbis and Opus, MP4/M4A and what else TagLib reads), without
// reading the audio. FIELD is a short name (artist, album, title, track,
// disc, year, genre, albumartist) or a tag name as TagLib unifies them
// ("COMPOSER", "DATE"); a tag with several values gives them joined by
// ", ".
class AudioMacro : public MetadataMacro {
public:
  AudioMacro();

protected:
  std::optional<TagValue> read(const std::string& path, const std::string& field) override;

private:
  // The tags of the file at `path`, or null when it cannot be read; those
  // of the last file are kept while it is unchanged.
  const TagLib::PropertyMap* open(const std::string& path);

  TagLib::PropertyMap properties_;
  std::string path_;
  std::optional<FileStamp> stamp_;
};

}  // namespace ritoma::metadata
