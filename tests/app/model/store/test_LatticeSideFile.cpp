// The side file of a calculation under way: a state after breakdown written
// and read into a fresh model steps on exactly like the original; damaged,
// foreign or mismatched files are refused with a reason and change nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "StoreTestSupport.h"
#include "data/PackedFile.h"
#include "model/store/EngineStateStore.h"
#include "model/store/LatticeSideFile.h"
#include "model/store/ModelImageError.h"

using namespace storetest;

namespace {

// The damage rounds run for a few seconds; MODELSTORE_FUZZ_SECONDS and
// MODELSTORE_FUZZ_SEED let a longer session (under the sanitizers) look further.
int FuzzSeconds()
{
  const char* text = std::getenv("MODELSTORE_FUZZ_SECONDS");
  return text ? std::max(1, std::atoi(text)) : 8;
}

uint32_t FuzzSeed()
{
  const char* text = std::getenv("MODELSTORE_FUZZ_SEED");
  return text ? static_cast<uint32_t>(std::strtoul(text, nullptr, 10)) : 20261210u;
}

// A model broken down once, its parameter image (what the project keeps) and
// its side file.
class SideFile : public ::testing::Test {
protected:
  void SetUp() override
  {
    original = NeedleModel();
    ASSERT_TRUE(original);
    RunToBreakdown(*original);
    ASSERT_EQ(original->Flags, 1) << "the needle model must break down";
    params = ParamsOf(*original);
    side = folder.File("project.hex");
    std::string why;
    ASSERT_TRUE(SaveLatticeSideFile(side, *original, &why)) << why;
    check = {original->StepCount, original->Time};
  }

  // A fresh model that has read the project's parameters, as loading does
  // before it turns to the side file.
  HeapPtr Restored()
  {
    HeapPtr h(THeapNew());
    ReadParams(params, *h);
    return h;
  }

