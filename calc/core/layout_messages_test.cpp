#include <gtest/gtest.h>

#include "layout.h"
#include "messages.h"

namespace zel {
namespace {

TEST(MainLayout, DefaultSizeIsRaisedToTheMinimumHeight) {
  const MainLayout l = ComputeMainLayout(7605, 3495, 300);
  EXPECT_EQ(l.height, 3500);
  EXPECT_EQ(l.width, 7605);
  EXPECT_EQ(l.input.left, 120);
  EXPECT_EQ(l.input.top, 120);
  EXPECT_EQ(l.input.width, 3970);
  EXPECT_EQ(l.log.width, 3970);
  EXPECT_EQ(l.log.height, 2045);
  EXPECT_EQ(l.log.top, 120 + 300 + 50);
  EXPECT_EQ(l.log.left, 120);
  EXPECT_EQ(l.keypad.left, 4290);
  EXPECT_EQ(l.keypad.top, 120);
  EXPECT_EQ(l.keypad.width, 3135);
  EXPECT_EQ(l.keypad.height, 2535);
}

TEST(MainLayout, NarrowWidthIsRaisedTallHeightStays) {
  const MainLayout l = ComputeMainLayout(5000, 9000, 300);
  EXPECT_EQ(l.width, 7600);
  EXPECT_EQ(l.height, 9000);
  EXPECT_EQ(l.log.height, 7545);
  EXPECT_EQ(l.input.width, 7600 - 3135 - 500);
  const MainLayout z = ComputeMainLayout(0, 0, 300);
  EXPECT_EQ(z.width, 7600);
  EXPECT_EQ(z.height, 3500);
}

TEST(KeyRect, GridPositions) {
  struct {
    int index, left, top;
  } cases[] = {{9, 0, 0},      {10, 615, 0},     {11, 1230, 0},    {18, 1845, 0},
               {19, 2460, 0},  {6, 0, 615},      {16, 1845, 615},  {17, 2460, 615},
               {3, 0, 1230},   {5, 1230, 1230},  {14, 1845, 1230}, {15, 2460, 1230},
               {0, 0, 1845},   {1, 615, 1845},   {2, 1230, 1845},  {12, 1845, 1845},
               {13, 2460, 1845}};
  for (auto c : cases) {
    const TwRect r = KeyRect(c.index);
    EXPECT_EQ(r.left, c.left) << c.index;
    EXPECT_EQ(r.top, c.top) << c.index;
    EXPECT_EQ(r.width, 615);
    EXPECT_EQ(r.height, 615);
  }
  // Every key fits inside the frame and no two keys share a cell.
  for (int i = 0; i < 20; ++i) {
    const TwRect a = KeyRect(i);
    EXPECT_LE(a.left + a.width, kKeypadFrameWidth);
    EXPECT_LE(a.top + a.height, kKeypadFrameHeight);
    for (int j = i + 1; j < 20; ++j) {
      const TwRect b = KeyRect(j);
      EXPECT_FALSE(a.left == b.left && a.top == b.top) << i << " " << j;
    }
  }
}

TEST(DialogTexts, DuplicateDeclaration) {
  EXPECT_EQ(DuplicateDeclarationText(u"Pipe.vbs", 12),
            u"ファイル名；\u3000Pipe.vbsの第12行目\r\n"
            u"に変数の二重定義(宣言)がされています。\r\n"
            u"\r\n"
            u"このエラーは他のファイルの変数宣言に\r\n"
            u"競合している可能性もあります。\r\n"
            u"\r\n"
            u"このファイルの読み込みを続けますか？\r\n"
            u"(続ける場合，このファイルでの二重宣言\r\n"
            u"された変数(定数)以外は有効になります。)\r\n");
}

TEST(DialogTexts, LoadAndEvaluationErrors) {
  EXPECT_EQ(LoadErrorText(1002, u"Syntax error", u"a.vbs", 3, 14),
            u"スクリプト エラーです。\r\n"
            u"  エラー番号 1002\r\n"
            u"  (Syntax error)\r\n"
            u"  が、ファイル\u3000a.vbs\r\n"
            u"  3 行 \r\n"
            u"  14 列で、発生しました。\r\n"
            u"処理を続けますか？");
  EXPECT_EQ(EvaluationErrorText(11, u"Division by zero", 1, 12),
            u"スクリプト エラーです。\r\n"
            u"  エラー番号 11\r\n"
            u"  (Division by zero)\r\n"
            u"  1 行 \r\n"
            u"  12 列で、発生しました。\r\n"
            u"処理を続けますか？");
  // Numbers are plain decimal, negative ones included.
  EXPECT_NE(EvaluationErrorText(-2147024891, u"", 0, 0).find(u"エラー番号 -2147024891\r\n"),
            std::u16string::npos);
}

// However many files a stopped reload leaves out, the box stays short.
TEST(DialogTexts, FilesNotLoadedAreListedUpToFifteen) {
  std::vector<std::u16string> names;
  for (char16_t c = u'a'; c <= u't'; ++c) names.push_back(std::u16string(1, c) + u".vbs");
  const std::u16string text = LibraryNotLoadedText(names);
  EXPECT_NE(text.find(u"\r\n  a.vbs\r\n  b.vbs\r\n"), std::u16string::npos);
  EXPECT_NE(text.find(u"  o.vbs\r\n  ... and 5 more\r\n"), std::u16string::npos);
  EXPECT_EQ(text.find(u"p.vbs"), std::u16string::npos);
  EXPECT_EQ(LibraryNotLoadedText({u"z.vbs"}).find(u"more"), std::u16string::npos);
}

}  // namespace
}  // namespace zel
