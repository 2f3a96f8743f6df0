// The standard editing commands on the page's focused field, through the real clipboard.

#include "platform/gtk/GtkMainWindow.h"
#include "tests/e2e/gtk/WebViewFixture.h"

namespace qn::test {
namespace {

using EditingTest = WebViewTest;

TEST_F(EditingTest, CommandsActOnTheFocusedField) {
  show("/edit", page("<input id=a value=hello><script>a.focus()</script>"));
  ASSERT_TRUE(spinUntil([&] { return gtk_window_is_active(GtkMainWindow::mainWindow()); }));
  const auto value = [&] {
    view->evaluateJavaScript("report(a.value)");
    return nextMessage().value_or("(none)");
  };
  const auto run = [&](EditingCommand command) {
    view->executeEditingCommand(command);
    spinFor(0.2);
  };

  run(EditingCommand::SelectAll);
  run(EditingCommand::Cut);
  EXPECT_EQ(value(), "\"\"");
  run(EditingCommand::Paste);
  run(EditingCommand::Paste);
  EXPECT_EQ(value(), "\"hellohello\"");
  run(EditingCommand::Undo);
  EXPECT_EQ(value(), "\"hello\"");
  run(EditingCommand::Redo);
  EXPECT_EQ(value(), "\"hellohello\"");
  run(EditingCommand::SelectAll);
  run(EditingCommand::Copy);
  view->evaluateJavaScript("a.value = ''");
  run(EditingCommand::Paste);
  EXPECT_EQ(value(), "\"hellohello\"") << "Copy put the selection on the clipboard";
}

}  // namespace
}  // namespace qn::test
