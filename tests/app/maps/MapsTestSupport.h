#pragma once
// A GIS with the map frames installed and scripted modal calls, for the
// browser, frame and dialog suites of the map folder.
#include "base/ScriptedModalCalls.h"
#include "gis/GArray.h"
#include "gis/GIS.h"
#include "maps/FrameArray.h"
#include "maps/FrameRegistry.h"

#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mapstest {

// Scripted calls that let a test act while a form is "shown".
class TActingCalls : public TScriptedModalCalls {
public:
  std::function<int(QDialog*)> onExec;
  int ExecDialog(QDialog* dialog) override
  {
    if (onExec) {
      dialogs.push_back(dialog);
      return onExec(dialog);
    }
    return TScriptedModalCalls::ExecDialog(dialog);
  }
};

// Selects grid cells (grid indices: data cells start at 1).
inline void SelectCells(QTableWidget& grid, int col1, int row1, int col2, int row2)
{
  grid.clearSelection();
  grid.setCurrentCell(row1, col1);
  grid.setRangeSelected(QTableWidgetSelectionRange(row1, col1, row2, col2), true);
}

// Presses the "Данные" button of the object's frame: `act` runs while the
// data window is shown and returns its modal result; `answer` answers the
// dialogs the window opens (Rejected without one).
template <class Window>
void OpenDataThroughFrame(TActingCalls& calls, TGObj& object, const std::function<int(Window&)>& act,
                          const std::function<int(QDialog*)>& answer)
{
  std::unique_ptr<TFmArray> frame(dynamic_cast<TFmArray*>(object.CreateEditorFrame(false, false, nullptr)));
  ASSERT_TRUE(frame && frame->Bdata->isEnabled());
  calls.onExec = [&](QDialog* dialog) -> int {
    if (auto* window = dynamic_cast<Window*>(dialog))
      return act(*window);
    return answer ? answer(dialog) : 2;
  };
  frame->Bdata->click();
  calls.onExec = nullptr;
}

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
