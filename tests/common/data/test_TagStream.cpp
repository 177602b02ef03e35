#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "data/ByteOrder.h"
#include "data/PackedFile.h"
#include "data/StreamPrimitives.h"
#include "data/TagStream.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Image of a container filled by fill().
template <class Fill>
Bytes ImageOf(Fill fill)
{
  TMemoryStream stream;
  {
    TTagStream tags(&stream, TagStreamWrite);
    fill(tags);
  }
  return stream.Bytes();
}

// Hand-built image record.
void AddRecord(TByteWriter& w, int32_t id, int32_t group, const Bytes& data, int32_t lengthField)
{
  w.Int32(id);
  w.Int32(group);
  w.Int32(static_cast<int32_t>(data.size()));
  w.Int32(lengthField);
  w.Bytes(data.data(), data.size());
}

class TBytesPicture : public TStreamPicture {
public:
  Bytes bytes;
  void SaveToStream(TStream& stream) const override { stream.WriteExact(bytes.data(), bytes.size()); }
  void LoadFromStream(TStream& stream) override
  {
    bytes.resize(static_cast<size_t>(stream.Remaining()));
    stream.ReadExact(bytes.data(), bytes.size());
  }
};

} // namespace

TEST(TagStreamImage, EmptyContainerIsFourZeroBytes)
{
  EXPECT_EQ(ImageOf([](TTagStream&) {}), Bytes(4, 0));
}

TEST(TagStreamImage, OneIntRecordLayout)
{
  const Bytes image = ImageOf([](TTagStream& t) {
    t.SetGroup(2000);
    t.WriteInt(7, -1);
  });
  const Bytes expected{0x01, 0, 0, 0, 0, 0, 0, 0, 0xD0, 0x07, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0, 7, 0, 0, 0};
  EXPECT_EQ(image, expected);
}

TEST(TagStreamImage, ShortStreamReadsAsEmptyAndConsumesNothing)
{
  TMemoryStream stream(Bytes{1, 0, 0});
  TTagStream tags(&stream, TagStreamRead);
  EXPECT_TRUE(tags.Records().empty());
  EXPECT_EQ(stream.GetPosition(), 0);
  TTagStream none(nullptr, TagStreamRead);
  EXPECT_EQ(none.ReadInt(5), 5);
}

TEST(TagStreamImage, BackToBackImagesReadBackInOrder)
{
  TMemoryStream stream;
  {
    TTagStream a(&stream, TagStreamWrite);
    a.WriteString("первый");
  }
  {
    TTagStream b(&stream, TagStreamWrite);
    b.WriteInt(1);
    b.WriteInt(2);
  }
  stream.WriteExact("tail", 4);
  stream.SetPosition(0);
  TTagStream a(&stream, TagStreamRead);
  TTagStream b(&stream, TagStreamRead);
  EXPECT_EQ(a.ReadString(""), "первый");
  EXPECT_EQ(a.Records().size(), 1u);
  EXPECT_EQ(b.ReadInt(0), 1);
  EXPECT_EQ(b.ReadInt(0), 2);
  char tail[4];
  stream.ReadExact(tail, 4);
  EXPECT_EQ(std::string(tail, 4), "tail");
}

TEST(TagStreamImage, TruncatedImageKeepsCompleteRecordsAndStops)
{
  const Bytes full = ImageOf([](TTagStream& t) {
    t.WriteInt(11);
    t.WriteBlock("0123456789abcdef", 16);
    t.WriteInt(33);
  });
  // Cut inside the data of the second record: its bytes must not be parsed as
  // further records.
  Bytes cut(full.begin(), full.begin() + 4 + 20 + 16 + 8);
  TMemoryStream stream(cut);
  TTagStream tags(&stream, TagStreamRead);
  ASSERT_EQ(tags.Records().size(), 1u);
  EXPECT_EQ(tags.ReadInt(0), 11);
  EXPECT_EQ(stream.GetPosition(), 4 + 20) << "left at the incomplete record";
}

