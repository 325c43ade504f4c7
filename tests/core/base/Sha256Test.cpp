#include "base/Sha256.h"

#include <gtest/gtest.h>

#include <string>

// The test vectors of FIPS 180-4's examples and the NIST byte-oriented set.
TEST(Sha256, GivesTheStandardDigestsOfTheTestVectors)
{
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 448 bits: the padding needs a block of its own.
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(Sha256Hex("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmno"
                        "ijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu"),
              "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
    EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // Bytes above 0x7f count as bytes, not as signed characters.
    EXPECT_EQ(Sha256Hex("\xbd"), "68325720aabd7c82f30f554b313d0570c95accbb7dc4b5aae11204c08ffe732b");
}

TEST(Sha256, TextAddedInPiecesGivesTheDigestOfTheWhole)
{
    std::string whole;
    for (int i = 0; i < 300; ++i) whole += char('a' + i % 26);
    for (std::size_t cut : {0u, 1u, 55u, 56u, 63u, 64u, 65u, 128u, 299u}) {
        Sha256 hash;
        hash.Add(std::string_view(whole).substr(0, cut));
        hash.Add(std::string_view(whole).substr(cut));
        const Sha256::Digest pieces = hash.Finish();
        Sha256 once;
        once.Add(whole);
        EXPECT_EQ(pieces, once.Finish()) << "cut at " << cut;
    }
}
