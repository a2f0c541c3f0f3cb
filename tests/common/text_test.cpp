#include "common/text.h"

#include <gtest/gtest.h>

TEST(Text, BlankMeansEmptyOrOnlySpaces) {
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank("   "));
    EXPECT_FALSE(IsBlank("\t"));
    EXPECT_FALSE(IsBlank(" x "));
    EXPECT_EQ(TrimBlanks("  a b \t "), "a b \t");
    EXPECT_EQ(TrimBlanks("    "), "");
}

TEST(Text, LeftJustifyCountsCharactersNotBytes) {
    EXPECT_EQ(LeftJustify("abc", 5), "abc  ");
    EXPECT_EQ(LeftJustify("abcdef", 3), "abc");
    EXPECT_EQ(LeftJustify("", 2), "  ");
    // "é" is two bytes and "€" three: a cut never splits them, padding counts them once.
    EXPECT_EQ(LeftJustify("éé€x", 3), "éé€");
    EXPECT_EQ(LeftJustify("é", 3), "é  ");
    EXPECT_EQ(CharacterCount("aé€😀"), 4u);
    // A stray byte counts as one character and is kept.
    EXPECT_EQ(CharacterCount("a\xff"), 2u);
}

TEST(Text, SignedNumberHasABlankInTheSignPosition) {
    EXPECT_EQ(SignedNumber(5), " 5");
    EXPECT_EQ(SignedNumber(0), " 0");
    EXPECT_EQ(SignedNumber(-3), "-3");
    EXPECT_EQ("for all " + SignedNumber(3), "for all  3");
}

TEST(Text, ReplaceAllFollowsThePlaceholderRule) {
    EXPECT_EQ(ReplaceAll("fname and fname", "fname", "Ann"), "Ann and Ann");
    // Case counts: a capitalised word is not a placeholder.
    EXPECT_EQ(ReplaceAll("Fname fname FNAME", "fname", "x"), "Fname x FNAME");
    // No overlap: nine X hold one eight-X placeholder and keep the last X.
    EXPECT_EQ(ReplaceAll("XXXXXXXXX", "XXXXXXXX", "1234ABCD"), "1234ABCDX");
    // The inserted value is not scanned again.
    EXPECT_EQ(ReplaceAll("regcode", "regcode", "regcode-regcode"), "regcode-regcode");
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "a"), "aa");
    // An empty value deletes the placeholder.
    EXPECT_EQ(ReplaceAll("Dear lname,", "lname", ""), "Dear ,");
    EXPECT_EQ(ReplaceAll("text", "", "x"), "text");
}

TEST(Text, UpperCaseIsUnicodeAware) {
    EXPECT_EQ(ToUpper("abc Reader 1.0"), "ABC READER 1.0");
    EXPECT_EQ(ToUpper("élan"), "ÉLAN");
    EXPECT_EQ(ToUpper("straße"), "STRASSE");
    EXPECT_EQ(ToUpper(""), "");
}

TEST(Text, PartialCharacterAtTheEndIsDropped) {
    const std::string euro = "\xe2\x82\xac"; // €
    EXPECT_EQ(WithoutPartialCharacterAtEnd("ab" + euro), "ab" + euro);
    EXPECT_EQ(WithoutPartialCharacterAtEnd("ab" + euro.substr(0, 2)), "ab");
    EXPECT_EQ(WithoutPartialCharacterAtEnd("ab" + euro.substr(0, 1)), "ab");
    EXPECT_EQ(WithoutPartialCharacterAtEnd("ab\xc3"), "ab");
    EXPECT_EQ(WithoutPartialCharacterAtEnd("ab\xc3\xa9"), "ab\xc3\xa9");
    EXPECT_EQ(WithoutPartialCharacterAtEnd(""), "");
}
