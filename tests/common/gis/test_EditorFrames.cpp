#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GisTestSupport.h"
#include "gis/EditorFrames.h"

using namespace gistest;

namespace {

// Frames that record what the objects ask of them.
struct TCallLog {
  std::vector<std::string> calls;
};

class TFakeMarkFrame : public TMarkFrame {
public:
  explicit TFakeMarkFrame(TCallLog& log) : log(log) {}
  void ApplyTo(TGMark& mark) override
  {
    log.calls.push_back("mark apply");
    mark.SetWorldXY(30, 40);
    mark.SetName("из рамки");
  }
  void FillFrom(TGMark&, bool fromKept, bool multiple) override
  {
    log.calls.push_back("mark fill " + std::to_string(fromKept) + std::to_string(multiple));
  }
  TCallLog& log;
};

class TFakeReperFrame : public TReperFrame {
public:
  explicit TFakeReperFrame(TCallLog& log) : log(log) {}
  void ApplyTo(TGReper&) override { log.calls.push_back("reper apply"); }
  void FillFrom(TGReper&, bool fromKept, bool multiple) override
  {
    log.calls.push_back("reper fill " + std::to_string(fromKept) + std::to_string(multiple));
  }
  TCallLog& log;
};

class TFakeMapFrame : public TMapFrame {
public:
  explicit TFakeMapFrame(TCallLog& log) : log(log) {}
  void ApplyTo(TGMap&) override { log.calls.push_back("map apply"); }
  void FillFrom(TGMap&, bool multiple) override { log.calls.push_back("map fill " + std::to_string(multiple)); }
  TCallLog& log;
};

class TFakeAreaFrame : public TModelRectFrame {
public:
  explicit TFakeAreaFrame(TCallLog& log) : log(log) {}
  void ApplyToObject(TGModelRect&) override { log.calls.push_back("area apply"); }
  void LoadFromObject(TGModelRect&, bool fromKept, bool multiple) override
  {
    log.calls.push_back("area fill " + std::to_string(fromKept) + std::to_string(multiple));
  }
  TCallLog& log;
};

class TFakeFactory : public TEditorFrameFactory {
public:
  TMarkFrame* CreateMarkFrame(TGMark&, bool fromKept, bool multiple, QWidget*) override
  {
    log.calls.push_back("new mark frame " + std::to_string(fromKept) + std::to_string(multiple));
    return Keep(std::make_unique<TFakeMarkFrame>(log));
  }
  TReperFrame* CreateReperFrame(TGReper&, bool, bool, QWidget*) override
  {
    return Keep(std::make_unique<TFakeReperFrame>(log));
  }
  TMapFrame* CreateMapFrame(TGMap&, bool multiple, QWidget*) override
  {
    log.calls.push_back("new map frame " + std::to_string(multiple));
    return Keep(std::make_unique<TFakeMapFrame>(log));
  }
  TModelRectFrame* CreateModelRectFrame(TGModelRect&, bool, bool, QWidget*) override
  {
    return Keep(std::make_unique<TFakeAreaFrame>(log));
  }

  template <class T>
  T* Keep(std::unique_ptr<T> frame)
  {
    T* raw = frame.get();
    frames.push_back(std::move(frame));
    return raw;
  }

  TCallLog log;
  std::vector<std::unique_ptr<TEditorFrame>> frames; // the owner widget's part
};

class EditorFrameTest : public testing::Test {
protected:
  void SetUp() override { SetEditorFrameFactory(&factory); }
  void TearDown() override { SetEditorFrameFactory(nullptr); }

  TFakeFactory factory;
  TGIS gis;
};

} // namespace

TEST_F(EditorFrameTest, MarkFrameIsCreatedFilledAndApplied)
{
  gis.SetTransform(0, 0, 100, 100);
  auto owned = std::make_unique<TGMark>(&gis);
  TGMark& mark = *owned;
  gis.AddObject(nullptr, std::move(owned), true);
  gis.SetModified(false);

  TEditorFrame* frame = mark.CreateEditorFrame(true, false, nullptr);
  ASSERT_NE(frame, nullptr);
  mark.FillEditorFrame(frame, false, true);
  EXPECT_FALSE(gis.IsModified());
  mark.ApplyEditorFrame(frame);
  EXPECT_TRUE(gis.IsModified());
  EXPECT_DOUBLE_EQ(mark.GetX(), 0.3);
  EXPECT_EQ(mark.GetName(), "из рамки");
  EXPECT_EQ(factory.log.calls, (std::vector<std::string>{"new mark frame 10", "mark fill 01", "mark apply"}));
}

TEST_F(EditorFrameTest, EachKindUsesItsOwnFrame)
{
  TGReper reper(&gis);
  TGMap map(&gis);
  TGModelRect area(&gis);
  TEditorFrame* reperFrame = reper.CreateEditorFrame(false, false, nullptr);
  TEditorFrame* mapFrame = map.CreateEditorFrame(true, true, nullptr);
  TEditorFrame* areaFrame = area.CreateEditorFrame(false, true, nullptr);
  ASSERT_NE(dynamic_cast<TReperFrame*>(reperFrame), nullptr);
  ASSERT_NE(dynamic_cast<TMapFrame*>(mapFrame), nullptr);
  ASSERT_NE(dynamic_cast<TModelRectFrame*>(areaFrame), nullptr);
  reper.FillEditorFrame(reperFrame, true, false);
  map.FillEditorFrame(mapFrame, false, true);
  area.FillEditorFrame(areaFrame, true, true);
  reper.ApplyEditorFrame(reperFrame);
  map.ApplyEditorFrame(mapFrame);
  area.ApplyEditorFrame(areaFrame);
  EXPECT_EQ(factory.log.calls, (std::vector<std::string>{"new map frame 1", "reper fill 10", "map fill 1",
                                                         "area fill 11", "reper apply", "map apply", "area apply"}));
}

TEST_F(EditorFrameTest, AFrameOfAnotherKindIsIgnored)
{
  TGMark mark(&gis);
  TGMap map(&gis);
  TEditorFrame* mapFrame = map.CreateEditorFrame(false, false, nullptr);
  factory.log.calls.clear();
  gis.SetModified(false);
  mark.FillEditorFrame(mapFrame, false, false);
  mark.ApplyEditorFrame(mapFrame);
  mark.ApplyEditorFrame(nullptr);
  EXPECT_TRUE(factory.log.calls.empty());
  EXPECT_FALSE(gis.IsModified());
}

TEST_F(EditorFrameTest, ObjectsWithoutFramesAndProgramsWithoutFactories)
{
  TGPoint point(&gis);
  TGRect rect(&gis);
  EXPECT_EQ(point.CreateEditorFrame(false, false, nullptr), nullptr);
  EXPECT_EQ(rect.CreateEditorFrame(false, false, nullptr), nullptr);
  SetEditorFrameFactory(nullptr);
  TGMark mark(&gis);
  EXPECT_EQ(mark.CreateEditorFrame(false, false, nullptr), nullptr);
  EXPECT_TRUE(factory.log.calls.empty());
}