TEST(TagStreamImage, NegativeOrHugeLengthsAndCountsAreRefused)
{
  TByteWriter w;
  w.Int32(0x7FFFFFFF); // absurd record count
  AddRecord(w, 0, 0, Bytes{1, 0, 0, 0}, 4);
  AddRecord(w, 1, 0, Bytes{}, -8); // negative data length
  AddRecord(w, 2, 0, Bytes{5, 0, 0, 0}, 4);
  TMemoryStream stream(w.Take());
  TTagStream tags(&stream, TagStreamRead);
  EXPECT_EQ(tags.Records().size(), 1u);
  EXPECT_EQ(tags.ReadInt(-1, 0), 1);
  EXPECT_EQ(tags.ReadInt(-1, 2), -1);
}

TEST(TagStreamImage, CommitReportsAFailingStream)
{
  class TFullStream : public TMemoryStream {
  public:
    size_t Write(const void* buffer, size_t n) override
    {
      const size_t room = GetSize() >= 10 ? 0 : std::min<size_t>(n, 10 - static_cast<size_t>(GetSize()));
      return TMemoryStream::Write(buffer, room);
    }
  };
  TFullStream full;
  TTagStream tags(&full, TagStreamWrite);
  tags.WriteString("long enough to overflow the stream");
  EXPECT_FALSE(tags.Commit());

  TMemoryStream ok;
  {
    TTagStream t(&ok, TagStreamWrite);
    t.WriteInt(3);
    EXPECT_TRUE(t.Commit());
  } // no second image from the destructor
  EXPECT_EQ(ok.GetSize(), 4 + 16 + 4);
}

// ---------------------------------------------------------------------------

TEST(TagStreamValues, AutomaticAndExplicitIdsLineUp)
{
  const Bytes image = ImageOf([](TTagStream& t) {
    t.SetGroup(5);
    t.WriteInt(100);    // 0
    t.WriteInt(102, 2); // 2
    t.WriteInt(103);    // 3
    t.WriteInt(104);    // 4
    t.SetGroup(6);
    t.WriteInt(600); // 0 of group 6
  });
  TMemoryStream stream(image);
  TTagStream t(&stream, TagStreamRead);
  std::vector<int32_t> ids;
  for (const auto& r : t.Records())
    ids.push_back(r.id);
  EXPECT_EQ(ids, (std::vector<int32_t>{0, 2, 3, 4, 0}));
  t.SetGroup(5);
  EXPECT_EQ(t.ReadInt(-1), 100);
  EXPECT_EQ(t.ReadInt(-1), -1) << "id 1 was never written";
  EXPECT_EQ(t.ReadInt(-1), 102);
  EXPECT_EQ(t.ReadInt(-1), 103);
  t.SetGroup(6);
  EXPECT_EQ(t.ReadInt(-1), 600);
}

TEST(TagStreamValues, TypedRoundTripAndDefaults)
{
  TFontRecord font;
  font.color = 0x00FF00;
  font.size = 12;
  font.charset = 204;
  font.style = TFontRecord::Bold | TFontRecord::Underline;
  font.name = "Arial Cyr";
  const Bytes image = ImageOf([&](TTagStream& t) {
    t.SetGroup(1000);
    t.WriteInt(-42);
    t.WriteDouble(2.5);
    t.WriteBool(true);
    t.WriteString("Лабораторная");
    t.WriteFont(font);
    t.WriteArray(std::vector<double>{1.0, -2.0, 1e300});
    t.WriteArray(std::vector<int32_t>{7, 8});
    t.WriteStrings({"a", "", "б"});
    t.WriteRecordList({Bytes{1, 2}, Bytes{3, 4, 5}}, 3);
  });
  TMemoryStream stream(image);
  TTagStream t(&stream, TagStreamRead);
  t.SetGroup(1000);
  EXPECT_EQ(t.ReadInt(0), -42);
  EXPECT_EQ(t.ReadDouble(0), 2.5);
  EXPECT_TRUE(t.ReadBool(false));
  EXPECT_EQ(t.ReadString(""), "Лабораторная");
  TFontRecord read;
  EXPECT_TRUE(t.ReadFont(read));
  EXPECT_EQ(read, font);
  std::vector<double> doubles;
  EXPECT_TRUE(t.ReadArray(doubles));
  EXPECT_EQ(doubles, (std::vector<double>{1.0, -2.0, 1e300}));
  std::vector<int32_t> ints;
  EXPECT_TRUE(t.ReadArray(ints));
  EXPECT_EQ(ints, (std::vector<int32_t>{7, 8}));
  std::vector<std::string> strings{"old"};
  EXPECT_TRUE(t.ReadStrings(strings));
  EXPECT_EQ(strings, (std::vector<std::string>{"a", "", "б"}));
  std::vector<Bytes> items;
  EXPECT_EQ(t.ReadRecordList(items, 3), 2);
  EXPECT_EQ(items, (std::vector<Bytes>{Bytes{1, 2, 0}, Bytes{3, 4, 5}}));
  // Past the written values every reader keeps its default.
  EXPECT_EQ(t.ReadInt(9), 9);
  double d = 4.0;
  EXPECT_FALSE(t.Read(d));
  EXPECT_EQ(d, 4.0);
}

