#include "Sha256.h"

#include <algorithm>
#include <bit>

namespace {

// The first 32 bits of the fractional parts of the cube roots of the first 64 primes.
constexpr std::uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

// The first 32 bits of the fractional parts of the square roots of the first 8 primes.
constexpr std::array<std::uint32_t, 8> kInitialState = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

std::uint32_t ReadBigEndian(const std::uint8_t* bytes)
{
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 |
           std::uint32_t(bytes[3]);
}

}  // namespace

Sha256::Sha256() : m_state(kInitialState) {}

void Sha256::Compress(const std::uint8_t* block)
{
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i) w[i] = ReadBigEndian(block + std::ptrdiff_t(4) * i);
    for (int i = 16; i < 64; ++i) {
        const std::uint32_t s0 = std::rotr(w[i - 15], 7) ^ std::rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = std::rotr(w[i - 2], 17) ^ std::rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, h] = m_state;
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t sum1 = std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25);
        const std::uint32_t choose = (e & f) ^ (~e & g);
        const std::uint32_t t1 = h + sum1 + choose + kRoundConstants[i] + w[i];
        const std::uint32_t sum0 = std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22);
        const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        const std::uint32_t t2 = sum0 + majority;
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    const std::uint32_t worked[8] = {a, b, c, d, e, f, g, h};
    for (int i = 0; i < 8; ++i) m_state[std::size_t(i)] += worked[i];
}

void Sha256::Add(std::string_view bytes)
{
    m_lengthBytes += bytes.size();
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::size_t left = bytes.size();
    while (left > 0) {
        // Whole blocks straight from the input; the rest through the buffer.
        if (m_blockUsed == 0 && left >= m_block.size()) {
            Compress(data);
            data += m_block.size();
            left -= m_block.size();
            continue;
        }
        const std::size_t taken = std::min(left, m_block.size() - m_blockUsed);
        std::copy(data, data + taken, m_block.begin() + std::ptrdiff_t(m_blockUsed));
        m_blockUsed += taken;
        data += taken;
        left -= taken;
        if (m_blockUsed == m_block.size()) {
            Compress(m_block.data());
            m_blockUsed = 0;
        }
    }
}

Sha256::Digest Sha256::Finish()
{
    // A one bit, zeros up to 56 bytes of the last block, and the length in bits.
    const std::uint64_t lengthBits = m_lengthBytes * 8;
    m_block[m_blockUsed++] = 0x80;
    if (m_blockUsed > 56) {
        std::fill(m_block.begin() + std::ptrdiff_t(m_blockUsed), m_block.end(), 0);
        Compress(m_block.data());
        m_blockUsed = 0;
    }
    std::fill(m_block.begin() + std::ptrdiff_t(m_blockUsed), m_block.begin() + 56, 0);
    for (int i = 0; i < 8; ++i)
        m_block[std::size_t(56) + std::size_t(i)] = std::uint8_t(lengthBits >> (56 - 8 * i));
    Compress(m_block.data());
    Digest digest;
    for (std::size_t i = 0; i < 8; ++i) {
        for (std::size_t k = 0; k < 4; ++k) digest[4 * i + k] = std::uint8_t(m_state[i] >> (24 - 8 * k));
    }
    return digest;
}

std::string Sha256Hex(std::string_view bytes)
{
    Sha256 hash;
    hash.Add(bytes);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : hash.Finish()) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0f];
    }
    return text;
}
