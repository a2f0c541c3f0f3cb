#include "common/text.h"

#include <gtest/gtest.h>

TEST(Text, RulesCountCharactersNotBytes) {
    const std::string euro = "\xe2\x82\xac";
    // What a helper gave, and what it must give. Trimming takes blanks only, not tabs; a cut
    // never splits a character and padding counts it once; an inserted value is not scanned
    // again. (The requests' preparations show placeholders are case-sensitive whole words.)
    const struct {
        std::string given, expected;
    } cases[] = {{TrimBlanks("  a b \t "), "a b \t"},
                 {TrimBlanks("    "), ""},
                 {LeftJustify("éé€x", 3), "éé€"},
                 {LeftJustify("é", 3), "é  "},
                 {SignedNumber(5) + SignedNumber(0) + SignedNumber(-3), " 5 0-3"},
                 {ReplaceAll("fname and fname", "fname", "Ann"), "Ann and Ann"},
                 {ReplaceAll("regcode", "regcode", "regcode-regcode"), "regcode-regcode"},
                 {ReplaceAll("Dear lname,", "lname", ""), "Dear ,"},
                 {ReplaceAll("text", "", "x"), "text"},
#ifdef _WIN32 // Windows upper-cases one character to one
                 {ToUpper("élan straße i"), "ÉLAN STRAßE I"},
#else
                 {ToUpper("élan straße i"), "ÉLAN STRASSE I"},
#endif
                 {std::string(WithoutPartialCharacterAtEnd("ab" + euro)), "ab" + euro},
                 {std::string(WithoutPartialCharacterAtEnd("ab" + euro.substr(0, 2))), "ab"},
                 {std::string(WithoutPartialCharacterAtEnd("ab" + euro.substr(0, 1))), "ab"}};
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].given, cases[i].expected) << "case " << i;
    EXPECT_TRUE(IsBlank("") && IsBlank("   ") && !IsBlank("\t") && !IsBlank(" x "));
    EXPECT_EQ(CharacterCount("aé€😀"), 4u);
    EXPECT_EQ(CharacterCount("a\xff"), 2u) << "a stray byte is one character";
}
