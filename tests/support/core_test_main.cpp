// Shared main of the core test programs: a QCoreApplication, so engines have an event loop to
// pump. The core is headless by construction: these programs link no widgets.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
