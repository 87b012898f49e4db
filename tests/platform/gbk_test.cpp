#include <gtest/gtest.h>

#include "platform/gbk.h"

using namespace kelvanor;

TEST(Gbk, ChineseRoundTripsThroughGbkBytes) {
  std::string gbk = Gbk(u8"连接中...");
  EXPECT_EQ(gbk, std::string("\xC1\xAC\xBD\xD3\xD6\xD0..."));
  EXPECT_EQ(gbk.size(), 9u);
  EXPECT_EQ(GbkToQString(gbk), QString::fromUtf8("连接中..."));
  EXPECT_EQ(QStringToGbk(QString::fromUtf8("连接中...")), gbk);
}

TEST(Gbk, UnrepresentableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80" "b"), "a?b");  // an emoji has no GBK code
  EXPECT_EQ(GbkToUtf8("x\xFF" "y"), "x?y");               // 0xFF is no GBK lead byte
  EXPECT_EQ(GbkToUtf8("z\xC1"), "z?");                    // a lead byte cut off at the end
}
