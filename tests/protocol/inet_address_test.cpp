// InetAddr against the platform's own inet_addr (the C library's, or
// Winsock's in the Windows build), which follows the same classic rules, over
// chosen and generated texts.
#include "inet_address.h"

#include <gtest/gtest.h>
#if defined(_WIN32)
#include <winsock2.h>
#else
#include <arpa/inet.h>
#endif

#include <random>
#include <string>

#include "byte_order.h"

namespace {

using orvell::AddressFromOctets;
using orvell::InetAddr;

TEST(InetAddr, ReadsEveryDottedFormAndBase) {
  EXPECT_EQ(InetAddr("192.168.1.10"), AddressFromOctets(192, 168, 1, 10));
  EXPECT_EQ(InetAddr("127.1"), AddressFromOctets(127, 0, 0, 1));
  EXPECT_EQ(InetAddr("10.1.258"), AddressFromOctets(10, 1, 1, 2));
  EXPECT_EQ(InetAddr("0x7f.0.0.01"), AddressFromOctets(127, 0, 0, 1));
  EXPECT_EQ(InetAddr("0300.0250.1.012"), AddressFromOctets(192, 168, 1, 10));
  EXPECT_EQ(InetAddr("3232235786"), AddressFromOctets(192, 168, 1, 10));
  EXPECT_EQ(InetAddr("1.2.3.4 anything after a space"), AddressFromOctets(1, 2, 3, 4));
}

TEST(InetAddr, RefusesWhatCannotBeConverted) {
  for (const char* text : {"", "1.2.3.4x", "256.1.1.1", "1.2.3.256", "1.2.3.4.5", "1..2", ".1", "1.", " 1.2.3.4", "+1",
                           "-1", "08", "0x", "0xg", "1.16777216", "4294967296", "99999999999999999999999"}) {
    EXPECT_EQ(InetAddr(text), orvell::kInetAddrNone) << text;
  }
  EXPECT_EQ(InetAddr(nullptr), orvell::kInetAddrNone);
}

TEST(InetAddr, AgreesWithTheCLibraryOnChosenTexts) {
  const char* texts[] = {
      "0",
      "1",
      "255.255.255.255",
      "0.0.0.0",
      "1.2.3.4",
      "01.02.03.04",
      "0x1.0X2.0xa.0XFF",
      "0x100.1",
      "1.0xffffff",
      "1.0x1000000",
      "1.2.65535",
      "1.2.65536",
      "1.2.3.255",
      "4294967295",
      "0xFFFFFFFF",
      "0x100000000",
      "037777777777",
      "040000000000",
      "0000000000000000000001.2.3.4",
      "0x000000000000000001",
      "09",
      "07.1",
      "1.2.3.4\t",
      "1.2.3.4\nx",
      "1.2.3.4\v",
      "1.2.3.4\f",
      "1.2.3.4\r",
      "1 2",
      "1.2.3.4.",
      "1.2.3.4..",
      "1.2.3.4/24",
      "1,2,3,4",
      "0x.1",
      "0x1g",
      "00x1",
      "192.168.001.010",
      "a.b.c.d",
      "1.2.3.-4",
      "\xff",
      "1.2.3.4\xa0",
  };
  for (const char* text : texts) EXPECT_EQ(InetAddr(text), ::inet_addr(text)) << text;
}

TEST(InetAddr, AgreesWithTheCLibraryOnGeneratedTexts) {
  // Texts made of the characters the rules care about, in random order.
  const std::string alphabet = "0123456789.xXaAfFgG \t-+";
  std::mt19937 random(20261209);
  std::uniform_int_distribution<std::size_t> length(0, 20), pick(0, alphabet.size() - 1);
  for (int i = 0; i < 200000; ++i) {
    std::string text(length(random), ' ');
    for (char& c : text) c = alphabet[pick(random)];
#if defined(_WIN32)
    // Winsock answers a lone space with 0 rather than INADDR_NONE, a quirk of
    // its own; the window never passes such a text (its edits give a.b.c.d).
    if (text == " ") continue;
#endif
    ASSERT_EQ(InetAddr(text.c_str()), ::inet_addr(text.c_str())) << '"' << text << '"';
  }
}

TEST(AddressArithmetic, HostOrderRoundTrips) {
  const std::uint32_t address = orvell::AddressFromOctets(192, 168, 1, 254);
  EXPECT_EQ(orvell::ToHostOrder(address), 0xC0A801FEu);
  EXPECT_EQ(orvell::ToNetworkOrder(orvell::ToHostOrder(address) + 1), orvell::AddressFromOctets(192, 168, 1, 255));
}

}  // namespace
