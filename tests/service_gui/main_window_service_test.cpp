// The main window's "Setup" and "Readouts" buttons open their windows on the desktop's link,
// and the setup window's "Passwords" opens the passwords window over it.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "app/desktop_window.h"
#include "config_gui/window_fixture.h"
#include "service/passwords_window.h"
#include "service/readouts_window.h"
#include "service/setup_window.h"

namespace qdx::test {
namespace {

class MainWindowServiceTest : public ::testing::Test {
 protected:
  TForm1& Start() {
    session_.programDir = dir_.path();
    desktop_ = std::make_unique<Desktop>(session_, dialogs_, progress_, clock_,
                                         std::make_unique<EmulatorPort>(emulator_, clock_),
                                         StartupArguments{});
    desktop_->window().show();
    QCoreApplication::processEvents();
    desktop_->window().EnableEditors(true);
    return desktop_->window();
  }

  // Runs act on the window of type W once it is open and ready, then closes it.
  template <typename W>
  static void OnModal(
      std::function<void(W&)> act, bool* seen,
      std::function<bool(W&)> ready = [](W&) { return true; }) {
    QTimer::singleShot(10, [act, seen, ready] {
      W* w = nullptr;
      for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* candidate = qobject_cast<W*>(top); candidate && candidate->isVisible()) {
          w = candidate;
        }
      }
      if (!w || !ready(*w)) return OnModal(act, seen, ready);
      *seen = true;
      act(*w);
      w->reject();
    });
  }

  QTemporaryDir dir_;
  TestClock clock_;
  Emulator emulator_{clock_};
  ScriptedDialogs dialogs_;
  FakeProgress progress_;
  Session session_;
  std::unique_ptr<Desktop> desktop_;
};

TEST_F(MainWindowServiceTest, ReadoutsOnlyWithTheModuleAndTheirValuesFromIt) {
  TForm1& w = Start();
  w.moduleCheck()->setChecked(false);
  EXPECT_FALSE(w.editorButton(Editor::Readouts)->isVisible());
  w.moduleCheck()->setChecked(true);
  ASSERT_TRUE(w.editorButton(Editor::Readouts)->isVisible());
  bool seen = false;
  OnModal<ReadoutsWindow>(
      [](ReadoutsWindow& r) {
        EXPECT_EQ(r.versionLine()->text(), "Program version:  900");
        r.Tick();
        EXPECT_EQ(r.box(2)->text(), "    72.5");
      },
      &seen, [](ReadoutsWindow& r) { return r.timer().isActive(); });
  w.editorButton(Editor::Readouts)->click();
  EXPECT_TRUE(seen);
}

TEST_F(MainWindowServiceTest, SetupOpensThePasswordsWindow) {
  TForm1& w = Start();
  bool setupSeen = false;
  bool passwordsSeen = false;
  OnModal<SetupWindow>(
      [&passwordsSeen](SetupWindow& s) {
        ASSERT_TRUE(s.passwordsButton()->isEnabled());
        OnModal<PasswordsWindow>([](PasswordsWindow&) {}, &passwordsSeen);
        s.passwordsButton()->click();
      },
      &setupSeen);
  w.editorButton(Editor::Setup)->click();
  EXPECT_TRUE(setupSeen);
  EXPECT_TRUE(passwordsSeen);
}

}  // namespace
}  // namespace qdx::test