TEST(TagStreamValues, ShortRecordsLeaveDefaults)
{
  const Bytes image = ImageOf([](TTagStream& t) {
    t.WriteInt(77, 0);
    t.WriteBuffer("abcdefghijklmnop", 16, 1); // 16 bytes: too short for a font
    t.WriteBlock(nullptr, 0, 2);              // empty: too short for a string
  });
  TMemoryStream stream(image);
  TTagStream t(&stream, TagStreamRead);
  EXPECT_EQ(t.ReadDouble(1.5, 0), 1.5) << "a 4-byte record is too short for a double";
  EXPECT_EQ(t.ReadInt(0, 0), 77);
  TFontRecord font;
  EXPECT_FALSE(t.ReadFont(font, 1));
  EXPECT_EQ(font, TFontRecord{});
  EXPECT_EQ(t.ReadString("keep", 2), "keep");
  char buffer[20] = "untouched";
  EXPECT_FALSE(t.ReadBuffer(buffer, 20, 1));
  EXPECT_STREQ(buffer, "untouched");
}

TEST(TagStreamValues, StringRecordEdgeCases)
{
  const Bytes image = ImageOf([](TTagStream& t) {
    t.WriteString("", 0);
    t.WriteBuffer("x", 1, 1);      // one byte: read as the empty text
    t.WriteBuffer("ab\0cd", 5, 2); // stops at the first NUL
    t.WriteBuffer("abc", 3, 3);    // no NUL: the last byte is the terminator's place
  });
  TMemoryStream stream(image);
  TTagStream t(&stream, TagStreamRead);
  EXPECT_EQ(t.Records()[0].data, Bytes{0});
  EXPECT_EQ(t.ReadString("d", 0), "");
  EXPECT_EQ(t.ReadString("d", 1), "");
  EXPECT_EQ(t.ReadString("d", 2), "ab");
  EXPECT_EQ(t.ReadString("d", 3), "ab");
}

TEST(TagStreamValues, FirstOfTwoEqualKeysWins)
{
  const Bytes image = ImageOf([](TTagStream& t) {
    t.WriteInt(1, 4);
    t.WriteInt(2, 4);
  });
  TMemoryStream stream(image);
  TTagStream t(&stream, TagStreamRead);
  EXPECT_EQ(t.ReadInt(0, 4), 1);
}

