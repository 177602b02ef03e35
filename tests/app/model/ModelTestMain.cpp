#include <QCoreApplication>

#include <gtest/gtest.h>

// The model is woken through the Qt event loop, so the suite runs inside a
// QCoreApplication; no test blocks in exec().
int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
