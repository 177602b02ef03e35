#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "data/LzhCoder.h"
#include "data/PackedFile.h"
#include "data/Stream.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The packed image (size field + coded bits) of some bytes.
Bytes Pack(const Bytes& data)
{
  TMemoryStream source(data);
  TMemoryStream packed;
  EXPECT_EQ(LzhEncodeStream(source, packed), LzhOk);
  return packed.Bytes();
}

int Unpack(const Bytes& image, Bytes& out)
{
  TMemoryStream source(image);
  TMemoryStream dest;
  const int rc = LzhDecodeStream(source, dest);
  out = dest.Bytes();
  return rc;
}

Bytes RandomBytes(size_t n, uint32_t seed, int alphabet = 256)
{
  std::mt19937 rng(seed);
  Bytes b(n);
  for (auto& x : b)
    x = static_cast<uint8_t>(rng() % alphabet);
  return b;
}

// Bytes shaped like a lattice field image: slowly varying doubles with runs of
// equal cells and a sprinkling of noise.
Bytes LatticeLike(size_t n, uint32_t seed)
{
  std::mt19937 rng(seed);
  Bytes b;
  b.reserve(n);
  double v = 0.0;
  while (b.size() < n) {
    if (rng() % 7 == 0)
      v += (rng() % 100) * 0.01;
    uint8_t cell[8];
    std::memcpy(cell, &v, 8);
    for (int i = 0; i < 8 && b.size() < n; ++i)
      b.push_back(cell[i]);
  }
  return b;
}

Bytes Text(const std::string& s)
{
  return Bytes(s.begin(), s.end());
}

// Codes the bytes through an encoder the test inspects afterwards; the coded
// bits (no size field) are appended to coded.
int EncodeWith(TLzhEncoder& encoder, const Bytes& data, Bytes& coded)
{
  size_t at = 0;
  return encoder.Encode(
      [&](uint8_t* buffer, size_t n) {
        const size_t take = std::min(n, data.size() - at);
        if (take)
          std::memcpy(buffer, data.data() + at, take);
        at += take;
        return static_cast<int64_t>(take);
      },
      [&](const uint8_t* buffer, size_t n) {
        coded.insert(coded.end(), buffer, buffer + n);
        return n;
      });
}

} // namespace

TEST(LzhCoder, EmptyInputPacksToOneEmptyBlock)
{
  const Bytes image = Pack({});
  EXPECT_EQ(image, Bytes(11, 0x00));
  Bytes out{1, 2, 3};
  EXPECT_EQ(Unpack(image, out), LzhOk);
  EXPECT_TRUE(out.empty());
}

TEST(LzhCoder, EmptyImageUnpacksWithoutReadingCodedBytes)
{
  // Only the size field: no coded byte is needed for 0 bytes.
  Bytes out;
  EXPECT_EQ(Unpack(Bytes(4, 0), out), LzhOk);
  EXPECT_TRUE(out.empty());
}

TEST(LzhCoder, SingleByteGivesHandDerivedImage)
{
  // count 1; code-length table: 0 entries, single code 0; character table:
  // 0 entries, single code 0x41; position table: 0 entries, single code 0; the
  // literal itself takes no bits; 7 closing bits.
  const Bytes expected{0x01, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x04, 0x10, 0x00};
  EXPECT_EQ(Pack(Text("A")), expected);
  Bytes out;
  EXPECT_EQ(Unpack(expected, out), LzhOk);
  EXPECT_EQ(out, Text("A"));
}

struct TRoundTripCase {
  const char* name;
  Bytes data;
};

class LzhRoundTrip : public ::testing::TestWithParam<TRoundTripCase> {};

