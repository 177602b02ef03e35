#pragma once
// TFInspector, "Инспектор": for one probe position, every array of the
// project's GIS that covers it, with its value there and its unit, one array
// per line. The main window gives it the project's GIS and has it probe again
// whenever the views are refreshed.
#include "base/FormSized.h"

#include <string>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class TGIS;

class TFInspector : public TFSized {
  Q_OBJECT

public:
  explicit TFInspector(QWidget* owner = nullptr);

  // Null allowed; the GIS stays the caller's.
  void SetGis(TGIS* gis);
  TGIS* Gis() const { return gis; }
  // Probes again at the stored position.
  void Refresh();
  // x, y: relative coordinates of the GIS.
  void Probe(double x, double y);
  // Appends one line per covering array to each of the three texts.
  virtual void ProbePoint(double x, double y, std::string& names, std::string& values, std::string& units);
  int LineCount() const { return lineCount; }
  // The caption line, then name, value and unit of each line, TAB-separated.
  QString CopyText() const;

  void BcloseClick();
  void PMIcopyClick();

  QScrollArea* SBdata = nullptr;
  QLabel* Lname = nullptr;
  QLabel* Lvalue = nullptr;
  QLabel* Lunit = nullptr;
  QPushButton* Bclose = nullptr;
  QMenu* PMcopy = nullptr;
  QAction* PMIcopy = nullptr;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void FormResize();

  int lineCount = 0;
  double probeX = 0.0;
  double probeY = 0.0;
  TGIS* gis = nullptr;
};

extern TFInspector* FInspector;
