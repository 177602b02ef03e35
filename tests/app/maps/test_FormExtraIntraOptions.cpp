// The building parameters as the data window's "параметры ..." button opens
// them: every field shown and stored back unchanged, the typed numbers read
// with their limits, and "Генерация" building by the page's method.
#include "MapsTestSupport.h"

#include "maps/FormArrayData.h"
#include "maps/FormExtraIntraOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using namespace mapstest;

namespace {

class ExtraIntraOptionsTest : public TMapsFixture {
protected:
  void SetUp() override { array = AddArray("P", {"Потенциал"}); }
  void TearDown() override { DestroyArrayData(); }

  // Opens the options from the data window; `act` runs while they are shown.
  void OpenOptions(const std::function<void(TFExtraIntraOptions&)>& act)
  {
    OpenDataThroughFrame<TFArrayData>(
        acting, *array,
        [](TFArrayData& window) {
          window.Bexoptions->click();
          return 1;
        },
        [&](QDialog* dialog) {
          if (auto* options = dynamic_cast<TFExtraIntraOptions*>(dialog))
            act(*options);
          return dialog->result();
        });
  }

  TActingCalls acting;
  TModalCallsScope actingInstalled{acting};
  TGArray* array = nullptr;
};

TEST_F(ExtraIntraOptionsTest, EveryParameterIsShownAndStoredBack)
{
  TArrayBuildParams& p = array->BuildParams();
  p.fillMethod = 5;
  p.gaussA = 0.25, p.gaussB = 0.75;
  p.laplaceThirdDerivativeWeight = 0.5, p.laplaceMaxIterations = 77, p.laplaceAccuracy = 1e-7;
  p.nn2Method = 1, p.nn2Scaling = 2;
  p.idwWeightCount = 2, p.idwWeights[0] = 2, p.idwWeights[1] = 0.125, p.idwAnisotropy = 1.5;
  p.mcMinimum = -3, p.mcMaximum = 4, p.mcNewWidthOn = false, p.mcWidth = 2.5, p.mcAnisotropy = 0.5, p.mcDetrend = false;
  p.krigingMinimum = -5, p.krigingMaximum = 6, p.krigingNewWidthOn = true, p.krigingWidth = 3.5;
  p.krigingAnisotropy = 0.75, p.krigingDetrend = false, p.krigingRangeFactor = 0.2, p.krigingAutomaticRanges = false;
  p.krigingRangeX = 7, p.krigingRangeY = 8, p.krigingNugget = 0.01, p.fixedBoundary = true;
  const TArrayBuildParams before = p;
  OpenOptions([](TFExtraIntraOptions& options) {
    EXPECT_EQ(options.PageControl->currentIndex(), 5);
    EXPECT_EQ(options.Elapepsx->text(), "1e-07");
    EXPECT_EQ(options.Emidweights->text(), "2 0.125");
    EXPECT_FALSE(options.Emmcwidth->isEnabled());
    EXPECT_TRUE(options.Ekrwidth->isEnabled());
    EXPECT_TRUE(options.Ekrscalex->isEnabled());
    EXPECT_FALSE(options.Ekrpart_blk->isEnabled());
    options.Bok->click();
  });
  const TArrayBuildParams& after = array->BuildParams();
  EXPECT_EQ(after.gaussA, before.gaussA);
  EXPECT_EQ(after.gaussB, before.gaussB);
  EXPECT_EQ(after.laplaceThirdDerivativeWeight, before.laplaceThirdDerivativeWeight);
  EXPECT_EQ(after.laplaceMaxIterations, before.laplaceMaxIterations);
  EXPECT_EQ(after.laplaceAccuracy, before.laplaceAccuracy);
  EXPECT_EQ(after.nn2Method, before.nn2Method);
  EXPECT_EQ(after.nn2Scaling, before.nn2Scaling);
  EXPECT_EQ(after.idwWeightCount, 2);
  EXPECT_EQ(after.idwWeights[1], 0.125);
  EXPECT_EQ(after.idwAnisotropy, before.idwAnisotropy);
  EXPECT_EQ(after.mcMinimum, before.mcMinimum);
  EXPECT_EQ(after.mcMaximum, before.mcMaximum);
  EXPECT_EQ(after.mcNewWidthOn, before.mcNewWidthOn);
  EXPECT_EQ(after.mcWidth, before.mcWidth);
  EXPECT_EQ(after.mcAnisotropy, before.mcAnisotropy);
  EXPECT_EQ(after.mcDetrend, before.mcDetrend);
  EXPECT_EQ(after.krigingMinimum, before.krigingMinimum);
  EXPECT_EQ(after.krigingMaximum, before.krigingMaximum);
  EXPECT_EQ(after.krigingNewWidthOn, before.krigingNewWidthOn);
  EXPECT_EQ(after.krigingWidth, before.krigingWidth);
  EXPECT_EQ(after.krigingAnisotropy, before.krigingAnisotropy);
  EXPECT_EQ(after.krigingDetrend, before.krigingDetrend);
  EXPECT_EQ(after.krigingRangeFactor, before.krigingRangeFactor);
  EXPECT_EQ(after.krigingAutomaticRanges, before.krigingAutomaticRanges);
  EXPECT_EQ(after.krigingRangeX, before.krigingRangeX);
  EXPECT_EQ(after.krigingRangeY, before.krigingRangeY);
  EXPECT_EQ(after.krigingNugget, before.krigingNugget);
  EXPECT_EQ(after.fixedBoundary, before.fixedBoundary);
  EXPECT_EQ(after.fillMethod, 5);
}

TEST_F(ExtraIntraOptionsTest, TypedNumbersAreReadWithTheirLimits)
{
  struct TCase {
    QString weights, laplace;
    std::vector<double> stored;
    QString shown;
    double laplaceStored;
  };
  const TCase cases[] = {{"1 0,5", "1.7", {1, 0.5}, "1 0.5", 1},
                         {"0 0 0", "-0.2", {0, 0, 1}, "0 0 1", 0},
                         {"", "abc", {1}, "1", 0},
                         {" 3  x 4", "0,25", {3}, "3", 0.25}};
  for (const TCase& c : cases) {
    OpenOptions([&](TFExtraIntraOptions& options) {
      options.Emidweights->setText(c.weights);
      options.Elapzheta->setText(c.laplace);
      options.Elapmaxit->setText("12,6");
      options.Bok->click();
      EXPECT_EQ(options.Emidweights->text(), c.shown);
    });
    const TArrayBuildParams& p = array->BuildParams();
    ASSERT_EQ(p.idwWeightCount, static_cast<int>(c.stored.size())) << c.weights.toStdString();
    for (size_t w = 0; w < c.stored.size(); ++w)
      EXPECT_EQ(p.idwWeights[w], c.stored[w]);
    EXPECT_EQ(p.laplaceThirdDerivativeWeight, c.laplaceStored);
    EXPECT_EQ(p.laplaceMaxIterations, 13);
  }
}

TEST_F(ExtraIntraOptionsTest, BuildFromTheKrigingPageBuildsByKriging)
{
  array->BuildParams().presentValuesKnown = true;
  int builds = 0;
  gis.OnChange = [&](void*) { ++builds; };
  OpenOptions([](TFExtraIntraOptions& options) {
    options.PageControl->setCurrentIndex(6);
    options.Bbuild->click();
  });
  gis.OnChange = nullptr;
  EXPECT_EQ(array->BuildParams().fillMethod, 6);
  EXPECT_GE(builds, 1);
}

} // namespace
