// The cube frame's popup menu and its commands.
#include "views3d/FrameCubuiqe.h"

#include "base/ColorRef.h"
#include "views3d/FormCubeStatement.h"
#include "views3d/FormCubuiqeFillOptions.h"
#include "views3d/FormCubuiqeIsoOptions.h"
#include "views3d/FormCubuiqeSecOrient.h"
#include "views3d/FormOpenGLOptions.h"
#include "views3d/DialogNumbers.h"

#include "base/ModalCalls.h"

#include <QLocale>
#include <QLineEdit>
#include <QMenu>

#include <cmath>

namespace {

QString NoDecimals(double v)
{
  return QString::number(v, 'f', 0);
}

} // namespace

QAction* TFmCubuiqe::AddItem(QMenu* menu, const char* name, const QString& caption, void (TFmCubuiqe::*handler)(),
                             bool checkable)
{
  QAction* item = menu->addAction(caption);
  item->setObjectName(QString::fromLatin1(name));
  item->setCheckable(checkable);
  if (handler)
    connect(item, &QAction::triggered, this, handler);
  items_[item->objectName()] = item;
  return item;
}

QMenu* TFmCubuiqe::AddSubmenu(QMenu* menu, const char* name, const QString& caption)
{
  QMenu* sub = menu->addMenu(caption);
  sub->setObjectName(QString::fromLatin1(name));
  sub->menuAction()->setObjectName(QString::fromLatin1(name));
  items_[sub->objectName()] = sub->menuAction();
  return sub;
}

QAction* TFmCubuiqe::MenuItem(const QString& name) const
{
  const auto it = items_.find(name);
  return it == items_.end() ? nullptr : it->second;
}

