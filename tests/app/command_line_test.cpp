// The command line: "/D" for the trace, then the project file.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace qdx {
namespace {

TEST(StartupArgumentsTest, TraceSwitchAndProjectFile) {
  struct Case {
    QStringList arguments;
    bool trace;
    QString project;
  };
  const Case cases[] = {
      {{}, false, {}},
      {{"/D"}, true, {}},
      {{" /d "}, true, {}},
      {{"/D", "a.qd3"}, true, "a.qd3"},
      {{"a.qd3"}, false, "a.qd3"},
      {{"a.qd3", "/D"}, false, "a.qd3"},  // only the first argument switches the trace
      {{"/DX"}, false, "/DX"},
      {{"NEW.qdp"}, false, "NEW.qdp"},  // passed on unchanged
      {{" spaced name.qd3"}, false, " spaced name.qd3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join('|').toStdString());
    const StartupArguments parsed = ParseStartupArguments(c.arguments);
    EXPECT_EQ(parsed.trace, c.trace);
    EXPECT_EQ(parsed.projectFile, c.project);
  }
}

}  // namespace
}  // namespace qdx
