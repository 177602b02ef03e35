#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "data/PackedFile.h"
#include "data/Stream.h"
#include "data/StreamPrimitives.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

class PackedFileTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    dir_ = fs::temp_directory_path() / ("kestovar_packed_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  static void WriteFile(const std::string& path, const Bytes& bytes)
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  static Bytes ReadFile(const std::string& path)
  {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // Files left beside the target by an unfinished save.
  size_t StrayFiles() const
  {
    size_t n = 0;
    for (const auto& e : fs::directory_iterator(dir_))
      n += e.path().filename().string().find(".gfm") != std::string::npos;
    return n;
  }

  fs::path dir_;
};

Bytes SampleBody(size_t n)
{
  std::mt19937 rng(21);
  Bytes b(n);
  for (size_t i = 0; i < n; ++i)
    b[i] = static_cast<uint8_t>(i % 97 < 60 ? 'a' + i % 7 : rng() % 256);
  return b;
}

} // namespace

TEST_F(PackedFileTest, SignaturesFrameThePackedImage)
{
  const Bytes body = SampleBody(30000);
  WriteFile(Path("plain"), body);
  for (const std::string signature : {"%GMFPK", "%MDFPK"}) {
    int rc = -1;
    ASSERT_TRUE(LzhPackFile(Path("plain"), Path("packed"), signature, {}, &rc)) << LzhResultText(rc);
    const Bytes packed = ReadFile(Path("packed"));
    ASSERT_GT(packed.size(), signature.size() + 4);
    EXPECT_EQ(std::string(packed.begin(), packed.begin() + 6), signature);
    EXPECT_EQ(packed[6] | packed[7] << 8 | packed[8] << 16 | packed[9] << 24, 30000);
    EXPECT_LT(packed.size(), body.size());

    ASSERT_TRUE(LzhUnpackFile(Path("packed"), Path("unpacked"), signature, &rc)) << LzhResultText(rc);
    EXPECT_EQ(ReadFile(Path("unpacked")), body);
  }
  EXPECT_EQ(StrayFiles(), 0u);
}

TEST_F(PackedFileTest, ProgressFollowsTheSource)
{
  WriteFile(Path("plain"), SampleBody(200000));
  int64_t last = 0;
  int calls = 0;
  ASSERT_TRUE(LzhPackFile(Path("plain"), Path("packed"), "%GMFPK", [&](int64_t consumed) {
    EXPECT_GE(consumed, last);
    last = consumed;
    ++calls;
  }));
  EXPECT_GT(calls, 1);
  EXPECT_EQ(last, 200000);
}

TEST_F(PackedFileTest, ForeignShortAndDamagedFilesAreRefused)
{
  WriteFile(Path("plain"), SampleBody(5000));
  ASSERT_TRUE(LzhPackFile(Path("plain"), Path("packed"), "%MDFPK"));
  const Bytes packed = ReadFile(Path("packed"));
  WriteFile(Path("existing"), Bytes{'k', 'e', 'e', 'p'});

  struct TCase {
    const char* name;
    Bytes content;
    int result;
  };
  const TCase cases[] = {
      {"other_signature", Bytes(packed.begin(), packed.end()), LzhBadSignature}, // read as %GMFPK below
      {"shorter_than_signature", Bytes{'%', 'M', 'D'}, LzhBadSignature},
      {"empty", Bytes{}, LzhBadSignature},
      {"no_size", Bytes{'%', 'G', 'M', 'F', 'P', 'K', 1}, LzhBadSize},
      {"cut_short", [&] {
         Bytes b(packed.begin(), packed.begin() + static_cast<long>(packed.size() / 2));
         b[1] = 'G', b[2] = 'M';
         return b;
       }(), LzhTruncated},
  };
  for (const auto& c : cases) {
    WriteFile(Path(c.name), c.content);
    int rc = -1;
    EXPECT_FALSE(LzhUnpackFile(Path(c.name), Path("existing"), "%GMFPK", &rc)) << c.name;
    EXPECT_EQ(rc, c.result) << c.name << ": " << LzhResultText(rc);
    EXPECT_EQ(ReadFile(Path("existing")), (Bytes{'k', 'e', 'e', 'p'})) << c.name << ": destination left as it was";
  }
  EXPECT_EQ(StrayFiles(), 0u);
}

