#pragma once

#include <string>
#include <string_view>

namespace ritoma {

// Canonical composition (Unicode NFC) of code-page-932 names, for names made
// where the file system stores them decomposed: "が" as "か" U+3099, "パ" as
// "ハ" U+309A, "é" as "e" U+0301, a Hangul syllable as its jamo.
//
// Only what canonical composition joins is changed. A character that NFC
// would replace on its own (the full composition exclusions: the CJK
// compatibility ideographs such as U+FA19, "Å" U+212B, which code page 932
// holds at 81F0) stays as it is: the user typed it, and a system that
// decomposes names leaves it alone too. Stand-in pairs of invalid bytes and
// codes that stand for no character are kept byte for byte and nothing
// composes across them. A composed character is written as TextCodec writes
// it (its code-page-932 code, else its stand-in pair); everything outside a
// changed sequence keeps its bytes, so a composed name comes back
// byte-identical.
class Composition {
public:
  // True when compose() returns the name unchanged. A quick check per run of
  // characters; a full check only where the quick one cannot decide.
  static bool isComposed(std::string_view cp932);
  static std::string compose(std::string_view cp932);
};

}  // namespace ritoma
