#include "text/Composition.h"

#include <unicode/unorm2.h>
#include <unicode/uset.h>
#include <unicode/utf16.h>

#include <stdexcept>
#include <vector>

#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

// NFC restricted to the characters outside the full composition exclusions:
// an excluded character is passed through as it stands and bounds the
// sequences around it.
const UNormalizer2* composer() {
  static const UNormalizer2* const instance = [] {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
    // The set and the filtered normalizer that reads it live as long as the
    // process.
    USet* composable = uset_openPattern(u"[^[:Full_Composition_Exclusion:]]", -1, &status);
    if (U_FAILURE(status)) throw std::runtime_error(std::string("ICU NFC: ") + u_errorName(status));
    uset_freeze(composable);
    const UNormalizer2* filtered = unorm2_openFiltered(nfc, composable, &status);
    if (U_FAILURE(status)) throw std::runtime_error(std::string("ICU NFC: ") + u_errorName(status));
    return filtered;
  }();
  return instance;
}

// The character a code-page-932 character or stand-in pair stands for, or
// kNoChar (a stand-in pair of an invalid byte, a code that is no character).
char32_t codePoint(std::string_view ch) {
  const char32_t c = TextCodec::decodeChar(ch);
  return c != TextCodec::kNoChar ? c : TextCodec::standInChar(ch);
}

void appendUtf16(std::u16string& text, char32_t c) {
  if (c <= 0xFFFF) {
    text.push_back(static_cast<char16_t>(c));
  } else {
    text.push_back(static_cast<char16_t>(U16_LEAD(c)));
    text.push_back(static_cast<char16_t>(U16_TRAIL(c)));
  }
}

bool normalized(const std::u16string& text) {
  UErrorCode status = U_ZERO_ERROR;
  const auto length = static_cast<int32_t>(text.size());
  const UNormalizationCheckResult quick = unorm2_quickCheck(composer(), text.data(), length, &status);
  if (quick == UNORM_YES) return true;
  if (quick == UNORM_NO) return false;
  return unorm2_isNormalized(composer(), text.data(), length, &status) != 0;
}

// The characters of a run that decodes, each with its bytes in the name.
struct Run {
  std::vector<char32_t> chars;
  std::vector<std::string_view> bytes;
  // The run follows a lone byte or code that stands for nothing (raw code
  // page 932, as an archive header holds it): its first sequence keeps its
  // bytes, which a composed character could otherwise join to that byte or
  // code (a lead byte and a trail, the first half of a stand-in pair).
  bool keepFirst = false;

  void clear() {
    chars.clear();
    bytes.clear();
    keepFirst = false;
  }
  std::u16string text(std::size_t from, std::size_t to) const {
    std::u16string t;
    t.reserve(to - from);
    for (std::size_t k = from; k < to; ++k) appendUtf16(t, chars[k]);
    return t;
  }
  void appendBytes(std::string& out, std::size_t from, std::size_t to) const {
    for (std::size_t k = from; k < to; ++k) out.append(bytes[k]);
  }

  bool isComposed() const {
    if (normalized(text(0, chars.size()))) return true;
    if (!keepFirst) return false;
    std::string before, after;
    appendBytes(before, 0, chars.size());
    compose(after);
    return after == before;
  }

  // The run composed, into `out`. Sequences are cut where a character
  // never interacts with what precedes it, and composed one by one; a
  // sequence that is already composed keeps its bytes, and so does the
  // unchanged front of one that is not.
  void compose(std::string& out) const {
    if (normalized(text(0, chars.size()))) {
      appendBytes(out, 0, chars.size());
      return;
    }
    std::size_t start = 0;
    for (std::size_t k = 1; k <= chars.size(); ++k) {
      if (k < chars.size() && !unorm2_hasBoundaryBefore(composer(), static_cast<UChar32>(chars[k]))) continue;
      composeSequence(out, start, k);
      start = k;
    }
  }

  void composeSequence(std::string& out, std::size_t from, std::size_t to) const {
    const std::u16string source = text(from, to);
    if ((from == 0 && keepFirst) || normalized(source)) {
      appendBytes(out, from, to);
      return;
    }
    UErrorCode status = U_ZERO_ERROR;
    std::u16string result(source.size(), u'\0');
    int32_t length = unorm2_normalize(composer(), source.data(), static_cast<int32_t>(source.size()), result.data(),
                                      static_cast<int32_t>(result.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
      status = U_ZERO_ERROR;
      result.resize(static_cast<std::size_t>(length));
      length = unorm2_normalize(composer(), source.data(), static_cast<int32_t>(source.size()), result.data(), length,
                                &status);
    }
    if (U_FAILURE(status)) {
      appendBytes(out, from, to);
      return;
    }
    std::size_t k = from;
    bool samePrefix = true;
    for (int32_t i = 0; i < length;) {
      UChar32 c;
      U16_NEXT(result.data(), i, length, c);
      samePrefix = samePrefix && k < to && chars[k] == static_cast<char32_t>(c);
      if (samePrefix)
        out.append(bytes[k++]);
      else
        out += TextCodec::fromCodePoint(static_cast<char32_t>(c));
    }
  }
};

// Calls `run(r)` for every maximal run of characters that decode and
// `other(bytes)` for every character that does not, in order. Stops and
// returns false as soon as `run` returns false.
template <typename RunFn, typename OtherFn>
bool forEachRun(std::string_view cp932, RunFn&& run, OtherFn&& other) {
  Run r;
  for (std::size_t i = 0; i < cp932.size();) {
    const std::string_view ch = cp932.substr(i, Cp932::charLength(cp932, i));
    i += ch.size();
    if (const char32_t c = codePoint(ch); c != TextCodec::kNoChar) {
      r.chars.push_back(c);
      r.bytes.push_back(ch);
      continue;
    }
    if (!r.chars.empty() && !run(r)) return false;
    r.clear();
    r.keepFirst = ch.size() < 4;
    other(ch);
  }
  return r.chars.empty() || run(r);
}

bool isAscii(std::string_view s) {
  for (const char b : s)
    if (static_cast<unsigned char>(b) >= 0x80) return false;
  return true;
}

}  // namespace

bool Composition::isComposed(std::string_view cp932) {
  if (isAscii(cp932)) return true;
  return forEachRun(
      cp932, [](const Run& r) { return r.isComposed(); }, [](std::string_view) {});
}

std::string Composition::compose(std::string_view cp932) {
  if (isAscii(cp932)) return std::string(cp932);
  std::string out;
  out.reserve(cp932.size());
  forEachRun(
      cp932,
      [&out](const Run& r) {
        r.compose(out);
        return true;
      },
      [&out](std::string_view ch) { out.append(ch); });
  return out;
}

}  // namespace ritoma
