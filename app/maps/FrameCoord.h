#pragma once
// TFmCoord: edits one position in world units of the GIS, in relative
// distances (north/south, east/west), rectangular X and Y, or geographic
// degrees, minutes and seconds. It converts nothing: it shows and returns the
// numbers as they are, splitting signs and sexagesimal parts only.
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QStackedWidget;

class TFmCoord : public QWidget {
  Q_OBJECT

public:
  enum TKind { KindRelative = 0, KindRectangular = 1, KindGeographic = 2, KindCount = 3 };

  explicit TFmCoord(QWidget* owner = nullptr);

  // A kind outside 0 ... 2 keeps the stored kind; the unit text is taken anyway.
  void SetCoordType(int kind, const QString& units);
  int GetCoordKind() const { return coordKind; }
  // Shows the position and clears the edited flag.
  void SetPosition(double x, double y);
  // The position shown. A coordinate whose edits the user has not touched
  // since SetPosition comes back exactly as it was given, so applying a frame
  // never moves a position through its one-decimal text.
  void GetPosition(double& x, double& y) const;
  void SetMultiple(bool multiple);
  bool IsMultiple() const { return multiple; }
  // Set by any user edit, cleared by SetPosition; hosts write the position only
  // when it is set or when they edit a single object.
  bool IsEdited() const { return edited; }
  bool IsCaptionGreyed() const;
  void SetGroupCaption(const QString& caption);

  QGroupBox* GroupBox = nullptr;
  QComboBox* Etype = nullptr;
  QStackedWidget* PageControl = nullptr;
  QWidget* TSdec = nullptr;
  QWidget* TSrect = nullptr;
  QWidget* TSgeo = nullptr;
  QLineEdit* Ey = nullptr;
  QLabel* LEy = nullptr;
  QComboBox* CBvd = nullptr;
  QLineEdit* Ex = nullptr;
  QLabel* LEx = nullptr;
  QComboBox* CBgd = nullptr;
  QLineEdit* Exx = nullptr;
  QLineEdit* Eyy = nullptr;
  QLineEdit* Eshg = nullptr;
  QLineEdit* Eshm = nullptr;
  QLineEdit* Eshs = nullptr;
  QComboBox* CBSHNS = nullptr;
  QLineEdit* Edg = nullptr;
  QLineEdit* Edm = nullptr;
  QLineEdit* Eds = nullptr;
  QComboBox* CBDEW = nullptr;

public slots:
  void CoordChange();

private:
  enum TAxis { AxisX, AxisY };
  void BuildDesign();
  QWidget* BuildRelativePage();
  QWidget* BuildRectangularPage();
  QWidget* BuildGeographicPage();
  void WatchEdit(QLineEdit* edit, TAxis axis);
  void WatchCombo(QComboBox* combo, TAxis axis);
  void AxisEdited(TAxis axis);
  void ShowCaptionGreyed(bool greyed);
  double ReadX() const;
  double ReadY() const;

  bool selectorShown = false;
  int coordKind = KindRelative;
  bool multiple = false;
  bool edited = false;
  // The position given to SetPosition, and which of its coordinates the user
  // has edited since.
  bool hasGivenPosition = false;
  double givenX = 0;
  double givenY = 0;
  bool editedX = false;
  bool editedY = false;
  bool filling = false;
  bool captionGreyed = false;
};
