// libFuzzer target for the project open path without the windows' widgets: the
// envelope in its three forms, the body scan, the main-window record, the GIS,
// the model window's blocks with the engine record, and the window images, all
// under one open's expansion budget, as the program reads them.
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "FuzzInputFile.h"
#include "data/Stream.h"
#include "data/TagStream.h"
#include "data/TimeSeries.h"
#include "gis/BitGIS.h"
#include "model/store/ModelPersistence.h"
#include "shell/Projectfile.h"

namespace {

void ReadBody(TStream& body, const TProjectBodyLayout& layout)
{
  {
    TTagStream main(&body, TagStreamRead);
    main.SetGroup(TagGroup::MainWindow);
    for (int32_t id = 0; id < MainRecordCount; ++id)
      main.ReadInt(0, id);
  }
  body.SetPosition(layout.gisStart);
  TBitGIS gis(nullptr);
  gis.LoadObjects(body);

  body.SetPosition(layout.modelStart);
  {
    TTagStream model(&body, TagStreamRead);
    TModelWindowState window;
    TTimeSeries series(kMaxSeriesCapacity);
    ReadModelWindowBlock(model, window, &series);
    // One engine record for the whole run (mapping one per input costs more
    // than the reading); an image the engine cannot take leaves it as it was.
    static THeap* const heap = THeapNew();
    TTree tree;
    TTreeNew(&tree);
    TBreakdownModelState state;
    try {
      ReadBreakdownModelBlock(model, *heap, tree, state, true);
    } catch (...) {
      TTreeDelete(&tree);
      throw;
    }
    TTreeDelete(&tree);
  }
  body.SetPosition(layout.windowsStart);
  for (int32_t i = 0; i < layout.windowCount && body.Remaining() > 0; ++i) {
    TTagStream view(&body, TagStreamRead);
    view.SetGroup(TagGroup::ViewWindow);
    view.ReadInt(-1, 0);
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  fuzz::TInputFile file(data, size);
  TOpenedProject opened;
  if (OpenProjectFile(file.path, opened) != TProjectOpenResult::Ok)
    return 0;
  TProjectBodyLayout layout;
  if (!ScanProjectBody(opened.Body(), layout))
    return 0;
  TExpansionBudget budget(int64_t{512} << 20);
  try {
    ReadBody(opened.Body(), layout);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
  }
  return 0;
}
