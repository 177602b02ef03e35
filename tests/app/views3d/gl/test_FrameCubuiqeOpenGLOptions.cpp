// "openGL ..." and "Положение ..." of the cube frame's options menu: the
// OpenGL options dialog (drawing kind, light, light position, perspective),
// whose track bars show at once and stay after Cancel, and the
// box position dialog.
#include "GLTestSupport.h"

#include "views3d/FormCubeStatement.h"
#include "views3d/FormOpenGLOptions.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

#include <cmath>
#include <vector>

namespace {

// A blue box body whose front face looks at the viewer, lit by the frame's light.
void ShowBlueBox(TFmCubuiqe& frame)
{
  CubeViewBody box;
  box.kind = CubeBodyBox;
  box.colour = 0xFF0000;
  box.x1 = -0.5, box.y1 = -0.2, box.z1 = -0.5;
  box.x2 = 0.5, box.y2 = 0.2, box.z2 = 0.5;
  frame.SetBodies(&box, 1);
  frame.Redraw();
}

class CubeFrameOpenGLOptions : public CubeFrameTest {
protected:
  TFOpenGLOptions* Open()
  {
    QAction* item = frame.MenuItem(QStringLiteral("PMIopenGL"));
    EXPECT_TRUE(item->isEnabled());
    calls.dialogs.clear();
    item->trigger();
    EXPECT_EQ(calls.dialogs.size(), 1u);
    auto* dialog = qobject_cast<TFOpenGLOptions*>(calls.dialogs.back());
    EXPECT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Frame, &frame);
    dialog->FormActivate();
    return dialog;
  }

  // Above the middle: the horizontal section through the centre shows as a line there.
  QRgb BoxPixel() { return frame.PictureImage().pixel(PixelOf(0, -0.2, 0.25)); }

  // Every setting the dialog may change, for comparing the frame before and after.
  std::vector<double> Settings() const
  {
    return {double(frame.UseGL), double(frame.GLIntoBitmap), double(frame.Smoothing), double(frame.Lighting),
            double(frame.TwoSidedLight), double(frame.LightMovesWithObject), frame.AmbientLight, frame.DiffuseLight,
            frame.SpecularLight, frame.Shininess, frame.LightPosition[0], frame.LightPosition[1],
            frame.LightPosition[2], frame.LightPosition[3], frame.CameraDistance};
  }
};

TEST_F(CubeFrameOpenGLOptions, ShowsTheFrameSettings)
{
  const struct {
    bool useGL, intoBitmap;
    int kind;
  } kinds[] = {{false, true, 0}, {false, false, 0}, {true, false, 1}, {true, true, 2}};
  frame.Smoothing = true;
  frame.Lighting = false;
  frame.TwoSidedLight = 0;
  frame.LightMovesWithObject = false;
  frame.AmbientLight = 0.29; // 100 times it is just below 29
  frame.DiffuseLight = 0.5;
  frame.SpecularLight = 0.07;
  frame.Shininess = 64;
  // θ = 30°, φ = 60°, r = 10.
  frame.LightPosition[0] = 10 * std::sin(M_PI / 6) * std::sin(M_PI / 3);
  frame.LightPosition[1] = -10 * std::sin(M_PI / 6) * std::cos(M_PI / 3);
  frame.LightPosition[2] = 10 * std::cos(M_PI / 6);
  frame.SetCameraDistance(9);
  for (const auto& k : kinds) {
    frame.UseGL = k.useGL;
    frame.GLIntoBitmap = k.intoBitmap;
    TFOpenGLOptions* dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Настройки openGL"));
    EXPECT_EQ(dialog->CBglType->currentIndex(), k.kind);
    EXPECT_EQ(dialog->CBglType->currentText(),
              QString::fromUtf8(k.kind == 0 ? "не использовать openGL"
                                            : (k.kind == 1 ? "openGL видеокарты" : "openGL через память")));
  }
  TFOpenGLOptions* dialog = calls.dialogs.empty() ? nullptr : static_cast<TFOpenGLOptions*>(calls.dialogs.back());
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->CBsmooth->isChecked());
  EXPECT_FALSE(dialog->CBlight->isChecked());
  EXPECT_FALSE(dialog->CBlightFB->isChecked());
  EXPECT_FALSE(dialog->CBlightrotate->isChecked());
  EXPECT_EQ(dialog->TBambientlight->value(), 29);
  EXPECT_EQ(dialog->TBdiffuselight->value(), 50);
  EXPECT_EQ(dialog->TBspecularlight->value(), 7);
  EXPECT_EQ(dialog->TBlightshininess->value(), 64);
  EXPECT_EQ(dialog->Etheta->text(), QString("30"));
  EXPECT_EQ(dialog->Ephi->text(), QString("60"));
  EXPECT_EQ(dialog->Er->text(), QString("10"));
  EXPECT_EQ(dialog->TBtheta->value(), 30);
  EXPECT_EQ(dialog->TBphi->value(), 60);
  EXPECT_EQ(dialog->TBr->value(), 25);
  EXPECT_EQ(dialog->TBfar->value(), 23); // 10 ln 10
  // Just shown, nothing moved: every track bar's change is held back.
  EXPECT_EQ(frame.AmbientLight, 0.29);
}

