#include "base/dialog/DialogText.h"

#include <gtest/gtest.h>

TEST(DialogText, BytesThatAreNotUtf8BecomeReplacementCharacters)
{
    const std::string R = "\xEF\xBF\xBD";
    EXPECT_EQ(ValidUtf8("Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xF0\x9F\x9A\x80"), "Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xF0\x9F\x9A\x80");
    EXPECT_EQ(ValidUtf8("a\xFF" "b"), "a" + R + "b");
    EXPECT_EQ(ValidUtf8("\x80\xBF"), R + R);                  // stray continuations
    EXPECT_EQ(ValidUtf8("\xC0\xAF"), R + R);                  // overlong '/'
    EXPECT_EQ(ValidUtf8("\xE0\x80\xAF"), R + R + R);          // overlong in three bytes
    EXPECT_EQ(ValidUtf8("\xED\xA0\x80"), R + R + R);          // a surrogate
    EXPECT_EQ(ValidUtf8("\xF4\x90\x80\x80"), R + R + R + R);  // past U+10FFFF
    EXPECT_EQ(ValidUtf8("end \xE2\x82"), "end " + R + R);     // cut short
    EXPECT_EQ(ValidUtf8(NULL), "");
    // Shortened between characters, never inside one.
    EXPECT_EQ(ShortenUtf8("ab\xC3\xBC" "cd", 3), "ab\xE2\x80\xA6");
    EXPECT_EQ(ShortenUtf8("abc", 3), "abc");
}

// Ten pixels a character (a UTF-8 sequence counts once).
static int TenPerCharacter(const std::string& text, void*)
{
    int characters = 0;
    for (unsigned char c : text) {
        characters += (c & 0xC0) != 0x80;
    }
    return characters * 10;
}

TEST(DialogText, WrapsBetweenWordsAtNewlinesAndInsideLongWords)
{
    typedef std::vector<std::string> Lines;
    EXPECT_EQ(WrapText("Couldn't load image", 1000, 9, TenPerCharacter, NULL), Lines{"Couldn't load image"});
    EXPECT_EQ(WrapText("one two three four", 90, 9, TenPerCharacter, NULL), (Lines{"one two", "three", "four"}));
    EXPECT_EQ(WrapText("top\n\nbottom", 90, 9, TenPerCharacter, NULL), (Lines{"top", "", "bottom"}));
    EXPECT_EQ(WrapText("a abcdefgh\xC3\xBC" "cd", 50, 9, TenPerCharacter, NULL),
              (Lines{"a", "abcde", "fgh\xC3\xBC" "c", "d"}));
    EXPECT_EQ(WrapText("", 50, 9, TenPerCharacter, NULL), Lines{""});
    // However long the text, a few lines, the last one marked as cut.
    std::string endless(1000000, 'x');
    EXPECT_EQ(WrapText(endless, 50, 2, TenPerCharacter, NULL), (Lines{"xxxxx", "xxxxx\xE2\x80\xA6"}));
    EXPECT_EQ(WrapText("a\nb\nc", 50, 2, TenPerCharacter, NULL), (Lines{"a", "b\xE2\x80\xA6"}));
}