void TFmCubuiqe::BuildMenu()
{
  auto u = [](const char* text) { return QString::fromUtf8(text); };
  PMOptions = new QMenu(this);
  PMOptions->setObjectName(QStringLiteral("PMOptions"));

  QMenu* motion = AddSubmenu(PMOptions, "PMIMotion", u("Действие"));
  QMenu* rotation = AddSubmenu(motion, "PMIRotation", u("Вращение"));
  AddItem(rotation, "PMIrot_cube_secs", u("Объекта и счений"), &TFmCubuiqe::RotateCubeSecsMode, true);
  AddItem(rotation, "PMIrot_secs", u("Сечений"), &TFmCubuiqe::RotateSecsMode, true);
  AddItem(rotation, "PMIrot_cube", u("Объекта"), &TFmCubuiqe::RotateCubeMode, true);
  QMenu* moving = AddSubmenu(motion, "PMIMoving", u("Перемещение"));
  AddItem(moving, "PMIshift_cube", u("Объекта и счений"), &TFmCubuiqe::ShiftCubeMode, true);
  AddItem(moving, "PMIshift_sec", u("Сечения"), &TFmCubuiqe::ShiftSecMode, true);
  AddItem(motion, "PMIScaling", u("Масштаб"), &TFmCubuiqe::ScaleMode, true);
  AddItem(motion, "PMIInspector", u("Инспектор"), &TFmCubuiqe::PMIInspectorClick, true);
  motion->addSeparator();
  AddItem(motion, "PMIcont", u("Непрерывное"), &TFmCubuiqe::ContinuousMotion, true);

  QMenu* sections = AddSubmenu(PMOptions, "PMIsections", u("Сечения"));
  PMIselected = AddSubmenu(sections, "PMIselected", u("Текущее"));
  sections->addSeparator();
  QMenu* place = AddSubmenu(sections, "N3", u("Положение"));
  AddItem(place, "PMIOrientVer", u("Вертикально"), &TFmCubuiqe::OrientVertical);
  AddItem(place, "PMIOrientHor", u("Горизонтально"), &TFmCubuiqe::OrientHorizontal);
  AddItem(place, "PMIOrientFront", u("Фронтально"), &TFmCubuiqe::OrientFrontal);
  AddItem(place, "PMIOrientation", u("Точно ..."), &TFmCubuiqe::Orientation);
  PMIOrientSection = AddSubmenu(sections, "PMIOrientSection", u("По сечению"));
  sections->addSeparator();
  AddItem(sections, "PMIadd", u("Добавить"), &TFmCubuiqe::AddSec);
  AddItem(sections, "PMIdelete", u("Удалить"), &TFmCubuiqe::DeleteSec);
  sections->addSeparator();
  QMenu* sectionOptions = AddSubmenu(sections, "PMISecOptions", u("Настройки"));
  sectionOptions->menuAction()->setVisible(false);
  AddItem(sectionOptions, "PMISecColor", u("Цвет"), &TFmCubuiqe::PMISecColorClick);
  AddItem(sectionOptions, "PMISecAlpha", u("Прозрачность"), &TFmCubuiqe::PMISecAlphaClick);

  QMenu* iso = AddSubmenu(PMOptions, "PMIIsosurfaces", u("Изоповерхности"));
  AddItem(iso, "PMIisosurfshow", u("Показывать"), &TFmCubuiqe::PMIisosurfshowClick, true);
  AddItem(iso, "PMIisosurfoptions", u("Настройки ..."), &TFmCubuiqe::PMIisosurfoptionsClick);

  QMenu* grid = AddSubmenu(PMOptions, "PMIGrid", u("Сетка"));
  const char* gridNames[] = {"PMIgrid_none", "PMIgrid_prs_wire", "PMIgrid_prs_surf", "PMIgrid_hor_wire",
                             "PMIgrid_hor_surf"};
  const char* gridCaptions[] = {"не отображать", "все плоскости - каркас", "все плоскости - поверхнисти",
                                "горизонт - каркас", "горизонт - поверхности"};
  for (int mode = 0; mode < 5; ++mode) {
    QAction* item = AddItem(grid, gridNames[mode], u(gridCaptions[mode]), nullptr, true);
    connect(item, &QAction::triggered, this, [this, mode] { GridDrawType(mode); });
  }
  PMIgrid_horisons = AddSubmenu(grid, "PMIgrid_horisons", u("горизонты"));

  QMenu* options = AddSubmenu(PMOptions, "PMIOptions", u("Настройки"));
  AddItem(options, "PMIfillingDlg", u("Заливка ..."), &TFmCubuiqe::PMIfillingDlgClick);
  QMenu* filling = AddSubmenu(options, "PMIfilling", u("Заливка"));
  filling->menuAction()->setVisible(false);
  AddItem(filling, "PMIsolid", u("Сплошная"), &TFmCubuiqe::SolidMode, true);
  AddItem(filling, "PMItrans", u("Прозрачная"), &TFmCubuiqe::TransMode, true);
  filling->addSeparator();
  AddItem(filling, "PMIRGB", u("RGB"), &TFmCubuiqe::RGBFill, true);
  AddItem(filling, "PMIHSV", u("HSV"), &TFmCubuiqe::HSVFill, true);
  AddItem(filling, "PMIHSVR", u("HSVR"), &TFmCubuiqe::HSVRFill, true);
  filling->addSeparator()->setObjectName(QStringLiteral("PMIcolortype"));
  AddItem(filling, "PMIcolor1", u("Цвет минимума ..."), &TFmCubuiqe::ColorMin);
  AddItem(filling, "PMIcolor2", u("Цвет максимума ..."), &TFmCubuiqe::ColorMax);
  AddItem(filling, "PMIalpha", u("Прозрачность ..."), &TFmCubuiqe::AlphaValue);
  filling->addSeparator();
  AddItem(filling, "PMIipolType1", u("Без интерполяции"), &TFmCubuiqe::SetIPolNone, true);
  AddItem(filling, "PMIipolType0", u("Билинейная"), &TFmCubuiqe::SetIPolBilinear, true);
  QMenu* proportions = AddSubmenu(options, "PMIAxesScale", u("Пропорции"));
  AddItem(proportions, "PMIAxesScaleReal", u("Реальные"), &TFmCubuiqe::AxesScaleReal);
  AddItem(proportions, "PMIAxesScale75", u("75 %"), &TFmCubuiqe::AxesScale75);
  AddItem(proportions, "PMIAxesScale50", u("50 %"), &TFmCubuiqe::AxesScale50);
  AddItem(proportions, "PMIAxesScale25", u("25 %"), &TFmCubuiqe::AxesScale25);
  AddItem(proportions, "PMIAxesScaleCube", u("Куб"), &TFmCubuiqe::AxesScaleCube);
  QMenu* scale = AddSubmenu(options, "PMIScale", u("Масштаб"));
  AddItem(scale, "PMIZoomIn", u("Увеличить"), &TFmCubuiqe::Zoom200);
  AddItem(scale, "PMIZoomOut", u("Уменьшить"), &TFmCubuiqe::Zoom50);
  AddItem(scale, "PMIZoomManual", u("Точно ..."), &TFmCubuiqe::ZoomManual);
  AddItem(options, "PMICubeStatement", u("Положение ..."), &TFmCubuiqe::PMICubeStatementClick);
  AddItem(options, "PMIopenGL", u("openGL ..."), &TFmCubuiqe::PMIopenGLClick);
  connect(PMOptions, &QMenu::aboutToShow, this, [this] { UpdatePopupState(); });
}

