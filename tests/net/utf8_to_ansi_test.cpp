// SPDX-License-Identifier: MIT
#include "net/http/utf8_to_ansi.h"

#include <gtest/gtest.h>

#include "net/http/http_client.h"

namespace tarn::net {
namespace {

constexpr const char* kCodePage936 = "CP936";

TEST(Utf8ToAnsi, EmptyAndAsciiStayAsTheyAre) {
  EXPECT_EQ(HttpClient::Utf8ToAnsi(""), "");
  const std::string ascii = "<a href=\"/photos/photo/1/\">x</a>\r\n\t";
  EXPECT_EQ(HttpClient::Utf8ToAnsi(ascii), ascii);
  EXPECT_EQ(Utf8ToCodePage(ascii, kCodePage936), ascii);
}

TEST(Utf8ToAnsi, ProgramEncodingIsUtf8WhateverTheLocale) {
  const std::string chinese = "湖光小集 相册";
  EXPECT_EQ(HttpClient::Utf8ToAnsi(chinese), chinese);
}

TEST(Utf8ToAnsi, ChineseToCodePage936GivesGbkBytes) {
  // 湖 BA FE, 光 B9 E2, 小 D0 A1, 集 BC AF in GBK.
  EXPECT_EQ(Utf8ToCodePage("湖光小集!", kCodePage936), "\xBA\xFE\xB9\xE2\xD0\xA1\xBC\xAF!");
}

TEST(Utf8ToAnsi, MalformedSequenceAnywhereEmptiesTheResult) {
  EXPECT_EQ(HttpClient::Utf8ToAnsi("abc\xE6\xB9"), "");              // ends inside a sequence
  EXPECT_EQ(HttpClient::Utf8ToAnsi("a\xE6\x41\x42 long page"), "");  // bad continuation byte
  EXPECT_EQ(Utf8ToCodePage("ok \xC3", kCodePage936), "");
}

TEST(Utf8ToAnsi, LeadBytesAreNotCheckedOnlyContinuations) {
  // 0x80 takes one continuation byte like 0xC0..0xDF; its value is kept as a character.
  EXPECT_EQ(HttpClient::Utf8ToAnsi("\x82\x81"), "\xC2\x81");
}

TEST(Utf8ToAnsi, FourByteCharacterIsOneCharacter) {
  const std::string emoji = "\xF0\x9F\x98\x80";  // U+1F600
  // Code page 936 lacks it: one default character, the rest of the page intact.
  EXPECT_EQ(Utf8ToCodePage("照片" + emoji + "ok", kCodePage936), "\xD5\xD5\xC6\xAC?ok");
  // The program's own encoding has it.
  EXPECT_EQ(HttpClient::Utf8ToAnsi("a" + emoji + "b"), "a" + emoji + "b");
}

TEST(Utf8ToAnsi, CharacterMissingFromCodePageBecomesDefault) {
  EXPECT_EQ(Utf8ToCodePage("x\xE0\xB8\x81y", kCodePage936), "x?y");  // a Thai letter
  // A language tag, which the system's converter may drop without a word, still shows.
  EXPECT_EQ(Utf8ToCodePage("\xF3\xA0\x80\x81", kCodePage936), "?");
  // A lone surrogate from a three-byte form has no encoding anywhere.
  EXPECT_EQ(HttpClient::Utf8ToAnsi("\xED\xA0\x80"), "?");
}

TEST(Utf8ToAnsi, ByteOrderMarkIsConverted) {
  EXPECT_EQ(HttpClient::Utf8ToAnsi("\xEF\xBB\xBFx"), "\xEF\xBB\xBFx");
}

}  // namespace
}  // namespace tarn::net
