#include "execution/MetadataWriter.h"

#include <memory>

#include "platform/TimeConvert.h"

namespace ritoma {

namespace {

constexpr std::uint32_t kSettable = AttrReadOnly | AttrHidden | AttrSystem | AttrArchive;

// `wanted` unless the file shows it already, to the medium's step.
std::optional<FileTime> differing(std::optional<FileTime> wanted, FileTime shown, FileTime step) {
  if (wanted && (*wanted == shown || MediumTraits::keeps(*wanted, shown, step))) return std::nullopt;
  return wanted;
}

// The time of `text` when the file does not show it yet (to the second, as
// texts give it); none when it does. False when a differing text is no time.
bool fromText(const std::string& text, FileTime current, std::optional<FileTime>& out) {
  out.reset();
  if (text == TimeConvert::toText(current)) return true;
  out = TimeConvert::fromText(text);
  return out.has_value();
}

bool kept(std::optional<FileTime> wanted, FileTime shown, FileTime step) {
  return !wanted || MediumTraits::keeps(*wanted, shown, step);
}

// The bits of `attributes` a file named `name` can show as written: H is
// always shown on a name starting with ".".
std::uint32_t comparable(const std::string& path, std::uint32_t mask) {
  const std::size_t slash = path.rfind('/');
  const bool dotName = path.size() > slash + 1 && path[slash + 1] == '.';
  return dotName ? mask & ~std::uint32_t{AttrHidden} : mask;
}

}  // namespace

std::error_code MetadataWriter::writeTimes(const std::string& path, std::optional<FileTime> created,
                                std::optional<FileTime> modified, std::optional<FileTime> accessed,
                                bool createdCarried) {
  FileInfo now;
  if (const std::error_code ec = fs_.lookUp(path, now)) return ec;
  return write(path, now, created, modified, accessed, createdCarried);
}

std::error_code MetadataWriter::write(const std::string& path, const FileInfo& now,
                           std::optional<FileTime> created, std::optional<FileTime> modified,
                           std::optional<FileTime> accessed, bool createdCarried) {
  const bool link = now.kind == EntryKind::Link || now.kind == EntryKind::MissingLink;
  // A link keeps no creation time.
  if (link || (createdCarried && !medium_.creationTime)) created.reset();
  if (medium_.accessedStep == 0) accessed.reset();
  const auto c = differing(created, now.created, medium_.createdStep);
  const auto m = differing(modified, now.modified, medium_.modifiedStep);
  const auto a = differing(accessed, now.accessed, medium_.accessedStep);
  if (!c && !m && !a) return {};

  const std::uint32_t saved = now.attributes & kSettable;
  const bool readOnly = saved & AttrReadOnly;
  if (readOnly) {
    if (const std::error_code ec = fs_.setAttributes(path, saved & ~std::uint32_t{AttrReadOnly}))
      return ec;
  }
  auto restore = [&](bool timesToo, std::error_code ec) {
    if (timesToo) fs_.carryTimes(path, now.created, now.modified, now.accessed);
    if (readOnly) fs_.carryAttributes(path, saved);
    return ec;
  };
  std::error_code ec;
  {
    // A link's own times are set; what it points to, if anything, is not
    // opened.
    std::unique_ptr<InputFile> file;
    if (!link) ec = fs_.openRead(path, file);
    if (!ec) ec = createdCarried ? fs_.carryTimes(path, c, m, a) : fs_.setTimes(path, c, m, a);
  }
  if (ec) return restore(false, ec);
  // Some file systems take a time and keep none of it.
  FileInfo after;
  if ((ec = fs_.lookUp(path, after))) return restore(true, ec);
  if (!kept(medium_.creationTime ? c : std::nullopt, after.created, medium_.createdStep) ||
      !kept(m, after.modified, medium_.modifiedStep) || !kept(a, after.accessed, medium_.accessedStep))
    return restore(true, std::make_error_code(std::errc::not_supported));
  if (readOnly && (ec = fs_.setAttributes(path, saved))) return restore(true, ec);
  return {};
}

std::error_code MetadataWriter::writeTimeTexts(const std::string& path, const std::string& created,
                                    const std::string& modified, const std::string& accessed,
                                    bool createdCarried) {
  FileInfo now;
  if (const std::error_code ec = fs_.lookUp(path, now)) return ec;
  std::optional<FileTime> c, m, a;
  if (!fromText(created, now.created, c) || !fromText(modified, now.modified, m) ||
      !fromText(accessed, now.accessed, a))
    return std::make_error_code(std::errc::invalid_argument);
  return write(path, now, c, m, a, createdCarried);
}

std::error_code MetadataWriter::writeAttributes(const std::string& path, std::uint32_t attributes,
                                                bool carried, std::uint32_t previous) {
  std::uint32_t held = AttrHidden;
  if (medium_.readOnly) held |= AttrReadOnly;
  if (medium_.dosAttributes) held |= AttrSystem | AttrArchive;
  // S, H and A carry over only where they can be kept; H on a dot name is
  // shown anyway.
  std::uint32_t mask = carried ? held : kSettable;
  if (carried && !medium_.dosAttributes) mask &= ~std::uint32_t{AttrHidden};
  const std::uint32_t wanted = attributes & kSettable;
  if (const std::error_code ec =
          carried ? fs_.carryAttributes(path, wanted & mask) : fs_.setAttributes(path, wanted))
    return ec;
  FileInfo after;
  std::error_code ec = fs_.lookUp(path, after);
  // A link has no attributes of its own and is given none.
  if (!ec && (after.kind == EntryKind::Link || after.kind == EntryKind::MissingLink)) return {};
  if (!ec && ((after.attributes ^ wanted) & comparable(path, mask)) == 0) return {};
  if (!ec) ec = std::make_error_code(std::errc::not_supported);
  fs_.carryAttributes(path, previous & kSettable);
  return ec;
}

}  // namespace ritoma