TEST(TagStreamValues, ShortListsAndArraysAreNotTrusted)
{
  TByteWriter list;
  list.Int32(0x40000000); // four items announced...
  list.Int32(1);          // ...4 bytes present
  TByteWriter strings;
  strings.Int32(0x7FFFFFFF);
  strings.Int32(2);
  strings.Bytes("a", 2);
  const Bytes image = ImageOf([&](TTagStream& t) {
    t.WriteBlock(list.Result().data(), static_cast<int32_t>(list.Result().size()), 0);
    t.WriteBlock(list.Result().data(), static_cast<int32_t>(list.Result().size()), 1);
    t.WriteBlock(strings.Result().data(), static_cast<int32_t>(strings.Result().size()), 2);
  });
  TMemoryStream stream(image);
  TTagStream t(&stream, TagStreamRead);
  std::vector<Bytes> items{Bytes{9}};
  EXPECT_EQ(t.ReadRecordList(items, 0x10000, 0), 0);
  EXPECT_EQ(items.size(), 1u);
  int32_t count = 5;
  Bytes data{1};
  EXPECT_FALSE(t.ReadArray(count, data, 4, 1));
  EXPECT_EQ(count, 5);
  EXPECT_EQ(data, Bytes{1});
  std::vector<std::string> read;
  EXPECT_TRUE(t.ReadStrings(read, 2));
  EXPECT_EQ(read, std::vector<std::string>{"a"});
}

TEST(TagStreamValues, PicturesFollowTheirRecords)
{
  TBytesPicture picture;
  picture.bytes = {'B', 'M', 1, 2};
  const Bytes image = ImageOf([&](TTagStream& t) {
    t.WriteBitmap(&picture, 0);
    t.WriteBitmap(nullptr, 1);
  });
  TMemoryStream stream(image);
  TTagStream t(&stream, TagStreamRead);
  std::unique_ptr<TBytesPicture> loaded;
  EXPECT_TRUE(t.ReadBitmap(loaded, 0));
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->bytes, picture.bytes);
  EXPECT_TRUE(t.ReadBitmap(loaded, 1));
  EXPECT_FALSE(loaded) << "an empty record deletes the picture";
  loaded = std::make_unique<TBytesPicture>();
  EXPECT_FALSE(t.ReadMetafile(loaded, 7));
  EXPECT_TRUE(loaded) << "a missing record changes nothing";
}

// ---------------------------------------------------------------------------

TEST(TagStreamNesting, ChildContainersNestAndDefault)
{
  const Bytes image = ImageOf([](TTagStream& t) {
    t.SetGroup(1300);
    t.WriteInt(1);
    TTagStream* child = t.BeginChild();
    child->SetGroup(10);
    child->WriteDouble(0.25);
    TTagStream* grandchild = child->BeginChild();
    grandchild->WriteString("deep");
    child->EndChild();
    t.EndChild(); // id 1
    t.WriteInt(3); // id 2
    t.BeginChild()->WriteInt(99);
    t.CloseChild(); // discarded
  });
  TMemoryStream stream(image);
  TTagStream t(&stream, TagStreamRead);
  EXPECT_EQ(t.Records().size(), 3u);
  t.SetGroup(1300);
  EXPECT_EQ(t.ReadInt(0), 1);
  TTagStream* child = t.OpenChild();
  EXPECT_EQ(child->GetStream(), nullptr);
  child->SetGroup(10);
  EXPECT_EQ(child->ReadDouble(0), 0.25);
  EXPECT_EQ(child->OpenChild()->ReadString(""), "deep");
  EXPECT_EQ(t.ReadInt(0), 3);
  TTagStream* missing = t.OpenChild(50);
  ASSERT_NE(missing, nullptr);
  EXPECT_TRUE(missing->Records().empty());
  EXPECT_EQ(missing->ReadInt(8), 8);
}

