#pragma once
// TFmGisLayer: the layers of a GIS as a list of object types and objects, each
// with a shown flag, listed from the last entry to the first. A click in the
// first column toggles the flag of the selected entries, a click in the second
// selects the run of neighbours of the same type; dragging moves the selected
// entries up or down the list.
#include <QWidget>

#include <cstdint>
#include <vector>

class QTableWidget;
class TGIS;

struct TGisLayerEntry {
  enum TKind { ObjectType = 0, Object = 1 };
  int Kind = ObjectType;
  // The type code of an object-type entry, the id of an object entry.
  std::int32_t Code = 0;
  bool Shown = true;
};

class TFmGisLayer : public QWidget {
  Q_OBJECT

public:
  explicit TFmGisLayer(QWidget* owner = nullptr);

  void SetGis(TGIS* gis);
  void SetEntries(std::vector<TGisLayerEntry> entries);
  const std::vector<TGisLayerEntry>& Entries() const { return entries; }

  // Rows count from the top, which shows the last entry.
  void ToggleSelectedShown();
  void SelectTypeRun(int row);
  // Moves the selected entries by rows (negative: up), never past the ends.
  void MoveSelection(int rows);

  QTableWidget* SGdata = nullptr;

protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  int EntryOfRow(int row) const { return static_cast<int>(entries.size()) - 1 - row; }
  std::int32_t TypeCodeOf(const TGisLayerEntry& entry) const;
  std::vector<int> SelectedRows() const;
  void SelectRows(const std::vector<int>& rows);
  void ShowEntries();
  void MousePress(int col, int row);
  void MouseMove(int row);

  TGIS* gis = nullptr;
  std::vector<TGisLayerEntry> entries;
  bool dragging = false;
  bool moved = false;
  int rowUnderMouse = -1;
};
