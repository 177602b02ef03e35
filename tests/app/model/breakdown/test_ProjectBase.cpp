#include "model/breakdown/ProjectBase.h"

#include <gtest/gtest.h>

namespace {

TEST(ProjectBase, TheLastExtensionOfTheFileNameOnly) {
  struct Case {
    const char *name;
    const char *base;
  } cases[] = {
      {"/home/u/work/probe.kst", "/home/u/work/probe"},
      {"/home/u/.local/share/kestovar/probe.kst", "/home/u/.local/share/kestovar/probe"},
      {"/data/v1.2/run.3.kst", "/data/v1.2/run.3"},
      {"/data/v1.2/run", "/data/v1.2/run"},
      {"/data/.hidden", "/data/.hidden"},
      {"C:\\Work.1\\probe.kst", "C:\\Work.1\\probe"},
      {"probe.kst", "probe"},
      {"", ""},
  };
  for (const auto &c : cases)
    EXPECT_EQ(ProjectFileBase(c.name), c.base) << c.name;
}

TEST(ProjectBase, ProjectsInDottedFoldersKeepTheirOwnSideFiles) {
  EXPECT_NE(ProjectFileBase("/home/u/.cache/a.kst"), ProjectFileBase("/home/u/.cache/b.kst"));
}

} // namespace
