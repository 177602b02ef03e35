#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/ByteOrder.h"
#include "data/Stream.h"
#include "data/StreamPrimitives.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

TEST(StreamPrimitives, FixedSizeValuesAreLittleEndianAndExact)
{
  TMemoryStream s;
  StreamWriteInt(s, 0x01020304);
  StreamWriteDouble(s, 1.0);
  StreamWriteByte(s, 0xAB);
  EXPECT_EQ(s.Bytes(), (Bytes{4, 3, 2, 1, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0xAB}));
  s.SetPosition(0);
  EXPECT_EQ(StreamReadInt(s), 0x01020304);
  EXPECT_EQ(StreamReadDouble(s), 1.0);
  uint8_t b = 0;
  StreamReadByte(s, b);
  EXPECT_EQ(b, 0xAB);
  EXPECT_THROW(StreamReadInt(s), EStreamError);
}

TEST(StreamPrimitives, StringsCarryLengthAndTerminator)
{
  TMemoryStream s;
  StreamWriteString(s, "Ток");
  EXPECT_EQ(s.Bytes(), (Bytes{4, 0, 0, 0, 0xD2, 0xEE, 0xEA, 0}));
  s.SetPosition(0);
  EXPECT_EQ(StreamReadString(s), "Ток");

  struct TCase {
    const char* what;
    Bytes image;
    std::string text;
    int64_t position;
  };
  const TCase cases[] = {
      {"fewer than 5 bytes", Bytes{2, 0, 0, 0}, "", 0},
      {"length beyond the data", Bytes{9, 0, 0, 0, 'a', 0}, "", 4},
      {"negative length", Bytes{0xFF, 0xFF, 0xFF, 0xFF, 'a'}, "", 4},
      {"zero length", Bytes{0, 0, 0, 0, 'a'}, "", 4},
      {"NUL inside", Bytes{4, 0, 0, 0, 'a', 0, 'b', 0}, "a", 8},
  };
  for (const auto& c : cases) {
    TMemoryStream in(c.image);
    EXPECT_EQ(StreamReadString(in), c.text) << c.what;
    EXPECT_EQ(in.GetPosition(), c.position) << c.what;
  }
}

TEST(StreamPrimitives, BlocksAndArraysCheckWhatRemains)
{
  TMemoryStream s;
  StreamWriteBlock(s, "abc", 3);
  StreamWriteBlock(s, nullptr, 5);
  StreamWriteArray(s, 2, "\x01\x00\x02\x00", 2);
  s.SetPosition(0);
  Bytes data;
  EXPECT_EQ(StreamReadBlock(s, data), 3);
  EXPECT_EQ(data, (Bytes{'a', 'b', 'c'}));
  EXPECT_EQ(StreamReadBlock(s, data), 0);
  EXPECT_TRUE(data.empty());
  int32_t count = 0;
  EXPECT_TRUE(StreamReadArray(s, count, data, 2));
  EXPECT_EQ(count, 2);
  EXPECT_EQ(data, (Bytes{1, 0, 2, 0}));

  TByteWriter w;
  w.Int32(0x7FFFFFFF);
  w.Int32(1);
  TMemoryStream bad(w.Take());
  data = {7};
  EXPECT_EQ(StreamReadBlock(bad, data), -1);
  EXPECT_EQ(data, Bytes{7});
  EXPECT_EQ(bad.GetPosition(), 4) << "the data bytes are not consumed";
  bad.SetPosition(0);
  count = 3;
  EXPECT_FALSE(StreamReadArray(bad, count, data, 0x10000)) << "count x item size needs 64 bits";
  EXPECT_EQ(count, 3);
  std::vector<Bytes> items;
  EXPECT_EQ(StreamReadRecordList(bad, items, 0x10000), 0);
  EXPECT_TRUE(items.empty());
}

TEST(FileStreams, SavedFileHasTheModeOfAPlainCreateOrOfTheFileItReplaces)
{
  const fs::path dir = fs::temp_directory_path() / ("kestovar_modes_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string target = (dir / "shared.vzt").string();
  const mode_t oldMask = ::umask(022);
  auto save = [&] {
    TSaveFileStream out(target);
    StreamWriteInt(out, 1);
    return out.Commit();
  };
  auto mode = [&] {
    struct stat info {};
    ::stat(target.c_str(), &info);
    return info.st_mode & 07777;
  };
  ASSERT_TRUE(save());
  EXPECT_EQ(mode(), 0644u);
  ::chmod(target.c_str(), 0640);
  ASSERT_TRUE(save());
  EXPECT_EQ(mode(), 0640u);
  ::umask(oldMask);
  fs::remove_all(dir);
}

TEST(FileStreams, SaveIsAtomic)
{
  const fs::path dir = fs::temp_directory_path() / ("kestovar_streams_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string target = (dir / "file.bin").string();
  {
    TSaveFileStream out(target);
    StreamWriteInt(out, 1);
    EXPECT_TRUE(out.Commit());
  }
  {
    TSaveFileStream out(target);
    StreamWriteInt(out, 2);
    // destroyed without Commit: the old file stays
  }
  {
    TFileStream in(target, TFileMode::Read);
    EXPECT_EQ(in.GetSize(), 4);
    EXPECT_EQ(StreamReadInt(in), 1);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  EXPECT_THROW(TFileStream((dir / "missing").string(), TFileMode::Read), EFileOpenError);
  EXPECT_THROW(TSaveFileStream((dir / "none" / "x").string()), EFileOpenError);
  fs::remove_all(dir);
}
