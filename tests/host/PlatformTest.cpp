#include "host/classes/Platform.h"

#include <gtest/gtest.h>

namespace vantora::host {
namespace {

TEST(Platform, HeadlessMessageBoxRecordsAndAnswersFromItsScript) {
  auto* box = HeadlessMessageBoxInstalled();
  ASSERT_NE(box, nullptr);
  box->ClearHistory();
  EXPECT_EQ(MessageBox("first", "Title", MB_OK), IDOK);  // an empty script answers OK
  box->ScriptAnswer(IDNO);
  box->ScriptAnswer(IDCANCEL);
  EXPECT_EQ(MessageBox("second", "Q", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(MessageBox("third", "Q", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(MessageBox("fourth", "Q", MB_OK), IDOK);

  ASSERT_EQ(box->History().size(), 4u);
  EXPECT_EQ(box->History()[1].text, "second");
  EXPECT_EQ(box->History()[1].caption, "Q");
  EXPECT_EQ(box->History()[1].flags, MB_YESNO | MB_ICONQUESTION);
  box->ClearHistory();
  EXPECT_TRUE(box->History().empty());
}

TEST(Platform, ReplacingAServiceAndRestoringIt) {
  class AlwaysNo : public IMessageBoxService {
   public:
    int Show(const std::string&, const std::string&, std::uint32_t) override {
      ++calls;
      return IDNO;
    }
    int calls = 0;
  };
  auto replacement = std::make_unique<AlwaysNo>();
  AlwaysNo* installed = replacement.get();
  auto previous = SetMessageBoxService(std::move(replacement));
  EXPECT_EQ(HeadlessMessageBoxInstalled(), nullptr);
  EXPECT_EQ(MessageBox("x", "y", 0), IDNO);
  EXPECT_EQ(installed->calls, 1);

  SetMessageBoxService(nullptr);  // no service means the headless default
  ASSERT_NE(HeadlessMessageBoxInstalled(), nullptr);
  SetMessageBoxService(std::move(previous));
  ASSERT_NE(HeadlessMessageBoxInstalled(), nullptr);
}

TEST(Platform, BeepIsCounted) {
  auto* beep = HeadlessBeepInstalled();
  ASSERT_NE(beep, nullptr);
  beep->Reset();
  MessageBeep(0);
  MessageBeep(MB_ICONHAND);
  EXPECT_EQ(beep->Count(), 2);
  beep->Reset();
  EXPECT_EQ(beep->Count(), 0);
}

TEST(Platform, VirtualClockMovesOnlyWhenAdvanced) {
  auto previous = SetClockService(std::make_unique<VirtualClock>());
  VirtualClock* clock = VirtualClockInstalled();
  ASSERT_NE(clock, nullptr);
  EXPECT_EQ(GetTickCount(), 0u);
  EXPECT_EQ(GetTickCount(), 0u);
  clock->Advance(200);
  EXPECT_EQ(GetTickCount(), 200u);
  clock->Advance(0xFFFFFFFFu);  // wraps like the classic counter
  EXPECT_EQ(GetTickCount(), 199u);
  SetClockService(std::move(previous));
}

}  // namespace
}  // namespace vantora::host