TEST(TagStreamNesting, RawBlocksAndPackedRecords)
{
  Bytes big(20000);
  for (size_t i = 0; i < big.size(); ++i)
    big[i] = static_cast<uint8_t>((i * 7) % 13);
  const Bytes image = ImageOf([&](TTagStream& t) {
    TMemoryStream* raw = t.BeginBlock();
    StreamWriteInt(*raw, 5);
    StreamWriteDouble(*raw, 6.5);
    t.EndBlock(0);
    t.BeginBlock();
    t.EndBlock(1); // empty block
    t.WritePackedBlock(big.data(), static_cast<int32_t>(big.size()), 2);
  });
  TMemoryStream stream(image);
  TTagStream t(&stream, TagStreamRead);
  EXPECT_EQ(t.Records()[2].id, ~2);
  EXPECT_LT(t.Records()[2].data.size(), big.size() / 10);

  TMemoryStream* raw = t.OpenBlock(0);
  ASSERT_NE(raw, nullptr);
  EXPECT_EQ(StreamReadInt(*raw), 5);
  EXPECT_EQ(StreamReadDouble(*raw), 6.5);
  TMemoryStream* empty = t.OpenBlock(1);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->GetSize(), 0);
  EXPECT_EQ(t.OpenBlock(9), nullptr);
  for (int twice = 0; twice < 2; ++twice) {
    TMemoryStream* packed = t.OpenBlock(2);
    ASSERT_NE(packed, nullptr);
    EXPECT_EQ(packed->Bytes(), big);
    EXPECT_EQ(packed->GetPosition(), 0);
  }
  Bytes block{42};
  EXPECT_TRUE(t.ReadBlock(block, 2));
  EXPECT_EQ(block, big);
  Bytes untouched{1, 2, 3};
  EXPECT_FALSE(t.ReadBlock(untouched, 3));
  EXPECT_EQ(untouched, (Bytes{1, 2, 3})) << "a missing block leaves the variable as it was";
}

TEST(TagStreamNesting, CorruptPackedRecordReadsAsMissing)
{
  TByteWriter w;
  w.Int32(1);
  Bytes packed{0x10, 0, 0, 0, 0xFF, 0xFF}; // 16 bytes promised, garbage bits
  AddRecord(w, ~0, 0, packed, static_cast<int32_t>(packed.size()));
  TMemoryStream stream(w.Take());
  TTagStream t(&stream, TagStreamRead);
  Bytes block{7};
  EXPECT_FALSE(t.ReadBlock(block, 0));
  EXPECT_EQ(block, Bytes{7});
  EXPECT_EQ(t.OpenBlock(0), nullptr);
}

// A few bytes of code can claim a gigabyte: each record is held to its ceiling
// and the open's budget before anything is expanded, and what passes either is
// refused (read as missing) and marks the budget exceeded.
TEST(TagStreamNesting, PackedRecordsAreHeldToTheirCeilingAndTheBudget)
{
  const Bytes part(3000, 9);
  const Bytes image = ImageOf([&](TTagStream& t) {
    for (int32_t id = 0; id < 3; ++id)
      t.WritePackedBlock(part.data(), static_cast<int32_t>(part.size()), id);
  });
  TMemoryStream stream(image);
  TTagStream t(&stream, TagStreamRead);
  Bytes block;
  EXPECT_FALSE(t.ReadBlock(block, 0, 2999)) << "beyond the record's own ceiling";
  EXPECT_TRUE(t.ReadBlock(block, 0, 3000));
  {
    TExpansionBudget budget(7000);
    EXPECT_TRUE(t.ReadBlock(block, 0));
    EXPECT_NE(t.OpenBlock(1), nullptr);
    EXPECT_FALSE(budget.Exceeded());
    EXPECT_EQ(t.OpenBlock(2), nullptr);
    EXPECT_TRUE(budget.Exceeded());
    Bytes untouched{1};
    EXPECT_FALSE(t.ReadBlock(untouched, 0));
    EXPECT_EQ(untouched, Bytes{1});
  }
  EXPECT_TRUE(t.ReadBlock(block, 2)) << "the budget ends with its open";
  EXPECT_EQ(block, part);

  // A record that claims a gigabyte with a handful of bytes.
  TByteWriter w;
  w.Int32(1);
  Bytes claim{0, 0, 0, 0x40, 0xFF, 0xFF};
  AddRecord(w, ~0, 0, claim, static_cast<int32_t>(claim.size()));
  TMemoryStream bomb(w.Take());
  TTagStream b(&bomb, TagStreamRead);
  TExpansionBudget budget(int64_t{4} << 30);
  EXPECT_EQ(b.OpenBlock(0), nullptr);
  EXPECT_TRUE(budget.Exceeded());
}