TEST_F(PackedFileTest, OpenFailuresAreReported)
{
  int rc = -1;
  EXPECT_FALSE(LzhPackFile(Path("missing"), Path("packed"), "%GMFPK", {}, &rc));
  EXPECT_EQ(rc, LzhOpenFailed);
  EXPECT_FALSE(fs::exists(Path("packed")));
  WriteFile(Path("plain"), Bytes{1, 2, 3});
  EXPECT_FALSE(LzhPackFile(Path("plain"), Path("no_such_folder/packed"), "%GMFPK", {}, &rc));
  EXPECT_EQ(rc, LzhOpenFailed);
  EXPECT_FALSE(LzhUnpackFile(Path("missing"), Path("out"), "%GMFPK", &rc));
  EXPECT_EQ(rc, LzhOpenFailed);
  EXPECT_FALSE(LzhPackFile(dir_.string(), Path("packed"), "%GMFPK", {}, &rc)) << "a folder is no source";
}

TEST_F(PackedFileTest, FullDiskIsAFailureNotSuccess)
{
  if (!fs::exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full";
  WriteFile(Path("plain"), SampleBody(100000));
  TFileStream source(Path("plain"), TFileMode::Read);
  TFileStream full("/dev/full", TFileMode::Create);
  int rc = LzhEncodeStream(source, full);
  // The buffered file may only notice on close.
  const bool closed = full.Close();
  EXPECT_TRUE(rc == LzhWriteFailed || !closed);
}

TEST(PackedStream, DecodeLeavesTheSourceAfterTheImage)
{
  const Bytes body = SampleBody(10000);
  TMemoryStream source(body);
  TMemoryStream packed;
  ASSERT_EQ(LzhEncodeStream(source, packed), LzhOk);
  const int64_t imageSize = packed.GetSize();
  StreamWriteInt(packed, 12345); // something after the image
  packed.SetPosition(0);
  TMemoryStream out(Bytes{9, 9, 9});
  ASSERT_EQ(LzhDecodeStream(packed, out), LzhOk);
  EXPECT_EQ(out.Bytes(), body);
  EXPECT_EQ(packed.GetPosition(), imageSize);
  EXPECT_EQ(StreamReadInt(packed), 12345);
}

TEST(PackedStream, EncodesFromThePositionOn)
{
  TMemoryStream source(Bytes{'x', 'y', 'a', 'b', 'c'});
  source.SetPosition(2);
  TMemoryStream packed;
  ASSERT_EQ(LzhEncodeStream(source, packed), LzhOk);
  packed.SetPosition(0);
  TMemoryStream out;
  ASSERT_EQ(LzhDecodeStream(packed, out), LzhOk);
  EXPECT_EQ(out.Bytes(), (Bytes{'a', 'b', 'c'}));
}

TEST(PackedStream, UnpackBlockInPlace)
{
  const Bytes body = SampleBody(4000);
  TMemoryStream source(body);
  TMemoryStream packed;
  ASSERT_EQ(LzhEncodeStream(source, packed), LzhOk);
  Bytes block = packed.Bytes();
  ASSERT_EQ(LzhUnpackBlock(block), LzhOk);
  EXPECT_EQ(block, body);

  Bytes damaged = packed.Bytes();
  damaged.resize(damaged.size() / 3);
  const Bytes before = damaged;
  EXPECT_EQ(LzhUnpackBlock(damaged), LzhTruncated);
  EXPECT_EQ(damaged, before);
  Bytes tiny{1, 0};
  EXPECT_EQ(LzhUnpackBlock(tiny), LzhBadSize);
  Bytes bomb{0xFF, 0xFF, 0xFF, 0x7F};
  EXPECT_EQ(LzhUnpackBlock(bomb), LzhBadSize) << "2 GiB is beyond the in-memory limit";
}
