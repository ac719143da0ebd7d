// Every numbered command, sent to the dispatcher that owns it with the
// most careless arguments a view could pass (zero counts, null pointers),
// in the places where the handlers take different paths: plain text with
// a selection, and the caret in a table cell. None may crash, and the
// document must still answer afterwards. Codes that are not commands
// answer 0 in every dispatcher.
#include "engine/wp_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "engine/wp_ctrl.h"
#include "wp_ctrl_fixture.h"

namespace doc_root_test {
namespace {

class WpCommandsCoverageTest : public WpCtrlFixture {
 protected:
  // One command with null pointers and `number` wherever the command
  // takes a number, through its own dispatcher.
  intptr_t SendCarelessly(int code, int number = 0) { return SendTo(code / 1000, code, number); }

  // A code with null pointers and `number` for the int argument, through
  // the dispatcher of `group`. Commands that take a pointer in the value
  // get null; the int argument is never a pointer except for the hit
  // test, and the display value except where it is a DC; both receive
  // null.
  intptr_t SendTo(int group, int code, int number = 0) {
    const bool pointer = code == WPC_HIT_TEST || code == WPC_PAINT_PAGE ||
                         code == WPC_BEGIN_PRINT || code == WPC_PRINT_PAGE;
    const int arg = pointer ? 0 : number;
    switch (group) {
      case 1:
        return engine.StyleCommand(code, nullptr, nullptr);
      case 2:
        return engine.DocumentCommand(code, arg, nullptr);
      case 3:
        return engine.EditCommand(code, arg, 0);
      case 4:
        return engine.DisplayCommand(code, arg, nullptr);
      case 5:
        return engine.FeedbackCommand(code, arg, nullptr);
      case 6:
        return engine.NotifyCommand(code, code == WPC_SET_NOTIFY_WINDOW ? 0 : arg);
      case 7:
        return engine.TableCommand(code, arg, 0);
      default:
        ADD_FAILURE() << "no dispatcher owns " << code;
        return 0;
    }
  }

  // In code order, but the two commands that start the document afresh
  // last, so that the rest meet the content the test set up.
  void SendEveryCommand(int number = 0) {
    std::vector<int> codes(kWpCommands.begin(), kWpCommands.end());
    std::stable_partition(codes.begin(), codes.end(), [](int code) {
      return code != WPC_NEW_DOCUMENT && code != WPC_CLEAR_DOCUMENT;
    });
    for (const int code : codes) {
      SCOPED_TRACE(code);
      SendCarelessly(code, number);
      // The window and mask may have been taken away by a careless 6001
      // or 6003; the rest of the walk still reports to the window.
      engine.NotifyCommand(WPC_SET_NOTIFY_WINDOW, window.handle());
      engine.NotifyCommand(WPC_SET_NOTIFY_MASK, -1);
    }
  }

  // The engine still edits and answers after the walk.
  void ExpectStillWorking() {
    EXPECT_EQ(engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr), kWpcOk);
    Type("xyz");
    EXPECT_EQ(DocumentText(), "xyz");
    EXPECT_EQ(engine.EditCommand(WPC_GET_PAGE_COUNT, 0, 0), 1);
    EXPECT_EQ(engine.IsEditRunning(), 0);
    EXPECT_EQ(engine.DisplayCommand(WPC_IS_PAINTING, 0, nullptr), 0);
  }
};

TEST_F(WpCommandsCoverageTest, TheTableListsEachCodeOnceInOrder) {
  EXPECT_TRUE(std::is_sorted(kWpCommands.begin(), kWpCommands.end()));
  EXPECT_EQ(std::set<int>(kWpCommands.begin(), kWpCommands.end()).size(), kWpCommands.size());
  for (const WpCommand code : kWpCommands) {
    EXPECT_GE(code / 1000, 1) << code;
    EXPECT_LE(code / 1000, 7) << code;
  }
}

TEST_F(WpCommandsCoverageTest, EveryCommandSurvivesNullArgumentsWithTextSelected) {
  Type("abcdefghij\x82\xA0\x82\xA2\r\nklm");
  engine.EditCommand(WPC_MOVE_EXTEND, kMovePrevChar, 1);
  ASSERT_EQ(engine.EditCommand(WPC_HAS_SELECTION, 0, 0), 1);
  SendEveryCommand();
  ExpectStillWorking();
}

TEST_F(WpCommandsCoverageTest, EveryCommandSurvivesNullArgumentsInATableCell) {
  Type("ab");
  ASSERT_NE(engine.TableCommand(WPC_CREATE_TABLE, 1, (2 << 16) | 2), 0);
  ASSERT_EQ(engine.TableCommand(WPC_GET_TABLE_COLUMNS, 0, 0), 2);
  Type("c");
  SendEveryCommand();
  ExpectStillWorking();
}

TEST_F(WpCommandsCoverageTest, EveryCommandSurvivesNumbersOutOfRange) {
  for (const int number : {-1, 0x7FFFFFFF, static_cast<int>(0x80000000u), 0x10001}) {
    SCOPED_TRACE(number);
    ASSERT_EQ(engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr), kWpcOk);
    Type("abc\r\ndef");
    ASSERT_NE(engine.TableCommand(WPC_CREATE_TABLE, 1, (1 << 16) | 2), 0);
    SendEveryCommand(number);
    engine.DisplayCommand(WPC_ENABLE_REDRAW, 1, nullptr);
    engine.FeedbackCommand(WPC_SET_SPEECH, 1, nullptr);
    engine.FeedbackCommand(WPC_SET_SOUND, 1, nullptr);
    ExpectStillWorking();
  }
}

TEST_F(WpCommandsCoverageTest, CodesOutsideTheTableAnswerZeroInEveryDispatcher) {
  const std::set<int> commands(kWpCommands.begin(), kWpCommands.end());
  Type("abc");
  for (int code = -1; code <= 8000; ++code) {
    if (commands.count(code) != 0) continue;
    ASSERT_EQ(engine.StyleCommand(code, nullptr, nullptr), 0) << code;
    ASSERT_EQ(engine.DocumentCommand(code, 0, nullptr), 0) << code;
    ASSERT_EQ(engine.EditCommand(code, 0, 0), 0) << code;
    ASSERT_EQ(engine.DisplayCommand(code, 0, nullptr), 0) << code;
    ASSERT_EQ(engine.FeedbackCommand(code, 0, nullptr), 0) << code;
    ASSERT_EQ(engine.NotifyCommand(code, 0), 0) << code;
    ASSERT_EQ(engine.TableCommand(code, 0, 0), 0) << code;
  }
  EXPECT_EQ(DocumentText(), "abc");
  EXPECT_EQ(engine.NotifyCommand(WPC_GET_NOTIFY_MASK, 0), -1);
}

TEST_F(WpCommandsCoverageTest, ACommandSentToAnotherGroupsDispatcherDoesNothing) {
  Type("abc");
  for (const WpCommand code : kWpCommands) {
    const int group = code / 1000;
    for (int owner = 1; owner <= 7; ++owner) {
      if (owner == group) continue;
      EXPECT_EQ(SendTo(owner, code), 0) << code << " sent to group " << owner;
    }
    engine.NotifyCommand(WPC_SET_NOTIFY_WINDOW, window.handle());
    engine.NotifyCommand(WPC_SET_NOTIFY_MASK, -1);
  }
  EXPECT_EQ(DocumentText(), "abc");
  EXPECT_EQ(engine.NotifyCommand(WPC_GET_NOTIFY_WINDOW, 0), static_cast<int>(window.handle()));
}

}  // namespace
}  // namespace doc_root_test