TEST_P(LzhRoundTrip, UnpacksToTheSameBytes)
{
  const Bytes& data = GetParam().data;
  TLzhEncoder encoder;
  Bytes coded;
  ASSERT_EQ(EncodeWith(encoder, data, coded), LzhOk);
  EXPECT_LE(encoder.LongestCodeSeen(), kLzhMaxCodeBits);
  Bytes out;
  ASSERT_EQ(LzhDecodeBytes(coded.data(), coded.size(), static_cast<int64_t>(data.size()), out), LzhOk);
  EXPECT_TRUE(out == data) << "round trip differs";
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, LzhRoundTrip,
    ::testing::Values(TRoundTripCase{"one_byte", Bytes{0x7F}}, TRoundTripCase{"two_bytes", Bytes{0, 0xFF}},
                      TRoundTripCase{"three_equal", Bytes(3, 'x')},
                      TRoundTripCase{"text", Text("to be or not to be, that is the question; to be or not")},
                      TRoundTripCase{"random_50k", RandomBytes(50000, 1)},
                      TRoundTripCase{"window_plus_one", RandomBytes(kLzhDictionary + 1, 2, 4)},
                      TRoundTripCase{"small_alphabet_200k", RandomBytes(200000, 3, 3)},
                      TRoundTripCase{"lattice_300k", LatticeLike(300000, 4)},
                      TRoundTripCase{"all_byte_values", [] {
                                       Bytes b;
                                       for (int r = 0; r < 40; ++r)
                                         for (int i = 0; i < 256; ++i)
                                           b.push_back(static_cast<uint8_t>(i));
                                       return b;
                                     }()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LzhCoder, EqualBytesPackBelowOnePercent)
{
  const Bytes data(100000, 'a');
  const Bytes image = Pack(data);
  EXPECT_LT(image.size(), 1000u);
  Bytes out;
  ASSERT_EQ(Unpack(image, out), LzhOk);
  EXPECT_EQ(out, data);
}

TEST(LzhCoder, LongInputsSpanSeveralBlocksAndWindowMoves)
{
  const Bytes data = RandomBytes(400000, 5, 16);
  TLzhEncoder encoder;
  Bytes coded;
  ASSERT_EQ(LzhEncodeBytes(data.data(), data.size(), coded), LzhOk);
  Bytes codedAgain;
  ASSERT_EQ(EncodeWith(encoder, data, codedAgain), LzhOk);
  EXPECT_GT(encoder.BlocksWritten(), 3);
  Bytes out;
  ASSERT_EQ(LzhDecodeBytes(coded.data(), coded.size(), static_cast<int64_t>(data.size()), out), LzhOk);
  EXPECT_TRUE(out == data);
}

TEST(LzhCoder, SkewedFrequenciesKeepCodesWithinSixteenBits)
{
  // Fibonacci-like symbol counts push a plain Huffman tree past 16 levels.
  Bytes data;
  uint64_t a = 1, b = 1;
  for (int sym = 0; sym < 24; ++sym) {
    for (uint64_t k = 0; k < a; ++k)
      data.push_back(static_cast<uint8_t>(sym * 10));
    const uint64_t next = a + b;
    a = b;
    b = next;
    if (data.size() > 60000)
      break;
  }
  // Shuffle so that matches do not swallow the runs.
  std::mt19937 rng(7);
  std::shuffle(data.begin(), data.end(), rng);
  TLzhEncoder encoder;
  Bytes coded;
  ASSERT_EQ(EncodeWith(encoder, data, coded), LzhOk);
  EXPECT_LE(encoder.LongestCodeSeen(), kLzhMaxCodeBits);
  Bytes out;
  ASSERT_EQ(LzhDecodeBytes(coded.data(), coded.size(), static_cast<int64_t>(data.size()), out), LzhOk);
  EXPECT_TRUE(out == data);
}

// Bytes of a bit string written most significant bit first, closed the coder's
// way: 7 zero bits, then whatever is short of a byte is dropped.
Bytes FromBits(std::string bits)
{
  std::erase(bits, ' ');
  bits += "0000000";
  Bytes out(bits.size() / 8, 0);
  for (size_t i = 0; i < out.size() * 8; ++i)
    if (bits[i] == '1')
      out[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
  return out;
}

TEST(LzhCoder, DecodesHandBuiltBlocks)
{
  struct TCase {
    const char* text;
    const char* bits;
  };
  const TCase cases[] = {
      // "aab": code-length codes 2 and 3 of 1 bit (table of 4 with the 2-bit zero
      // run after the third entry); character lengths: 97 zeros (code 2, 9 bits
      // 77), then 1 and 1; 'a' = 0, 'b' = 1; one position class.
      {"aab", "0000000000000011"
              "00100 000 000 001 00 001"
              "001100011 0 001001101 1 1"
              "0000 0000"
              "0 0 1"},
      // "akka": code-length codes 3 (1 bit), 1 and 2 (2 bits); character lengths:
      // 97 zeros, 1, 9 zeros (code 1, 4 bits 6), 1.
      {"akka", "0000000000000100"
               "00100 000 010 010 00 001"
               "001101100 11 001001101 0 10 0110 0"
               "0000 0000"
               "0 1 1 0"},
      // "abcabcabc": literals a, b, c, then a match of 6 at distance value 2
      // (position class 2, the only one: 0 bits, then 1 extra bit 0). Characters
      // 'a' 'b' 'c' and code 259 take 2 bits; code-length codes 2 and 4 take 1 bit
      // (the zero run after the third entry skips one entry); character lengths:
      // 97 zeros, 2, 2, 2, 159 zeros (9 bits 139), 2.
      {"abcabcabc", "0000000000000100"
                    "00101 000 000 001 01 001"
                    "100000100 0 001001101 1 1 1 0 010001011 1"
                    "0000 0010"
                    "00 01 10 11 0"},
  };
  for (const auto& c : cases) {
    const Bytes coded = FromBits(c.bits);
    Bytes out;
    const std::string text = c.text;
    ASSERT_EQ(LzhDecodeBytes(coded.data(), coded.size(), static_cast<int64_t>(text.size()), out), LzhOk) << c.text;
    EXPECT_EQ(std::string(out.begin(), out.end()), text);
    // The encoder chooses the same codes for these inputs.
    const Bytes image = Pack(Text(text));
    EXPECT_EQ(Bytes(image.begin() + 4, image.end()), coded) << c.text;
  }
}

TEST(LzhCoder, MatchesBeforeTheStartCopyZeros)
{
  // One symbol: the single character code 256 (a match of 3) and the single
  // position class 3 with extra bits 01: distance value 5, before any output.
  const Bytes coded = FromBits("0000000000000001"
                               "00000 00000"
                               "000000000 100000000"
                               "0000 0011"
                               "01");
  Bytes out;
  ASSERT_EQ(LzhDecodeBytes(coded.data(), coded.size(), 3, out), LzhOk);
  EXPECT_EQ(out, Bytes(3, 0));
}

TEST(LzhCoder, ToleratesSourcesThatDeliverInSmallPieces)
{
  const Bytes data = LatticeLike(30000, 17);
  std::mt19937 rng(18);
  size_t at = 0;
  Bytes coded;
  ASSERT_EQ(LzhEncode(
                [&](uint8_t* buffer, size_t n) {
                  const size_t take = std::min({n, data.size() - at, size_t{1} + rng() % 7});
                  std::memcpy(buffer, data.data() + at, take);
                  at += take;
                  return static_cast<int64_t>(take);
                },
                [&](const uint8_t* buffer, size_t n) {
                  coded.insert(coded.end(), buffer, buffer + n);
                  return n;
                }),
            LzhOk);
  Bytes out;
  size_t from = 0;
  ASSERT_EQ(LzhDecode(
                [&](uint8_t* buffer, size_t n) {
                  const size_t take = std::min({n, coded.size() - from, size_t{1} + rng() % 3});
                  std::memcpy(buffer, coded.data() + from, take);
                  from += take;
                  return static_cast<int64_t>(take);
                },
                [&](const uint8_t* buffer, size_t n) {
                  EXPECT_LE(n, static_cast<size_t>(kLzhDictionary));
                  out.insert(out.end(), buffer, buffer + n);
                  return n;
                },
                static_cast<int64_t>(data.size())),
            LzhOk);
  EXPECT_TRUE(out == data);
}

TEST(LzhCoder, CodersOnSeveralThreadsDoNotShareState)
{
  std::vector<Bytes> inputs, results(4);
  for (uint32_t i = 0; i < 4; ++i)
    inputs.push_back(LatticeLike(60000 + 1000 * i, 30 + i));
  std::vector<std::thread> threads;
  for (size_t i = 0; i < inputs.size(); ++i)
    threads.emplace_back([&, i] {
      Bytes coded;
      if (LzhEncodeBytes(inputs[i].data(), inputs[i].size(), coded) == LzhOk)
        LzhDecodeBytes(coded.data(), coded.size(), static_cast<int64_t>(inputs[i].size()), results[i]);
    });
  for (auto& t : threads)
    t.join();
  for (size_t i = 0; i < inputs.size(); ++i)
    EXPECT_TRUE(results[i] == inputs[i]) << i;
}

// ---------------------------------------------------------------------------
// Damaged input

TEST(LzhDecoderInput, CutShortImagesAreRejected)
{
  const Bytes data = LatticeLike(40000, 9);
  const Bytes image = Pack(data);
  for (size_t keep : {size_t{4}, size_t{5}, size_t{12}, image.size() / 2, image.size() - 1}) {
    Bytes cut(image.begin(), image.begin() + static_cast<long>(keep));
    Bytes out;
    EXPECT_EQ(Unpack(cut, out), LzhTruncated) << "kept " << keep;
    EXPECT_LT(out.size(), data.size());
  }
}

TEST(LzhDecoderInput, BadSizeFieldsAreRejected)
{
  Bytes out;
  EXPECT_EQ(Unpack(Bytes{1, 2}, out), LzhBadSize);
  EXPECT_EQ(Unpack(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0}, out), LzhBadSize); // -1
  TMemoryStream source(Bytes{0x00, 0x00, 0x10, 0x00, 0, 0, 0});               // 1 MiB announced
  TMemoryStream dest(Bytes{9, 9});
  EXPECT_EQ(LzhDecodeStream(source, dest, 1000), LzhBadSize);
  EXPECT_EQ(dest.Bytes(), (Bytes{9, 9})) << "destination untouched";
  EXPECT_EQ(source.GetPosition(), 0);
}

TEST(LzhDecoderInput, InvalidTablesAreRejected)
{
  struct TCase {
    const char* what;
    Bytes coded; // after a size field announcing 10 bytes
  };
  const TCase cases[] = {
      // count 1, code-length table: 5-bit n = 31 (> 19 entries)
      {"too_many_length_codes", {0x00, 0x01, 0xF8, 0x00, 0x00, 0x00}},
      // count 1, n = 0 and single code 31 (>= 19)
      {"single_length_code_out_of_range", {0x00, 0x01, 0x07, 0xC0, 0x00, 0x00}},
      // count 1, T single 0, C n = 0 and single code 511 (>= 510)
      {"single_char_code_out_of_range", {0x00, 0x01, 0x00, 0x3F, 0xF0, 0x00, 0x00}},
      // count 1, T n=3 with lengths 1,1,1: over-subscribed
      {"oversubscribed_length_table", {0x00, 0x01, 0x19, 0x24, 0x00, 0x00, 0x00}},
      // count 1, T n=1 with length 7 followed by ten 1 bits: longer than 16
      {"code_longer_than_sixteen", {0x00, 0x01, 0x0F, 0xFF, 0xFE, 0x00, 0x00}},
  };
  for (const auto& c : cases) {
    Bytes image{10, 0, 0, 0};
    image.insert(image.end(), c.coded.begin(), c.coded.end());
    Bytes out;
    const int rc = Unpack(image, out);
    EXPECT_TRUE(rc == LzhCorrupt || rc == LzhTruncated) << c.what << ": " << LzhResultText(rc);
    EXPECT_LT(out.size(), 10u) << c.what;
  }
}

TEST(LzhDecoderInput, FlippedBitsNeverOverrunOrInventSuccessLength)
{
  const Bytes data = LatticeLike(20000, 11);
  const Bytes image = Pack(data);
  std::mt19937 rng(12);
  for (int trial = 0; trial < 300; ++trial) {
    Bytes damaged = image;
    const size_t at = 4 + rng() % (damaged.size() - 4);
    damaged[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
    Bytes out;
    const int rc = Unpack(damaged, out);
    if (rc == LzhOk)
      EXPECT_EQ(out.size(), data.size());
    else
      EXPECT_LE(out.size(), data.size());
  }
}

TEST(LzhDecoderInput, ShortWritesAreReported)
{
  const Bytes data = RandomBytes(30000, 13);
  size_t at = 0;
  size_t budget = 1000;
  const int rc = LzhEncode(
      [&](uint8_t* buffer, size_t n) {
        const size_t take = std::min(n, data.size() - at);
        std::memcpy(buffer, data.data() + at, take);
        at += take;
        return static_cast<int64_t>(take);
      },
      [&](const uint8_t*, size_t n) {
        const size_t took = std::min(n, budget);
        budget -= took;
        return took;
      });
  EXPECT_EQ(rc, LzhWriteFailed);

  const Bytes image = Pack(data);
  Bytes out;
  size_t room = 5000;
  const int drc = LzhDecode(
      [&, pos = size_t{4}](uint8_t* buffer, size_t n) mutable {
        const size_t take = std::min(n, image.size() - pos);
        std::memcpy(buffer, image.data() + pos, take);
        pos += take;
        return static_cast<int64_t>(take);
      },
      [&](const uint8_t*, size_t n) {
        const size_t took = std::min(n, room);
        room -= took;
        return took;
      },
      static_cast<int64_t>(data.size()));
  EXPECT_EQ(drc, LzhWriteFailed);
}

TEST(LzhDecoderInput, ReadErrorsAreReported)
{
  const int rc = LzhEncode([](uint8_t*, size_t) { return int64_t{-1}; }, [](const uint8_t*, size_t n) { return n; });
  EXPECT_EQ(rc, LzhReadFailed);
  const int drc = LzhDecode([](uint8_t*, size_t) { return int64_t{-1}; }, [](const uint8_t*, size_t n) { return n; }, 5);
  EXPECT_EQ(drc, LzhReadFailed);
}