TEST_F(CubeFrameOpenGLOptions, TrackBarsSetTheirValuesAtOnce)
{
  TFOpenGLOptions* dialog = Open();
  const struct {
    int r;
    const char* text;
  } radii[] = {{0, "1"}, {25, "10"}, {50, "100"}, {10, "2.51"}};
  for (const auto& c : radii) {
    dialog->TBr->setValue(c.r);
    EXPECT_EQ(dialog->Er->text(), QString(c.text)) << c.r;
    const double* p = frame.LightPosition;
    EXPECT_NEAR(std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), dialog->Er->text().toDouble(), 1e-9) << c.r;
  }
  dialog->TBtheta->setValue(90);
  dialog->TBphi->setValue(180);
  EXPECT_EQ(dialog->Etheta->text(), QString("90"));
  EXPECT_EQ(dialog->Ephi->text(), QString("180"));
  // (0, 0, r) turned by Rx(90°) and then by Rz(180°): behind the box.
  EXPECT_NEAR(frame.LightPosition[0], 0, 1e-9);
  EXPECT_NEAR(frame.LightPosition[1], 2.51, 1e-9);
  EXPECT_NEAR(frame.LightPosition[2], 0, 1e-9);
  EXPECT_EQ(frame.LightPosition[3], 1);

  const struct {
    int far;
    double distance;
  } fars[] = {{0, 1.9}, {20, std::exp(2.0) - 1}, {100, std::exp(10.0) - 1}};
  for (const auto& c : fars) {
    dialog->TBfar->setValue(c.far);
    EXPECT_NEAR(frame.CameraDistance, c.distance, 1e-9) << c.far;
  }
  dialog->TBambientlight->setValue(12);
  dialog->TBdiffuselight->setValue(34);
  dialog->TBspecularlight->setValue(56);
  dialog->TBlightshininess->setValue(78);
  EXPECT_DOUBLE_EQ(frame.AmbientLight, 0.12);
  EXPECT_DOUBLE_EQ(frame.DiffuseLight, 0.34);
  EXPECT_DOUBLE_EQ(frame.SpecularLight, 0.56);
  EXPECT_EQ(frame.Shininess, 78);
}

