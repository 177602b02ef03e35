#include "shell/ApplicationMain.h"

#include "base/FormArrayBuildProgress.h"
#include "gis/ArrayBuilder.h"
#include "gis/ArrayLabelFont.h"
#include "gis/FontconfigLabelFont.h"
#include "maps/FormArray3DData.h"
#include "maps/FormArrayData.h"
#include "maps/FormCoord.h"
#include "maps/FormGridInfo.h"
#include "maps/FormInspector.h"
#include "maps/FormNewGObj.h"
#include "maps/FormReper3DData.h"
#include "maps/FormSectionLoc.h"
#include "maps/FormSelectChar.h"
#include "maps/FormSetArrayDrawing.h"
#include "maps/FormVisibility.h"
#include "model/dialogs/FormCalcStatus.h"
#include "model/dialogs/FormElectrodes.h"
#include "model/dialogs/FormInhomogeneities.h"
#include "model/dialogs/FormModelArea.h"
#include "model/dialogs/FormParam.h"
#include "model/dialogs/FormParamStud.h"
#include "plots/series/FormDate.h"
#include "plots/series/FormDateShift.h"
#include "plots/series/FormDateTime.h"
#include "plots/series/FormMonthSelector.h"
#include "plots/series/FormSeriesDataView.h"
#include "plots/series/FormSeriesDataViewEx.h"
#include "plots/series/FormXDateTime.h"
#include "shell/BitModelWindowMaker.h"
#include "shell/FormCloneProject.h"
#include "shell/PlotWindowMakers.h"
#include "shell/ProgramIcon.h"
#include "shell/FormAbout.h"
#include "shell/FormFlash.h"
#include "shell/FormInfo.h"
#include "shell/FormOptions.h"
#include "shell/FormMain.h"
#include "shell/ProgramEditorFrames.h"
#include "shell/ProjectFileStore.h"
#include "shell/ViewMakers.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <clocale>

namespace {

// Deletes a form of the whole run and clears its variable.
template <class TForm>
void DestroyForm(TForm*& form)
{
  delete form;
  form = nullptr;
}

} // namespace

void PrepareApplication(QApplication& app)
{
  app.setOrganizationName("Orvalen");
  app.setApplicationName("Kestovar");
  // Windows without an icon of their own, the view windows among them, take this one.
  app.setWindowIcon(ProgramIcon());
  // Qt's own buttons ("Да", "Нет", "Отмена") speak Russian like the program.
  auto* translator = new QTranslator(&app);
  if (translator->load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(translator);
  // QApplication takes the user's locale for the C library: numbers must keep "." whatever it is.
  std::setlocale(LC_NUMERIC, "C");
  // Contour labels in the family that each array names, as installed here.
  SetLabelFontFileResolver(FontconfigLabelFontFile);
}

// What the forms of the run use, made after them and gone after them.
struct TProgram::TParts {
  TProgramEditorFrames editorFrames;
  TEditorFramesScope editorFramesInstalled{editorFrames};
  TBitModelWindowMaker modelMaker;
  TProjectFileStore projectFiles;
};

TProgram::TProgram(const QStringList& arguments)
{
  // The forms of the whole run, in their order; the main window comes first,
  // so that the splash can read its command-line flags.
  FMain = new TFMain(arguments);
  FCoord = new TFCoord();
  FNewGObj = new TFNewGObj();
  FSectionLoc = new TFSectionLoc();
  FVisibility = new TFVisibility();
  FFlash = new TFFlash(FMain);
  FSeriesDataView = new TFSeriesDataView();
  FXDateTime = new TFXDateTime();
  FAbout = new TFAbout(FMain);
  FDateTime = new TFDateTime();
  FParamStud = new TFParamStud();
  FInhomogeneities = new TFInhomogeneities();
  FInspector = new TFInspector();
  FModelArea = new TFModelArea();
  FCalcStatus = new TFCalcStatus();
  FSeriesDataViewEx = new TFSeriesDataViewEx();
  InstallSeriesDataViewer(FSeriesDataViewEx);
  FMonthSelector = new TFMonthSelector();
  FDateShift = new TFDateShift();
  FDate = new TFDate();
  FInfo = new TFInfo(FMain);
  FElectrodes = new TFElectrodes();
  FCloneProject = new TFCloneProject(FMain);
  FOptions = new TFOptions(FMain);
  FParam = new TFParam();
  // Every array build of the run reports to this window.
  FArrayBuildProgress = new TFArrayBuildProgress(FMain);
  SetArrayBuildProgress(FArrayBuildProgress);
  // The property frames and data windows of map objects, found by type code.
  parts = std::make_unique<TParts>();
  FMain->SetModelWindowMaker(&parts->modelMaker);
  RegisterViewMakers(parts->projectFiles.Views());
  RegisterPlotWindows(parts->projectFiles.Views());
  FMain->SetProjectFiles(&parts->projectFiles);
  FMain->SetViewFactory(&parts->projectFiles.Views());
}

TProgram::~TProgram()
{
  // The project goes first: its model and views may still use the dialogs.
  FMain->CloseProject();
  DestroyReper3DData();
  DestroyArray3DData();
  DestroyArrayData();
  DestroyGridInfo();
  DestroySetArrayDrawing();
  DestroySelectChar();
  SetArrayBuildProgress(nullptr);
  DestroyForm(FArrayBuildProgress);
  DestroyForm(FParam);
  DestroyForm(FCloneProject);
  DestroyForm(FOptions);
  DestroyForm(FElectrodes);
  DestroyForm(FInfo);
  DestroyForm(FDate);
  DestroyForm(FDateShift);
  DestroyForm(FMonthSelector);
  InstallSeriesDataViewer(nullptr);
  DestroyForm(FSeriesDataViewEx);
  DestroyForm(FCalcStatus);
  DestroyForm(FModelArea);
  DestroyForm(FInspector);
  DestroyForm(FInhomogeneities);
  DestroyForm(FParamStud);
  DestroyForm(FDateTime);
  DestroyForm(FAbout);
  DestroyForm(FXDateTime);
  DestroyForm(FSeriesDataView);
  DestroyForm(FFlash);
  DestroyForm(FVisibility);
  DestroyForm(FSectionLoc);
  DestroyForm(FNewGObj);
  DestroyForm(FCoord);
  DestroyForm(FMain);
}

int ApplicationMain(QApplication& app)
{
  TProgram program(app.arguments().mid(1));
  // The application does not show the main window: the splash does when it ends.
  FFlash->FormCreate(FMain->StartProjectFound(), FMain->StartRun());
  return app.exec();
}
