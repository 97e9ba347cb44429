#include "vbs/textcodec.h"

#include <gtest/gtest.h>

namespace {

TEST(TextCodec, Utf8WithAndWithoutMarkDecodes) {
  EXPECT_EQ(vbs::DecodeScriptText("Dim a ' \xE5\x80\xA4"), u"Dim a ' \u5024");
  EXPECT_EQ(vbs::DecodeScriptText("\xEF\xBB\xBFx=1"), u"x=1");
  // A character outside the basic plane becomes a surrogate pair, as UTF-16 counts it.
  EXPECT_EQ(vbs::DecodeScriptText("\xF0\x9F\x98\x80"), std::u16string(u"\xD83D\xDE00"));
}

TEST(TextCodec, Cp932IsTheFallbackForInvalidUtf8) {
  // "値" (U+5024) in CP932 is 0x92 0x6C; the bytes are not valid UTF-8.
  EXPECT_EQ(vbs::DecodeScriptText("' \x92\x6C\r\nx=1"), u"' \u5024\r\nx=1");
  // Half-width katakana and the CP932-only wave dash mapping.
  EXPECT_EQ(vbs::DecodeScriptText("\xB1"), u"\uFF71");
  EXPECT_EQ(vbs::DecodeScriptText("\x81\x60"), u"\uFF5E");
}

TEST(TextCodec, Utf16WithAMarkDecodesInEitherByteOrder) {
  using namespace std::string_literals;
  EXPECT_EQ(vbs::DecodeScriptText("\xFF\xFEx\0=\0\x24\x50\r\0\n\0"s), u"x=\u5024\r\n");
  EXPECT_EQ(vbs::DecodeScriptText("\xFE\xFF\0x\0=\x50\x24\0\r\0\n"s), u"x=\u5024\r\n");
  EXPECT_EQ(vbs::DecodeScriptText("\xFF\xFE"s), u"");
  // Half a code unit at the end is not text.
  EXPECT_FALSE(vbs::DecodeScriptText("\xFF\xFEx\0="s).has_value());
  // Without a mark the bytes are not taken for UTF-16.
  EXPECT_EQ(vbs::DecodeScriptText("x\0"s), std::u16string(u"x\0", 2));
}

TEST(TextCodec, BytesValidInNeitherEncodingAreRefused) {
  // A lead byte with nothing after it, and an undefined lead byte.
  EXPECT_FALSE(vbs::DecodeScriptText("abc\x92").has_value());
  EXPECT_FALSE(vbs::DecodeScriptText("\xA0\xFF\xFF").has_value());
}

TEST(TextCodec, Utf8ValidationRejectsOverlongAndSurrogates) {
  EXPECT_FALSE(vbs::IsValidUtf8("\xC0\xAF"));
  EXPECT_FALSE(vbs::IsValidUtf8("\xED\xA0\x80"));
  EXPECT_FALSE(vbs::IsValidUtf8("\xF4\x90\x80\x80"));
  EXPECT_TRUE(vbs::IsValidUtf8("plain \xE3\x81\x82"));
}

TEST(TextCodec, Utf16RoundTripsThroughUtf8) {
  const std::u16string s = u"\u3042x\xD83D\xDE00";
  EXPECT_EQ(vbs::Utf8ToUtf16(vbs::Utf16ToUtf8(s)), s);
  EXPECT_EQ(vbs::Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

// Readers give up on text once this bound passes their limit: it must never
// exceed what decoding makes of the bytes (else good text is refused), and
// for plain text it should stay close to it (else reading goes on too long).
TEST(TextCodec, LengthBoundNeverExceedsTheDecodedLength) {
  const std::string samples[] = {
      std::string(100, 'a'),
      "\xEF\xBB\xBFx=1 with a mark",
      "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E and ASCII",   // UTF-8 Japanese: three bytes a unit
      "\xF0\x9F\x98\x80\xF0\x9F\x98\x80",                  // surrogate pairs
      "' \x92\x6C\x93\xfa\x96\x7b\r\nx=1\xB1",              // CP932 pairs and a half-width kana
      "\x81\x60\x81\x60\x81\x60" "abc",
      std::string("a\0b\0c", 5),
  };
  for (const std::string& bytes : samples) {
    const auto text = vbs::DecodeScriptText(bytes);
    ASSERT_TRUE(text.has_value());
    // Whole, and in pieces that cut through multi-byte characters.
    for (size_t piece : {bytes.size(), size_t(1), size_t(3), size_t(7)}) {
      vbs::DecodedLengthBound bound;
      for (size_t at = 0; at < bytes.size(); at += piece) bound.Add(std::string_view(bytes).substr(at, piece));
      EXPECT_LE(bound.AtLeast(), text->size()) << bytes;
      EXPECT_GE(bound.AtLeast() * 2 + 1, text->size()) << bytes;
    }
  }
  vbs::DecodedLengthBound ascii;
  ascii.Add(std::string(1000, 'x'));
  EXPECT_EQ(ascii.AtLeast(), 999u);   // one unit kept for a byte-order mark
}

}  // namespace