// The light reaches the picture; Cancel (or Esc) closes without taking back
// what the track bars or "Применить" applied.
TEST_F(CubeFrameOpenGLOptions, LightChangesThePictureAndCancelKeepsWhatWasApplied)
{
  REQUIRE_GL(frame);
  ShowBlueBox(frame);
  const std::vector<double> before = Settings();
  const QRgb lit = BoxPixel();
  EXPECT_GT(qBlue(lit), 2 * qRed(lit) + 20);

  TFOpenGLOptions* dialog = Open();
  const int ambient = dialog->TBambientlight->value();
  dialog->TBambientlight->setValue(100);
  const QRgb bright = BoxPixel();
  EXPECT_GT(qBlue(bright), qBlue(lit) + 20);
  const std::vector<double> brighter = Settings();
  EXPECT_NE(brighter, before);
  QTest::keyClick(dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_EQ(Settings(), brighter);
  EXPECT_EQ(BoxPixel(), bright);

  // The light put in front of the box, then behind it.
  dialog = Open();
  dialog->TBambientlight->setValue(ambient);
  EXPECT_EQ(BoxPixel(), lit);
  dialog->Etheta->setText("90");
  dialog->Ephi->setText("0");
  dialog->Er->setText("10");
  ASSERT_TRUE(dialog->BapplyClick());
  const QRgb front = BoxPixel();
  dialog->Ephi->setText("180");
  ASSERT_TRUE(dialog->BapplyClick());
  const QRgb back = BoxPixel();
  EXPECT_GT(qBlue(front), qBlue(back) + 40);

  // Without the light the box shows its own colour; a ticked box that was not
  // applied is dropped by Cancel.
  dialog->CBlight->setChecked(false);
  ASSERT_TRUE(dialog->BapplyClick());
  EXPECT_EQ(BoxPixel(), qRgb(0, 0, 255));
  const std::vector<double> applied = Settings();
  dialog->CBlight->setChecked(true);
  dialog->BcancelClick();
  EXPECT_EQ(Settings(), applied);
  EXPECT_EQ(BoxPixel(), qRgb(0, 0, 255));
}

// Opening and confirming moves nothing, though the dialog shows rounded numbers.
TEST_F(CubeFrameOpenGLOptions, ConfirmingUntouchedKeepsTheFrame)
{
  frame.AmbientLight = 0.29;
  frame.SetCameraDistance(5);
  const std::vector<double> before = Settings();
  TFOpenGLOptions* dialog = Open();
  QTest::keyClick(dialog, Qt::Key_Return);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(Settings(), before);
}

TEST_F(CubeFrameOpenGLOptions, TextThatIsNoNumberChangesNothing)
{
  for (const char* edit : {"Etheta", "Ephi", "Er"}) {
    const std::vector<double> before = Settings();
    calls.messages.clear();
    TFOpenGLOptions* dialog = Open();
    dialog->findChild<QLineEdit*>(QString::fromLatin1(edit))->setText("1o");
    dialog->CBlight->setChecked(false);
    dialog->CBglType->setCurrentIndex(0);
    // A track bar's change waits for a number, quietly.
    dialog->TBambientlight->setValue(77);
    EXPECT_EQ(Settings(), before) << edit;
    EXPECT_TRUE(calls.messages.empty()) << edit;
    dialog->setResult(QDialog::Rejected);
    dialog->BokClick();
    EXPECT_EQ(dialog->result(), QDialog::Rejected) << edit;
    ASSERT_EQ(calls.messages.size(), 1u) << edit;
    EXPECT_EQ(calls.messages[0].text, QString("'1o' is not a valid floating point value"));
    EXPECT_EQ(Settings(), before) << edit;
    dialog->BcancelClick();
  }
}

// The drawing kind: without OpenGL, on the window, into the bitmap; the
// software picture and both OpenGL pictures show the same red segment.
TEST_F(CubeFrameOpenGLOptions, KindSwitchesTheWayTheFrameDraws)
{
  REQUIRE_GL(frame);
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  // The software path draws only with a data set: one of missing values.
  const std::vector<double> missing(8, 1e300);
  double min = 0, max = 1;
  frame.SetData(missing.data(), 0, 2, 2, 2, 1, 1, 1, false, &min, &max, nullptr, nullptr);
  CubeViewSegment segment;
  segment.width = 3;
  segment.colour = 0x0000FF;
  segment.z1 = -0.5, segment.z2 = 0.5;
  frame.SetSegments(&segment, 1);
  const struct {
    int kind;
    bool useGL, context;
    int bottomUp;
  } cases[] = {{0, false, false, 0}, {1, true, true, 0}, {2, true, true, 1}, {1, true, true, 0}, {0, false, false, 0}};
  for (const auto& c : cases) {
    TFOpenGLOptions* dialog = Open();
    dialog->CBglType->setCurrentIndex(c.kind);
    QTest::mouseClick(dialog->Bok, Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    QTest::qWait(50);
    EXPECT_EQ(frame.UseGL, c.useGL) << c.kind;
    EXPECT_EQ(frame.GLIntoBitmap, c.kind == 2) << c.kind;
    EXPECT_EQ(frame.HasGLContext(), c.context) << c.kind;
    EXPECT_EQ(frame.Picture().bottomUp, c.bottomUp) << c.kind;
    const QImage picture = frame.PictureImage();
    const QRgb tree = picture.pixel(100, 92);
    EXPECT_GT(qRed(tree), 200) << c.kind;
    EXPECT_LT(qGreen(tree), 60) << c.kind;
    EXPECT_TRUE(IsWhite(picture.pixel(2, 2))) << c.kind;
    frame.UpdatePopupState();
    EXPECT_EQ(frame.MenuItem(QStringLiteral("PMIfillingDlg"))->isEnabled(), !c.useGL) << c.kind;
  }
  // A track bar applies the chosen kind at once too, and Cancel leaves it.
  TFOpenGLOptions* dialog = Open();
  dialog->CBglType->setCurrentIndex(2);
  dialog->TBambientlight->setValue(dialog->TBambientlight->value() + 1);
  EXPECT_EQ(frame.Picture().bottomUp, 1);
  dialog->BcancelClick();
  EXPECT_TRUE(frame.UseGL);
  EXPECT_TRUE(frame.GLIntoBitmap);
}

class CubeFrameStatement : public ::testing::Test {
protected:
  void SetUp() override
  {
    frame.UseGL = false;
    frame.resize(200, 200);
  }

  TEditingModalCalls calls;
  TModalCallsScope scope{calls};
  TFmCubuiqe frame;
};

TEST_F(CubeFrameStatement, PositionTurnsTheBoxAndShiftsThePicture)
{
  ASSERT_TRUE(frame.MenuItem(QStringLiteral("PMICubeStatement"))->isEnabled());
  frame.SetRotationAngles(-20 * M_PI / 180, 35 * M_PI / 180);
  frame.ShiftX = 12.4;
  frame.ShiftY = -7;
  const struct {
    const char *theta, *phi, *cx, *cy;
    int answer;
    double expectTheta, expectPhi, expectX, expectY;
    bool error;
  } cases[] = {
      {"-45", "120,5", "30", "-10", QDialog::Accepted, -45, 120.5, 30, -10, false},
      {"10", "10", "1", "1", QDialog::Rejected, -45, 120.5, 30, -10, false},
      {"10", "ten", "1", "1", QDialog::Accepted, -45, 120.5, 30, -10, true},
      {"0", "0", "2.5", "abc", QDialog::Accepted, 0, 0, 0, 0, false},
  };
  QStringList expectShown = {"-20", "35", "12", "-7"};
  for (const auto& c : cases) {
    QStringList shown;
    calls.edit = [&](QDialog* dialog) {
      auto* statement = static_cast<TFCubeStatement*>(dialog);
      shown = {statement->Etheta->text(), statement->Ephi->text(), statement->Ecx->text(), statement->Ecy->text()};
      statement->Etheta->setText(QString::fromUtf8(c.theta));
      statement->Ephi->setText(QString::fromUtf8(c.phi));
      statement->Ecx->setText(QString::fromUtf8(c.cx));
      statement->Ecy->setText(QString::fromUtf8(c.cy));
    };
    calls.messages.clear();
    calls.dialogAnswers.push_back(c.answer);
    frame.MenuItem(QStringLiteral("PMICubeStatement"))->trigger();
    EXPECT_EQ(shown, expectShown) << c.theta;
    EXPECT_EQ(calls.messages.size(), c.error ? 1u : 0u) << c.theta;
    double theta = 0, phi = 0;
    frame.GetRotationAngles(&theta, &phi);
    EXPECT_NEAR(theta * 180 / M_PI, c.expectTheta, 1e-9) << c.theta;
    EXPECT_NEAR(phi * 180 / M_PI, c.expectPhi, 1e-9) << c.theta;
    EXPECT_EQ(frame.ShiftX, c.expectX) << c.theta;
    EXPECT_EQ(frame.ShiftY, c.expectY) << c.theta;
    expectShown = {QString::number(c.expectTheta, 'g', 6), QString::number(c.expectPhi, 'g', 6),
                   QString::number(c.expectX), QString::number(c.expectY)};
  }
  auto* dialog = static_cast<TFCubeStatement*>(calls.dialogs.back());
  EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Положение области моделирования"));
}

} // namespace
