// The profile window over a GIS of plane arrays and section objects: series
// per array and path, the sample count of a window with no width, the last
// path that stays, and the project record.

#include "plots/FormArrayPlot.h"

#include "data/Stream.h"
#include "data/TagStream.h"
#include "gis/GArray.h"
#include "gis/GIS.h"
#include "gis/GObj.h"
#include "gis/GRect.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// No part of the program makes section objects yet; a rectangle stands in.
class TSectionObject : public TGRect {
public:
  explicit TSectionObject(TGIS* gis) : TGRect(gis) { SetTypeCode(TFArrayPlot::SectionTypeCode); }
};

class ArrayPlot : public ::testing::Test {
protected:
  void SetUp() override
  {
    for (const char* name : {"a", "b"})
      arrays.push_back(AddArray(name));
    for (const char* name : {"s1", "s2", "s3"})
      sections.push_back(AddSection(name, 0.1, 0.5, 0.8, 0));
    plot = std::make_unique<TFArrayPlot>(nullptr, nullptr, &gis);
    plot->resize(200, 150);
  }

  int32_t AddArray(const char* name)
  {
    auto array = std::make_unique<TGArray>(&gis, 10, 1, 0);
    array->SetFarCorner(1, 1);
    std::vector<double> data(10);
    for (int i = 0; i < 10; ++i)
      data[i] = i;
    array->SetData(data.data());
    array->SetName(name);
    array->SetUnitText("В");
    return gis.AddObject(nullptr, std::move(array), true);
  }

  int32_t AddSection(const char* name, double x, double y, double width, double height)
  {
    auto section = std::make_unique<TSectionObject>(&gis);
    section->SetName(name);
    section->SetWorldRect(x, y, x + width, y + height);
    return gis.AddObject(nullptr, std::move(section), true);
  }

  void ChooseAll()
  {
    for (int32_t id : arrays)
      plot->ArrayItemClick(id);
    for (int32_t id : sections)
      plot->SectionItemClick(id);
  }

  TGIS gis;
  std::vector<int32_t> arrays, sections;
  std::unique_ptr<TFArrayPlot> plot;
};

TEST_F(ArrayPlot, EveryArrayIsProfiledAlongEveryPathPathByPathWithinEachArray)
{
  ChooseAll();
  ASSERT_TRUE(plot->HasData());
  const TPlotSeriesData data = plot->GetSeriesData();
  ASSERT_EQ(data[0].size(), 6u);
  EXPECT_TRUE(data[1].empty());
  const char* names[] = {"s1, a (В)", "s2, a (В)", "s3, a (В)", "s1, b (В)", "s2, b (В)", "s3, b (В)"};
  for (int k = 0; k < 6; ++k) {
    EXPECT_TRUE(data[0][k].name.endsWith(QString::fromUtf8(names[k]))) << data[0][k].name.toStdString();
    EXPECT_FALSE(data[0][k].y.empty());
    EXPECT_EQ(data[0][k].x.size(), data[0][k].y.size());
  }
}

TEST_F(ArrayPlot, PathsOfNoLengthGiveEmptySeriesAndAWindowWithoutWidthStillSamples)
{
  const int32_t point = AddSection("p", 0.3, 0.5, 0, 0);
  plot->ArrayItemClick(arrays[0]);
  plot->SectionItemClick(sections[0]);
  plot->SectionItemClick(point);
  plot->setFixedWidth(0);
  ASSERT_EQ(plot->ProfileSteps(), 1);
  ASSERT_TRUE(plot->HasData());
  const TPlotSeriesData data = plot->GetSeriesData();
  ASSERT_EQ(data[0].size(), 2u);
  EXPECT_GE(data[0][0].y.size(), 1u); // the real path, sampled in one step
  EXPECT_TRUE(data[0][1].y.empty()); // the point
}

TEST_F(ArrayPlot, ChoicesOfSectionsAndArrays)
{
  struct TCase {
    const char* what;
    std::vector<int> sectionClicks; // indexes into sections
    size_t sectionsLeft;
  } cases[] = {
      {"one path chosen", {0}, 1},
      {"the last path cannot be removed", {0, 0}, 1},
      {"of two paths one can be removed", {0, 1, 0}, 1},
      {"three paths", {0, 1, 2}, 3},
  };
  for (const TCase& c : cases) {
    plot->Sections.clear();
    for (int i : c.sectionClicks)
      plot->SectionItemClick(sections[i]);
    EXPECT_EQ(plot->Sections.size(), c.sectionsLeft) << c.what;
  }
  plot->Sections.clear();
  EXPECT_FALSE(plot->HasData()) << "no path";
  plot->SectionItemClick(sections[0]);
  EXPECT_FALSE(plot->HasData()) << "no array";
  plot->ArrayItemClick(arrays[0]);
  EXPECT_TRUE(plot->HasData());
  plot->ArrayItemClick(arrays[0]);
  EXPECT_FALSE(plot->HasData()) << "array unchosen again";
}

TEST_F(ArrayPlot, GoneObjectsAreDroppedAtTheNextBuild)
{
  ChooseAll();
  gis.DeleteObjectById(nullptr, arrays[1], true);
  gis.DeleteObjectById(nullptr, sections[2], true);
  ASSERT_TRUE(plot->HasData());
  EXPECT_EQ(plot->SelectedArrays[0], std::vector<int32_t>{arrays[0]});
  EXPECT_EQ(plot->Sections.size(), 2u);
  EXPECT_EQ(plot->GetSeriesData()[0].size(), 2u);
}

TEST_F(ArrayPlot, TheProjectRecordRestoresPathsArraysAndSmoothing)
{
  ChooseAll();
  plot->Smoothing = TFArrayPlot::SmoothPoint;
  TMemoryStream memory;
  {
    TTagStream stream(&memory, TagStreamWrite);
    plot->SaveToStream(&stream);
    stream.Commit();
  }
  memory.SetPosition(0);
  TTagStream stream(&memory, TagStreamRead);
  TFArrayPlot loaded(nullptr, nullptr, &gis);
  loaded.LoadFromStream(&stream);
  EXPECT_EQ(loaded.Smoothing, TFArrayPlot::SmoothPoint);
  EXPECT_EQ(loaded.SelectedArrays[0], arrays);
  ASSERT_EQ(loaded.Sections.size(), 3u);
  for (int k = 0; k < 3; ++k)
    EXPECT_EQ(loaded.Sections[k].objectId, sections[k]);
}

} // namespace