void TFmCubuiqe::UpdatePopupState()
{
  auto check = [this](const char* name, bool on) { MenuItem(QString::fromLatin1(name))->setChecked(on); };
  MenuItem(QStringLiteral("PMIfillingDlg"))->setEnabled(!UseGL);
  check("PMIrot_cube_secs", MouseAction == 0 && MotionMode == 0);
  check("PMIrot_secs", MouseAction == 0 && MotionMode == 1);
  check("PMIrot_cube", MouseAction == 0 && MotionMode == 2);
  check("PMIScaling", MouseAction == 1 && MotionMode == 0);
  check("PMIshift_sec", MouseAction == 1 && MotionMode == 1);
  check("PMIshift_cube", MouseAction == 1 && MotionMode == 2);
  check("PMIInspector", MouseAction == 2);
  check("PMIcont", Continuous);
  check("PMIsolid", FillMode == 1);
  check("PMItrans", FillMode == 2);
  check("PMIRGB", ColourScale == 0);
  check("PMIHSV", ColourScale == 1);
  check("PMIHSVR", ColourScale == 2);
  check("PMIipolType0", Interpolation == 0);
  check("PMIipolType1", Interpolation == 1);
  check("PMIisosurfshow", ShowIsosurfaces);
  const char* gridNames[] = {"PMIgrid_none", "PMIgrid_prs_wire", "PMIgrid_prs_surf", "PMIgrid_hor_wire",
                             "PMIgrid_hor_surf"};
  for (int mode = 0; mode < 5; ++mode)
    check(gridNames[mode], GridMode == mode);
  RebuildHorizonsMenu();
  RebuildSectionsMenu();
}

void TFmCubuiqe::AddChoiceItem(QMenu* menu, const QString& caption, int tag, int chosen, void (TCubeView::*choose)(int32_t))
{
  QAction* item = menu->addAction(caption);
  item->setData(tag);
  item->setCheckable(true);
  item->setChecked(tag == chosen);
  connect(item, &QAction::triggered, this, [this, tag, choose] { (this->*choose)(tag); });
}

void TFmCubuiqe::RebuildSectionsMenu()
{
  PMIselected->clear();
  AddChoiceItem(PMIselected, QString::fromUtf8("все"), -1, CurrentSection, &TCubeView::SetCurrentSection);
  for (int s = 0; s < SectionCount; ++s)
    AddChoiceItem(PMIselected, QString::number(s), s, CurrentSection, &TCubeView::SetCurrentSection);
}

void TFmCubuiqe::RebuildHorizonsMenu()
{
  PMIgrid_horisons->clear();
  if (!MeshSource)
    return;
  const TIrregularMesh* mesh = MeshSource->Mesh();
  AddChoiceItem(PMIgrid_horisons, QString::fromUtf8("все"), -1, Horizon, &TCubeView::SetHorizon);
  for (int h = 0; h < HorizonCount(); ++h) {
    const char* name = mesh && mesh->layerNames ? mesh->layerNames[h + 1] : nullptr;
    AddChoiceItem(PMIgrid_horisons, name ? QString::fromUtf8(name) : QString(), h, Horizon, &TCubeView::SetHorizon);
  }
}

void TFmCubuiqe::SectionPositionsChanged()
{
  PMIOrientSection->clear();
  for (size_t i = 0; i < SectionPositions.size(); ++i) {
    const int tag = static_cast<int>(i);
    QAction* item = PMIOrientSection->addAction(QString::fromUtf8(SectionPositions[i].name));
    item->setData(tag);
    connect(item, &QAction::triggered, this, [this, tag] { ApplySectionPosition(tag); });
  }
}