  HeapPtr original;
  std::vector<uint8_t> params;
  TempFolder folder;
  std::string side;
  TLatticeStateCheck check;
};

TEST_F(SideFile, IsPackedUnderItsSignatureAndUnpacksToTheStateImage)
{
  const std::vector<uint8_t> bytes = ReadFile(side);
  ASSERT_GT(bytes.size(), 10u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "%MDFPK");
  const std::string unpacked = folder.File("unpacked");
  ASSERT_TRUE(LzhUnpackFile(side, unpacked, "%MDFPK"));
  const std::vector<uint8_t> image = ReadFile(unpacked);
  EXPECT_EQ(GetInt32LE(bytes.data() + 6), static_cast<int32_t>(image.size()));
  const std::vector<uint8_t> expected = WriteImage([&](TTagStream& s) { WriteHeapState(s, *original); });
  EXPECT_EQ(image, expected);
  EXPECT_EQ(RecordsOf(image).size(), 60u);
}

TEST_F(SideFile, RestoresTheStateAndStepsOnBitForBit)
{
  HeapPtr copy = Restored();
  std::string why;
  ASSERT_TRUE(LoadLatticeSideFile(side, *copy, check, &why)) << why;

  const int cells = Cells(*original);
  ASSERT_EQ(Cells(*copy), cells);
  EXPECT_EQ(copy->Flags, 1);
  EXPECT_EQ(copy->StepCount, original->StepCount);
  EXPECT_EQ(copy->Time, original->Time);
  EXPECT_EQ(copy->GapU, original->GapU);
  EXPECT_EQ(copy->ChannelLength, original->ChannelLength);
  ASSERT_EQ(copy->MaterialCount, original->MaterialCount);
  EXPECT_EQ(std::memcmp(copy->Materials, original->Materials, sizeof(TMaterial) * original->MaterialCount), 0);
  ASSERT_EQ(copy->Nodes.count, original->Nodes.count);
  for (int i = 0; i < original->Nodes.count; ++i) {
    TNode a = original->Nodes.nodes[i], b = copy->Nodes.nodes[i];
    a.branchCurrent = b.branchCurrent = 0;
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "node " << i;
  }
  for (auto array : {&THeap::Potential, &THeap::PotentialInit, &THeap::PotentialQ0, &THeap::Charge,
                     &THeap::ChargeInit, &THeap::NodeOfCell, &THeap::Ec, &THeap::ElectrodeCodes, &THeap::CurrentX,
                     &THeap::CurrentY, &THeap::CurrentZ, &THeap::DispCurrentX, &THeap::DispCurrentY,
                     &THeap::DispCurrentZ})
    EXPECT_EQ(std::memcmp(copy.get()->*array, original.get()->*array, cells * sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(copy->MaterialOfCell, original->MaterialOfCell, cells * sizeof(int32_t)), 0);

  for (int step = 0; step < 2; ++step) {
    THeapGoTimeStep(original.get());
    THeapGoTimeStep(copy.get());
  }
  EXPECT_EQ(copy->Time, original->Time);
  EXPECT_EQ(copy->Nodes.count, original->Nodes.count);
  EXPECT_EQ(copy->GenI, original->GenI);
  EXPECT_EQ(std::memcmp(copy->Potential, original->Potential, cells * sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(copy->Charge, original->Charge, cells * sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(copy->FieldAbs, original->FieldAbs, cells * sizeof(double)), 0);
}

TEST_F(SideFile, StateOfAnotherLatticeSizeIsRefusedWhole)
{
  // Records sized for the saved lattice never fit another one, larger or smaller.
  for (int n2 : {original->N2 + 2, original->N2 - 2}) {
    HeapPtr other = NeedleModel(original->N1, n2, original->N3);
    const uint64_t before = Fingerprint(*other);
    std::string why;
    EXPECT_FALSE(LoadLatticeSideFile(side, *other, {other->StepCount, 1.0}, &why)) << n2;
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(Fingerprint(*other), before);
  }
}

// Damaged and foreign files: each is refused with a reason and leaves the
// record as it was.
TEST_F(SideFile, RefusesDamagedFilesWithAReason)
{
  const std::vector<uint8_t> good = ReadFile(side);
  const std::string unpackedPath = folder.File("image");
  ASSERT_TRUE(LzhUnpackFile(side, unpackedPath, "%MDFPK"));
  const std::vector<uint8_t> image = ReadFile(unpackedPath);

  // Repacks an altered image into a side file.
  auto packed = [&](const std::vector<uint8_t>& alteredImage) {
    WriteFile(unpackedPath, alteredImage);
    std::vector<uint8_t> bytes;
    const std::string out = folder.File("repacked.hex");
    if (LzhPackFile(unpackedPath, out, "%MDFPK"))
      bytes = ReadFile(out);
    return bytes;
  };
  auto altered = [&](auto change) {
    std::vector<TTagRecord> records = RecordsOf(image);
    change(records);
    return packed(ImageOf(records));
  };
  auto treeAltered = [&](auto change) {
    return altered([&](std::vector<TTagRecord>& records) {
      TTagRecord* tree = FindRecord(records, EngineImage::kStateNodes);
      std::vector<TTagRecord> columns = RecordsOf(tree->data);
      change(columns);
      tree->data = ImageOf(columns);
    });
  };

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    TLatticeStateCheck check;
  };
  std::vector<Case> cases;
  std::vector<uint8_t> b = good;
  b[1] = 'G';
  cases.push_back({"foreign signature", b, check});
  cases.push_back({"signature only", std::vector<uint8_t>(good.begin(), good.begin() + 6), check});
  cases.push_back({"empty file", {}, check});
  cases.push_back({"cut in the size field", std::vector<uint8_t>(good.begin(), good.begin() + 8), check});
  cases.push_back({"cut in the coded data", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2),
                   check});
  b = good;
  PutInt32LE(b.data() + 6, 0x7fffffff);
  cases.push_back({"huge unpacked size", b, check});
  b = good;
  PutInt32LE(b.data() + 6, -5);
  cases.push_back({"negative unpacked size", b, check});
  b = good;
  PutInt32LE(b.data() + 6, 40);
  cases.push_back({"size of a few records only", b, check});
  cases.push_back({"missing array record",
                   packed(WithoutIds(image, {205})), check});
  cases.push_back({"missing circuit record", packed(WithoutIds(image, {88})), check});
  cases.push_back({"missing node list", packed(WithoutIds(image, {300})), check});
  cases.push_back({"short array record", altered([](auto& r) { FindRecord(r, 200)->data.pop_back(); }), check});
  cases.push_back({"long scalar record", altered([](auto& r) { FindRecord(r, 72)->data.push_back(0); }), check});
  cases.push_back({"parent out of range", treeAltered([](auto& c) { PutInt32LE(c[6].data.data() + 4, 1000); }),
                   check});
  cases.push_back({"node cell out of range",
                   treeAltered([](auto& c) { PutInt32LE(c[5].data.data(), 1 << 30); }), check});
  cases.push_back({"node count above the cells",
                   treeAltered([](auto& c) { PutInt32LE(c[0].data.data(), 1 << 30); }), check});
  cases.push_back({"material index out of table",
                   altered([](auto& r) { PutInt32LE(FindRecord(r, 215)->data.data() + 8, 5); }), check});
  cases.push_back({"cell of a missing node",
                   altered([](auto& r) { PutDoubleLE(FindRecord(r, 207)->data.data(), 1e9); }), check});
  cases.push_back({"step count of another save", good, {check.stepCount + 1, check.modelTime}});
  cases.push_back({"engine time ahead of the model", good, {check.stepCount, check.modelTime * 0.5}});

  HeapPtr target = Restored();
  const uint64_t before = Fingerprint(*target);
  const std::string path = folder.File("damaged.hex");
  for (const Case& c : cases) {
    WriteFile(path, c.bytes);
    std::string why;
    EXPECT_FALSE(LoadLatticeSideFile(path, *target, c.check, &why)) << c.what;
    EXPECT_FALSE(why.empty()) << c.what;
    EXPECT_EQ(Fingerprint(*target), before) << c.what;
  }
  std::string why;
  EXPECT_FALSE(LoadLatticeSideFile(folder.File("absent.hex"), *target, check, &why));
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(Fingerprint(*target), before);
  // The undamaged file still loads into the same record.
  EXPECT_TRUE(LoadLatticeSideFile(side, *target, check, &why)) << why;
}

TEST_F(SideFile, EngineTimeBehindTheModelAfterRepeatedDischargesIsAccepted)
{
  HeapPtr copy = Restored();
  std::string why;
  EXPECT_TRUE(LoadLatticeSideFile(side, *copy, {check.stepCount, check.modelTime * 3 + 1e-6}, &why)) << why;
}

TEST_F(SideFile, FailedWriteKeepsThePreviousFile)
{
  const std::vector<uint8_t> before = ReadFile(side);
  std::string why;
  // No temporary file to write into: nothing is packed, the old file stays.
  EXPECT_FALSE(SaveLatticeSideFile(side, *original, &why, [] { return std::string(); }));
  EXPECT_FALSE(why.empty());
  // A temporary file in a folder that does not exist cannot be written either.
  EXPECT_FALSE(SaveLatticeSideFile(side, *original, &why, [&] { return folder.File("none/gfm1"); }));
  EXPECT_EQ(ReadFile(side), before);
  // A side file that cannot be placed leaves no temporary file behind.
  const std::string temp = folder.File("gfmtemp");
  EXPECT_FALSE(SaveLatticeSideFile(folder.File("none/project.hex"), *original, &why, [&] {
    WriteFile(temp, {});
    return temp;
  }));
  EXPECT_FALSE(std::filesystem::exists(temp));
}

// Random damage to the packed file and to the image inside it: the reader
// never crashes, whatever it refuses leaves the record untouched, and whatever
// it accepts the engine can step on from.
TEST_F(SideFile, SurvivesRandomDamage)
{
  const std::vector<uint8_t> good = ReadFile(side);
  const std::string unpackedPath = folder.File("image");
  ASSERT_TRUE(LzhUnpackFile(side, unpackedPath, "%MDFPK"));
  const std::vector<uint8_t> image = ReadFile(unpackedPath);
  const std::string path = folder.File("fuzz.hex");
  const std::string repacked = folder.File("fuzzimage");
  HeapPtr target = Restored();
  target->MaxNwItr = 40; // damaged values may never converge: keep each step short
  std::mt19937 random(FuzzSeed());
  const int seconds = FuzzSeconds();
  const auto stop = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int refused = 0, accepted = 0;
  for (int round = 0; round < 200 * seconds && std::chrono::steady_clock::now() < stop; ++round) {
    const bool packedDamage = round % 2 == 0;
    std::vector<uint8_t> bytes = packedDamage ? good : image;
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
      const size_t at = random() % bytes.size();
      switch (random() % 4) {
      case 0:
        bytes[at] ^= static_cast<uint8_t>(1u << (random() % 8));
        break;
      case 1:
        bytes[at] = static_cast<uint8_t>(random());
        break;
      case 2:
        bytes.resize(at);
        break;
      default: // a size or count field set to something extreme
        if (at + 4 <= bytes.size())
          PutInt32LE(bytes.data() + at, static_cast<int32_t>(random() % 2 ? 0x7fffffff : -1 - (random() % 1000)));
        break;
      }
    }
    if (packedDamage) {
      WriteFile(path, bytes);
    } else {
      WriteFile(repacked, bytes);
      ASSERT_TRUE(LzhPackFile(repacked, path, "%MDFPK"));
    }
    const uint64_t before = Fingerprint(*target);
    std::string why;
    if (LoadLatticeSideFile(path, *target, check, &why)) {
      // What was taken over, the engine can step on from.
      THeapGoTimeStep(target.get());
      ++accepted;
    } else {
      ++refused;
      ASSERT_EQ(Fingerprint(*target), before) << "round " << round << ": " << why;
      ASSERT_FALSE(why.empty());
    }
  }
  EXPECT_GT(refused, 0);
  RecordProperty("accepted", accepted);
  RecordProperty("refused", refused);
}

// Random damage to the engine's part of a project image: a bad one is a
// project-load error, never a crash, and leaves the engine as it was.
TEST_F(SideFile, ProjectEngineImageSurvivesRandomDamage)
{
  TTree snapshot;
  TTreeNew(&snapshot);
  TTreeCopy(&snapshot, &original->Nodes);
  const std::vector<uint8_t> tree = WriteImage([&](TTagStream& s) { WriteTreeLimbs(s, snapshot); });
  std::mt19937 random(FuzzSeed() + 1);
  HeapPtr target(THeapNew());
  TTree into;
  TTreeNew(&into);
  const auto stop = std::chrono::steady_clock::now() + std::chrono::seconds(std::max(1, FuzzSeconds() / 4));
  int refused = 0;
  for (int round = 0; round < 400 && std::chrono::steady_clock::now() < stop; ++round) {
    const bool damageTree = round % 3 == 0;
    std::vector<uint8_t> bytes = damageTree ? tree : params;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
      const size_t at = random() % bytes.size();
      if (random() % 3 == 0 && at + 4 <= bytes.size())
        PutInt32LE(bytes.data() + at, static_cast<int32_t>(random()));
      else
        bytes[at] ^= static_cast<uint8_t>(1u << (random() % 8));
    }
    const uint64_t before = Fingerprint(*target);
    const TTree keep = into;
    TMemoryStream stream(bytes);
    TTagStream tags(&stream, TagStreamRead);
    try {
      if (damageTree)
        ReadTreeLimbs(tags, into, TreeLatticeOf(*original));
      else
        ReadHeapParams(tags, *target);
    } catch (const EModelImageError&) {
      ++refused;
      ASSERT_EQ(Fingerprint(*target), before) << "round " << round;
      ASSERT_EQ(into.nodes, keep.nodes);
      ASSERT_EQ(into.count, keep.count);
    }
    // Whatever was taken over stays within what the engine can hold.
    ASSERT_LE(static_cast<int64_t>(target->N1) * target->N2 * target->N3, KORVANE_MAX_CELLS);
    ASSERT_GE(target->ElectrodeCount, 2);
    ASSERT_GE(target->MaterialCount, 1);
    ASSERT_LE(into.count, into.capacity);
  }
  EXPECT_GT(refused, 0);
  TTreeDelete(&snapshot);
  TTreeDelete(&into);
}

} // namespace
