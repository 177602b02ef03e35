#pragma once
// A GIS with the map frames installed and scripted modal calls, for the
// browser, frame and dialog suites of the map folder.
#include "base/ScriptedModalCalls.h"
#include "gis/GArray.h"
#include "gis/GIS.h"
#include "maps/FrameRegistry.h"

#include <QStringList>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace mapstest {

class TMapsFixture : public ::testing::Test {
protected:
  TMapsFixture()
  {
    RegisterMapFrames(registry);
    gis.SetTransform(0, 0, 1000, 1000);
    gis.SetCoordKind(1);
  }

  template <class T>
  T* Add(std::unique_ptr<T> object, const std::string& name, double X = 100, double Y = 200, bool removable = true)
  {
    object->SetName(name);
    const std::int32_t id = gis.AddObjectAt(nullptr, std::move(object), X, Y, removable);
    gis.SetModified(false);
    return dynamic_cast<T*>(gis.FindObjectById(id));
  }

  // A 4 x 3 regular array with values 0 .. 11 under the given value names.
  template <class T = TGArray>
  T* AddArray(const std::string& name, const std::vector<std::string>& valueNames, bool removable = true)
  {
    auto array = std::make_unique<T>(&gis, 4, 3, 0);
    array->SetName(name);
    array->SetLevelNames(&valueNames);
    return Add(std::move(array), name, 0, 0, removable);
  }

  TGIS gis;
  TFrameRegistry registry;
  TFrameRegistryScope installed{registry};
  TScriptedModalCalls calls;
  TModalCallsScope callsInstalled{calls};
};

// The node at the path of captions, or null.
inline QTreeWidgetItem* NodeAt(QTreeWidget* tree, const QStringList& path)
{
  QTreeWidgetItem* node = nullptr;
  for (const QString& caption : path) {
    QTreeWidgetItem* found = nullptr;
    const int count = node ? node->childCount() : tree->topLevelItemCount();
    for (int i = 0; i < count && !found; ++i) {
      QTreeWidgetItem* child = node ? node->child(i) : tree->topLevelItem(i);
      if (child->text(0) == caption)
        found = child;
    }
    if (!found)
      return nullptr;
    node = found;
  }
  return node;
}

// The captions of a node's children (of the top level without a node).
inline QStringList Captions(QTreeWidget* tree, QTreeWidgetItem* node = nullptr)
{
  QStringList captions;
  const int count = node ? node->childCount() : tree->topLevelItemCount();
  for (int i = 0; i < count; ++i)
    captions << (node ? node->child(i) : tree->topLevelItem(i))->text(0);
  return captions;
}

} // namespace mapstest