// ---- Commands ----

void TFmCubuiqe::SetModePair(int action, int mode)
{
  SetMouseAction(action);
  SetMotionMode(mode);
}

void TFmCubuiqe::RotateCubeSecsMode() { SetModePair(0, 0); }
void TFmCubuiqe::RotateSecsMode() { SetModePair(0, 1); }
void TFmCubuiqe::RotateCubeMode() { SetModePair(0, 2); }
void TFmCubuiqe::ScaleMode() { SetModePair(1, 0); }
void TFmCubuiqe::ShiftSecMode() { SetModePair(1, 1); }
void TFmCubuiqe::ShiftCubeMode() { SetModePair(1, 2); }
void TFmCubuiqe::PMIInspectorClick() { SetMouseAction(2); }
// The item's check mark has already flipped when the handler runs.
void TFmCubuiqe::ContinuousMotion() { SetContinuous(MenuItem(QStringLiteral("PMIcont"))->isChecked()); }

void TFmCubuiqe::AddSec()
{
  SetSectionCount(SectionCount + 1);
  CurrentSection = SectionCount - 1;
  RebuildSectionsMenu();
}

void TFmCubuiqe::DeleteSec()
{
  SetSectionCount(SectionCount - 1);
  RebuildSectionsMenu();
}

void TFmCubuiqe::OrientVertical()
{
  SetSectionAngles(CurrentSection, M_PI / 2, M_PI / 2);
  Redraw();
}

void TFmCubuiqe::OrientFrontal()
{
  SetSectionAngles(CurrentSection, M_PI / 2, 0);
  Redraw();
}

void TFmCubuiqe::OrientHorizontal()
{
  SetSectionAngles(CurrentSection, 0, 0);
  Redraw();
}

// The current section's exact turn and shift; with all sections selected the
// dialog starts at zeros and OK sets every section.
void TFmCubuiqe::Orientation()
{
  double theta = 0, phi = 0, shift = 0;
  GetSectionAngles(CurrentSection, &theta, &phi, &shift);
  TFCubuiqeSecOrient* dialog = FCubuiqeSecOrient();
  dialog->Etheta->setText(QString::number(theta * 180 / M_PI, 'f', 1));
  dialog->Ephi->setText(QString::number(phi * 180 / M_PI, 'f', 1));
  dialog->Eshift->setText(QString::number(shift, 'f', 4));
  if (ModalCalls().ExecDialog(dialog) != QDialog::Accepted)
    return;
  if (!AllNumbers(this, {dialog->Eshift, dialog->Ephi, dialog->Etheta}))
    return;
  SetSectionOrientation(CurrentSection, *NumberIn(dialog->Etheta->text()) * M_PI / 180,
                        *NumberIn(dialog->Ephi->text()) * M_PI / 180, *NumberIn(dialog->Eshift->text()));
  Redraw();
}

void TFmCubuiqe::PMISecColorClick()
{
  if (!SectionInUse(CurrentSection))
    return;
  const std::optional<QColor> colour = ModalCalls().ChooseColour(this, QColorOf(SectionColour[CurrentSection]));
  if (colour)
    SetSectionColour(CurrentSection, ColorRefOf(*colour));
  Redraw();
}

void TFmCubuiqe::PMISecAlphaClick()
{
  if (!SectionInUse(CurrentSection))
    return;
  const std::optional<double> percent =
      AskNumber(QString::fromUtf8("Прозрачность"), GetSectionTransparency(CurrentSection));
  if (!percent)
    return;
  SetSectionTransparency(CurrentSection, *percent);
  Redraw();
}

void TFmCubuiqe::PMIisosurfshowClick()
{
  ShowIsosurfaces = !ShowIsosurfaces;
  Redraw();
}

void TFmCubuiqe::PMIisosurfoptionsClick()
{
  TFCubuiqeIsoOptions* dialog = FCubuiqeIsoOptions();
  dialog->Frame = this;
  ModalCalls().ExecDialog(dialog);
}

void TFmCubuiqe::SolidMode() { SetFillMode(1); }
void TFmCubuiqe::TransMode() { SetFillMode(2); }
void TFmCubuiqe::RGBFill() { SetColourScale(0); }
void TFmCubuiqe::HSVFill() { SetColourScale(1); }
void TFmCubuiqe::HSVRFill() { SetColourScale(2); }

