// Writes the seed inputs of every fuzz target: small real files made by the
// program's own writers (a project in its three forms, a side file, GIS and
// series images, texts). Usage: fuzz_seeds <folder>; one subfolder per target.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzGis.h"
#include "../support/LzhBomb.h"
#include "data/ByteOrder.h"
#include "data/LzhCoder.h"
#include "data/Stream.h"
#include "data/TagStream.h"
#include "data/TimeSeries.h"
#include "model/store/LatticeSideFile.h"
#include "model/store/ModelPersistence.h"
#include "shell/Projectfile.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void Put(const fs::path& folder, const std::string& name, const Bytes& bytes)
{
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Text(const std::string& text)
{
  return Bytes(text.begin(), text.end());
}

Bytes Prefixed(uint8_t first, const Bytes& rest)
{
  Bytes bytes{first};
  bytes.insert(bytes.end(), rest.begin(), rest.end());
  return bytes;
}

Bytes FileBytes(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void FillGis(TGIS& gis)
{
  fuzz::RegisterEveryType(gis);
  std::vector<std::unique_ptr<TGObj>> objects;
  objects.push_back(fuzz::Make<TGPoint>(&gis));
  objects.push_back(fuzz::Make<TGMark>(&gis));
  objects.push_back(fuzz::Make<TGRect>(&gis));
  for (auto& object : objects) {
    object->SetXY(0.25, 0.75);
    object->SetName("объект");
    gis.AddObject(nullptr, std::move(object), true);
  }
  gis.AddObject(nullptr, std::make_unique<TGArray>(&gis, 4, 3, 10001), true);
  gis.AddObject(nullptr, std::make_unique<TGArray3D>(&gis, 3, 3, 2, 20001), true);
}

Bytes GisImage()
{
  TGIS gis;
  FillGis(gis);
  TMemoryStream image;
  gis.SaveObjects(image);
  return image.Bytes();
}

void FillSeries(TTimeSeries& list, int count)
{
  for (int s = 0; s < count; ++s) {
    auto serie = std::make_unique<TTimeSerie>(s % 2 ? 50 : 0);
    serie->name = "ряд";
    for (int i = 0; i < 5; ++i)
      serie->Add(0.1 * i, i * s);
    list.Add(std::move(serie));
  }
}

Bytes SeriesImage(int count)
{
  TTimeSeries list;
  FillSeries(list, count);
  TMemoryStream image;
  list.Save(&image);
  return image.Bytes();
}

THeap* SmallHeap()
{
  THeap* heap = THeapNew();
  THeapSetLatticeSize(heap, 5, 6, 5);
  heap->ElectrodeCodes[2 + 5 * (2 + 6 * 1)] = -3.0;
  return heap;
}

bool WriteBody(TStream& body, const THeap& heap)
{
  {
    TTagStream main(&body, TagStreamWrite);
    main.SetGroup(TagGroup::MainWindow);
    for (int32_t id = 0; id < MainRecordCount; ++id)
      main.WriteInt(id == MainRecordWindowCount ? 1 : 100 + id);
    if (!main.Commit())
      return false;
  }
  TGIS gis;
  FillGis(gis);
  if (!gis.SaveObjects(body))
    return false;
  {
    TTagStream model(&body, TagStreamWrite);
    TTimeSeries series;
    FillSeries(series, 2);
    WriteModelWindowBlock(model, TModelWindowState{}, &series);
    TTree tree;
    TTreeNew(&tree);
    TBreakdownModelState state;
    state.electrodes.resize(1);
    WriteBreakdownModelBlock(model, heap, tree, state);
    TTreeDelete(&tree);
    if (!model.Commit())
      return false;
  }
  TTagStream view(&body, TagStreamWrite);
  view.SetGroup(TagGroup::ViewWindow);
  view.WriteInt(9);
  view.WriteString("окно");
  return view.Commit();
}

} // namespace

int main(int argc, char** argv)
{
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
    return 2;
  }
  const fs::path root = argv[1];
  THeap* heap = SmallHeap();

  for (int mode : {0, 1, 2}) {
    const std::string path = (root / ("project" + std::to_string(mode) + ".vzt")).string();
    fs::create_directories(root);
    if (!WriteProjectFile(path, mode, [&](TStream& body) { return WriteBody(body, *heap); }))
      return 1;
    Put(root / "project", "mode" + std::to_string(mode), FileBytes(path));
    fs::remove(path);
  }

  const std::string side = (root / "seed.hex").string();
  if (!SaveLatticeSideFile(side, *heap))
    return 1;
  Put(root / "side_file", "packed", Prefixed(0, FileBytes(side)));
  fs::remove(side);
  TMemoryStream state;
  {
    TTagStream records(&state, TagStreamWrite);
    WriteHeapState(records, *heap);
  }
  Put(root / "side_file", "state", Prefixed(1, state.Bytes()));
  THeapDelete(heap);

  Put(root / "gis", "objects", GisImage());
  Put(root / "time_series", "tagged", SeriesImage(3));
  Put(root / "time_series", "packed", SeriesImage(201));

  const Bytes sample = Text("Кестовар: пробой твёрдых диэлектриков, пробой твёрдых диэлектриков.");
  Bytes coded;
  LzhEncodeBytes(sample.data(), sample.size(), coded);
  Bytes packed(4);
  PutInt32LE(packed.data(), static_cast<int32_t>(sample.size()));
  packed.insert(packed.end(), coded.begin(), coded.end());
  Put(root / "persistence", "decode", Prefixed(0, packed));
  Put(root / "persistence", "tags", Prefixed(1, GisImage()));
  Put(root / "persistence", "round", Prefixed(2, sample));
  // Decompression bombs: one whose size field the reader refuses, one that
  // expands to exactly what the target allows; a compressed project of the same kind.
  Put(root / "persistence", "bomb", Prefixed(0, lzhbomb::PackedZeros(1 << 30)));
  Put(root / "persistence", "bombAtTheCap", Prefixed(0, lzhbomb::PackedZeros(1 << 16)));
  Put(root / "project", "compressedBomb", lzhbomb::CompressedProjectBomb());

  Put(root / "formula", "functions", Text("SIN(X)+2*(Y-1)^2-LN(Z)/(1+X)"));
  Put(root / "formula", "minus", Text("-(X%3)*ARCTH(0.5)+E*PI"));

  Put(root / "grid_text", "values", Prefixed(0, Text("1\t2\t3\t4\t5\r\n6\t7\t8\t9\t10\n")));
  Put(root / "grid_text", "cells", Prefixed(1, Text("0 0 0 1.5\n4 3 2 -2e3\n")));
  Put(root / "grid_text", "points", Prefixed(2, Text("0.1 0.2 0.3 7\n0.9 0.9 0.9 8\n")));
  return 0;
}
