#include "requests/mailto.h"
#include "requests/request_link.h"

#include <gtest/gtest.h>

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

TEST(RequestLink, PlainValuesGiveTheExpectedLink) {
    EXPECT_EQ(RequestLink("sales@vendor.com", "me@example.org", "New PIN: 2100ABCD", "Hi"),
              "mailto:sales@vendor.com?cc=me@example.org&subject=New%20PIN%3A%202100ABCD"
              "&body=Hi%0A%0D%0A%0DThis%20Reregistration%20related%20request%20was%20sent%20by"
              "%20Ombrelay%20-%20the%20original%20Mobile%20Device%20Application%20"
              "Reregistration%20Request%20Tool%0D%0A%0A%0DCopyright%20%28c%29%202026%20The%20"
              "Ombrelay%20developers");
}

TEST(RequestLink, HostileValuesReachTheMailProgramExactly) {
    struct Case {
        std::string vendor, copy, subject, message;
    };
    const Case cases[] = {
        {"x@y.com&bcc=someone@else", "me@home.org?to=boss@work", "Sales & Support",
         "Dear Sales & Support,\r\nplease send #2 ? 100% & more=yes\r\nthanks"},
        {"a b@c.d#frag", "cc=x@y&", "?#%&=", "%0A%0D is not a line break here %25 %"},
        {"vendör@exämple.de", "ich@zuhause.de", "Neue PIN: Ünïcødé ✓",
         "Grüße 𝄞 – 你好\r\n\r\n  indented   and trailing  "},
        {"", "", "", "only\ta tab and a \"quote\" and <angle> brackets + plus"},
    };
    for (const Case& c : cases) {
        const std::string link = RequestLink(c.vendor, c.copy, c.subject, c.message);
        const Mailto parsed = ParseMailto(link);
        EXPECT_TRUE(parsed.wellFormed) << link;
        EXPECT_EQ(parsed.to, c.vendor);
        EXPECT_EQ(parsed.fields, (Fields{{"cc", c.copy},
                                         {"subject", c.subject},
                                         {"body", c.message + DecodedRequestFooter}}))
            << link;
    }
}

TEST(RequestLink, EveryKindOfLineBreakBecomesCrLf) {
    const std::string link = RequestLink("v@x.org", "me@x.org", "s", "a\nb\rc\r\nd\n\re");
    EXPECT_NE(link.find("&body=a%0D%0Ab%0D%0Ac%0D%0Ad%0D%0A%0D%0Ae%0A%0D"), std::string::npos)
        << link;
    EXPECT_EQ(ParseMailto(link).fields.back().second,
              "a\r\nb\r\nc\r\nd\r\n\r\ne" + DecodedRequestFooter);
}

TEST(RequestLink, AddressesKeepTheirAtSignOnly) {
    EXPECT_EQ(EncodeMailtoAddress("Ann.O'Neil+tag@mail-1.example_x~"),
              "Ann.O%27Neil%2Btag@mail-1.example_x~");
    EXPECT_EQ(EncodeMailtoText("a@b"), "a%40b");
}

} // namespace