void TFmCubuiqe::ChooseColour(COLORREF* colour)
{
  const std::optional<QColor> chosen = ModalCalls().ChooseColour(this, QColorOf(*colour));
  if (!chosen)
    return;
  *colour = ColorRefOf(*chosen);
  SetColours(ColourMin, ColourMax);
}

void TFmCubuiqe::ColorMin() { ChooseColour(&ColourMin); }
void TFmCubuiqe::ColorMax() { ChooseColour(&ColourMax); }

void TFmCubuiqe::AlphaValue()
{
  const std::optional<double> percent = AskNumber(QString::fromUtf8("Прозрачность"), 100 - 100 * GetFillOpacity());
  if (percent)
    SetFillOpacity(1 - 0.01 * *percent);
}

void TFmCubuiqe::PMIfillingDlgClick()
{
  TFCubuiqeFillOptions* dialog = FCubuiqeFillOptions();
  dialog->Frame = this;
  ModalCalls().ExecDialog(dialog);
}

void TFmCubuiqe::PMIopenGLClick()
{
  TFOpenGLOptions* dialog = FOpenGLOptions();
  dialog->Frame = this;
  ModalCalls().ExecDialog(dialog);
}

// The box's turn and the picture's shift; a shift that is no whole number
// puts the picture back in the middle.
void TFmCubuiqe::PMICubeStatementClick()
{
  double theta = 0, phi = 0;
  GetRotationAngles(&theta, &phi);
  TFCubeStatement* dialog = FCubeStatement();
  dialog->Etheta->setText(QString::number(theta * 180 / M_PI, 'g', 6));
  dialog->Ephi->setText(QString::number(phi * 180 / M_PI, 'g', 6));
  dialog->Ecx->setText(QString::number(std::lround(ShiftX)));
  dialog->Ecy->setText(QString::number(std::lround(ShiftY)));
  if (ModalCalls().ExecDialog(dialog) != QDialog::Accepted)
    return;
  if (!AllNumbers(this, {dialog->Etheta, dialog->Ephi}))
    return;
  SetRotationAngles(*NumberIn(dialog->Etheta->text()) * M_PI / 180, *NumberIn(dialog->Ephi->text()) * M_PI / 180);
  auto whole = [](const QLineEdit* edit) {
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    return ok ? value : 0;
  };
  ShiftX = whole(dialog->Ecx);
  ShiftY = whole(dialog->Ecy);
  Redraw();
}

void TFmCubuiqe::SetIPolNone() { SetInterpolation(1); }
void TFmCubuiqe::SetIPolBilinear() { SetInterpolation(0); }
void TFmCubuiqe::AxesScaleReal() { SetAxesProportion(1.0); }
void TFmCubuiqe::AxesScale75() { SetAxesProportion(0.75); }
void TFmCubuiqe::AxesScale50() { SetAxesProportion(0.5); }
void TFmCubuiqe::AxesScale25() { SetAxesProportion(0.25); }
void TFmCubuiqe::AxesScaleCube() { SetAxesProportion(0); }
void TFmCubuiqe::Zoom200() { SetZoom(Zoom * 2); }
void TFmCubuiqe::Zoom50() { SetZoom(Zoom * 0.5); }

void TFmCubuiqe::ZoomManual()
{
  const std::optional<double> percent = AskNumber(QString::fromUtf8("Масштаб"), Zoom * 100);
  if (percent)
    SetZoom(0.01 * *percent);
}

void TFmCubuiqe::GridDrawType(int mode)
{
  GridMode = mode;
  Redraw();
}

// An input box with the prompt "значение, %"; Cancel gives the shown value
// back, text that is no number an error box and nothing.
std::optional<double> TFmCubuiqe::AskNumber(const QString& caption, double shown)
{
  const QString text = NoDecimals(shown);
  const QString answer = ModalCalls().InputBox(this, caption, QString::fromUtf8("значение, %"), text).value_or(text);
  QString normal = answer.trimmed();
  normal.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double value = QLocale::c().toDouble(normal, &ok);
  if (!ok || !std::isfinite(value)) {
    ShowNotANumber(this, answer);
    return std::nullopt;
  }
  return value;
}
