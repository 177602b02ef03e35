#pragma once
// What the tests of the view windows inside the program share: a shown main
// window with the real view makers and a new project of the breakdown model,
// scripted modal calls that look at a dialog before answering it, and the
// view windows of one class.
#include "../EditingModalCalls.h"
#include "support/ProjectTestSupport.h"

#include "shell/ViewMakers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

// The pictures need OpenGL: skipped on a display without it, a failure in CI.
#define REQUIRE_VIEW_GL(view)                                                          \
  do {                                                                                 \
    if (!(view)->Viewer->HasGLContext()) {                                             \
      if (std::getenv("CI"))                                                           \
        FAIL() << "OpenGL is not available";                                           \
      GTEST_SKIP() << "OpenGL is not available on this display";                       \
    }                                                                                  \
  } while (0)

namespace viewwindowtest {

using namespace projecttest;

constexpr int CodePotential = 20001;

template <class T> std::vector<T*> ViewsOf(TFMain& main)
{
  std::vector<T*> found;
  for (TFSimpleView* view : main.Views())
    if (auto* typed = qobject_cast<T*>(view))
      found.push_back(typed);
  return found;
}

// A taller lattice than the project tests' needle: the tree grows over several steps.
class TTallNeedleMaker : public TNeedleModelMaker {
public:
  std::unique_ptr<TFModel> CreateModel(TFMain&) override
  {
    auto model = std::make_unique<TFBitModel>();
    SetUpNeedle(*model->GetEngine(), 9, 16);
    model->UpdateLatticeSize();
    return model;
  }
};

class ViewWindowTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(dir.isValid());
    RegisterViewMakers(store.Views());
    main = std::make_unique<TFMain>(QStringList());
    main->SetProjectFiles(&store);
    main->SetModelWindowMaker(&maker);
    main->SetViewFactory(&store.Views());
    main->resize(1000, 760);
    main->show();
    ProcessPostedEvents();
    main->MINewClick();
    ProcessPostedEvents();
  }
  void TearDown() override
  {
    if (main && main->CalcState() == CalcRunning) {
      main->BPauseClick();
      ServeUntil([&] { return main->CalcState() == CalcPaused; });
    }
    main.reset();
    ProcessPostedEvents();
  }

  QTemporaryDir dir;
  TEditingModalCalls calls;
  TModalCallsScope scope{calls};
  TProjectFileStore store;
  TTallNeedleMaker maker;
  std::unique_ptr<TFMain> main;
};

} // namespace viewwindowtest
