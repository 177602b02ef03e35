// The label font of an array found by its family through fontconfig. Only the
// faces of fonts-dejavu-core are relied on: DejaVu Sans, DejaVu Sans Mono and
// DejaVu Serif, each regular and bold.
#include "gis/ArrayLabelFont.h"
#include "gis/FontconfigLabelFont.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TFontRecord Font(const std::string& family, int32_t style = 0)
{
  TFontRecord font;
  font.name = family;
  font.style = style;
  return font;
}

std::string FileName(const std::string& path)
{
  return std::filesystem::path(path).filename().string();
}

TEST(FontconfigLabelFont, TheFamilysInstalledFileInTheRecordsWeight)
{
  const struct {
    const char* family;
    int32_t style;
    const char* file;
  } cases[] = {
    {"DejaVu Serif", 0, "DejaVuSerif.ttf"},
    {"DejaVu Serif", TFontRecord::Bold, "DejaVuSerif-Bold.ttf"},
    {"dejavu sans mono", 0, "DejaVuSansMono.ttf"},
    {"DejaVu Sans Mono", TFontRecord::Bold | TFontRecord::Underline, "DejaVuSansMono-Bold.ttf"},
    {"DejaVu Sans", TFontRecord::Bold, "DejaVuSans-Bold.ttf"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.family);
    EXPECT_EQ(FileName(InstalledFamilyFile(Font(c.family, c.style))), c.file);
    EXPECT_EQ(FileName(FontconfigLabelFontFile(Font(c.family, c.style))), c.file);
  }
}

TEST(FontconfigLabelFont, AnItalicRequestStaysInTheFamily)
{
  // Whether the italic face is installed or not, the file is one of the family.
  const std::string file = FileName(FontconfigLabelFontFile(Font("DejaVu Serif", TFontRecord::Italic)));
  EXPECT_EQ(file.rfind("DejaVuSerif", 0), 0u) << file;
}

TEST(FontconfigLabelFont, AFamilyThatIsNotInstalledFallsBackToDejaVuSans)
{
  for (const auto& [family, style] : {std::pair<std::string, int32_t>{"Kestovar No Such Family", 0},
                                      {"Kestovar No Such Family", TFontRecord::Bold},
                                      {"", 0}}) {
    SCOPED_TRACE(family);
    EXPECT_TRUE(InstalledFamilyFile(Font(family, style)).empty());
    EXPECT_EQ(FontconfigLabelFontFile(Font(family, style)), DejaVuLabelFontFile(Font(family, style)));
  }
  EXPECT_EQ(FileName(DejaVuLabelFontFile(Font("x", TFontRecord::Bold))), "DejaVuSans-Bold.ttf");
}

TEST(FontconfigLabelFont, InstalledAsTheResolverItNamesTheFileArraysDrawWith)
{
  SetLabelFontFileResolver(FontconfigLabelFontFile);
  EXPECT_EQ(FileName(ResolveLabelFontFile(Font("DejaVu Serif"))), "DejaVuSerif.ttf");
  SetLabelFontFileResolver({});
  EXPECT_EQ(FileName(ResolveLabelFontFile(Font("DejaVu Serif"))), "DejaVuSans.ttf");
}

} // namespace
