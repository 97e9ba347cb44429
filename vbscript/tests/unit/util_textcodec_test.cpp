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

}  // namespace
