#include "app/CProgressModel.h"
#include "app/ProgressView.h"
#include "engine/UpgradeMessages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// A bar as the logic sees it: a range taken as two 16-bit halves and a position.
struct Bar
{
    int lower = 0;
    int upper = 100;
    int position = 0;
    bool IsEmpty() const { return position <= lower; }
};

// Keeps what the logic did to the window, and a log of every change in order.
class CFakeProgressView : public IProgressView
{
public:
    void SetOverallRange(int lower, int upper) override
    {
        SetRange(overall, lower, upper, "overall");
    }
    void DeltaOverallPos(int amount) override
    {
        overall.position += amount;
        Log("overall.delta " + std::to_string(amount));
    }
    void SetOverallPos(int position) override
    {
        overall.position = position;
        Log("overall.pos " + std::to_string(position));
    }
    void SetStepRange(int lower, int upper) override { SetRange(step, lower, upper, "step"); }
    void GetStepRange(int& lower, int& upper) override
    {
        lower = step.lower;
        upper = step.upper;
    }
    void DeltaStepPos(int amount) override
    {
        step.position += amount;
        Log("step.delta " + std::to_string(amount));
    }
    void SetStepPos(int position) override
    {
        step.position = position;
        Log("step.pos " + std::to_string(position));
    }
    void ShowTexts(const std::string& statusText, const std::string& noteText) override
    {
        status = statusText;
        note = noteText;
        Log("texts");
    }
    void StartTimer() override
    {
        timerRunning = true;
        Log("timer.start");
    }
    void StopTimer() override
    {
        timerRunning = false;
        Log("timer.stop");
    }
    void EnableCancel(bool enable) override
    {
        cancelEnabled = enable;
        Log(enable ? "cancel.enable" : "cancel.disable");
    }
    void ShowNormal() override { Log("show"); }
    void Repaint() override { Log("repaint"); }
    bool ConfirmCancel() override
    {
        Log("confirm");
        return answerYes;
    }

    Bar overall;
    Bar step;
    std::string status;
    std::string note;
    bool timerRunning = false;
    bool cancelEnabled = false;
    bool answerYes = false;
    std::vector<std::string> log;

private:
    void SetRange(Bar& bar, int lower, int upper, const std::string& name)
    {
        bar.lower = lower & 0xFFFF;
        bar.upper = upper & 0xFFFF;
        Log(name + ".range " + std::to_string(bar.lower) + ".." + std::to_string(bar.upper));
    }
    void Log(const std::string& entry) { log.push_back(entry); }
};

class ProgressModelTest : public ::testing::Test
{
protected:
    ProgressModelTest() : model(view)
    {
        model.PrepareBars();
        view.log.clear();
    }

    CProgressModel::Result Post(unsigned message, const char* text = nullptr, long amount = 0)
    {
        return model.Apply(message, text, amount);
    }

    CFakeProgressView view;
    CProgressModel model;
};

TEST_F(ProgressModelTest, PreparesBarsAsStartUpDoes)
{
    CFakeProgressView fresh;
    CProgressModel prepared(fresh);
    prepared.PrepareBars();
    EXPECT_EQ(fresh.log, (std::vector<std::string>{"overall.range 1..2400", "step.range 1..25",
                                                   "overall.delta 1"}));
}

class ShortTimedStepTest : public ProgressModelTest, public ::testing::WithParamInterface<long>
{
};

TEST_P(ShortTimedStepTest, RunsAsTwoSecondsOverRangeOneToThreeThenRestores)
{
    view.step.position = 7;
    ASSERT_EQ(Post(WM_UPGRADE_TIMED, "Copying", GetParam()), CProgressModel::Result::Applied);
    EXPECT_EQ(view.step.lower, 1);
    EXPECT_EQ(view.step.upper, 3);
    EXPECT_EQ(view.step.position, 7) << "starting a timed step leaves the position";
    EXPECT_TRUE(view.timerRunning);

    model.OnTimer();
    model.OnTimer();
    EXPECT_TRUE(view.timerRunning) << "two ticks of three";
    EXPECT_EQ(view.step.upper, 3);
    EXPECT_EQ(view.step.position, 9);

    model.OnTimer();
    EXPECT_FALSE(view.timerRunning);
    EXPECT_FALSE(model.IsTimerActive());
    EXPECT_EQ(view.step.lower, 1);
    EXPECT_EQ(view.step.upper, 25);
    EXPECT_EQ(view.step.position, 0);
    EXPECT_TRUE(view.step.IsEmpty());

    view.log.clear();
    model.OnTimer();
    EXPECT_TRUE(view.log.empty()) << "a tick after the end does nothing";
}

INSTANTIATE_TEST_SUITE_P(ZeroOneAndNegative, ShortTimedStepTest, ::testing::Values(0L, 1L, -5L));

TEST_F(ProgressModelTest, TimedStepOfNSecondsTicksNPlusOneTimes)
{
    Post(WM_UPGRADE_TIMED, nullptr, 5);
    EXPECT_EQ(view.step.upper, 6);
    for (int tick = 0; tick < 5; ++tick)
        model.OnTimer();
    EXPECT_TRUE(view.timerRunning);
    model.OnTimer();
    EXPECT_FALSE(view.timerRunning);
    EXPECT_EQ(view.step.upper, 25);
}

TEST_F(ProgressModelTest, TimedStepTextShowsAtTheFirstTick)
{
    view.status = "before";
    Post(WM_UPGRADE_TIMED, "Copying file corvane.sys to Corvane", 10);
    EXPECT_EQ(model.Status(), "Copying file corvane.sys to Corvane");
    EXPECT_EQ(view.status, "before") << "not refreshed when the step starts";
    model.OnTimer();
    EXPECT_EQ(view.status, "Copying file corvane.sys to Corvane");
}

TEST_F(ProgressModelTest, SecondTimedStepEndsTheFirstThenStartsAnew)
{
    Post(WM_UPGRADE_TIMED, nullptr, 10);
    model.OnTimer();
    view.log.clear();
    Post(WM_UPGRADE_TIMED, nullptr, 4);
    EXPECT_EQ(view.log, (std::vector<std::string>{"timer.stop", "step.range 1..25", "step.pos 0",
                                                  "texts", "step.range 1..5", "timer.start"}));
    EXPECT_EQ(model.TicksLeft(), 4);
    for (int tick = 0; tick < 5; ++tick)
        model.OnTimer();
    EXPECT_EQ(view.step.lower, 1);
    EXPECT_EQ(view.step.upper, 25) << "the range from before the first step comes back";
}

struct NotificationCase
{
    unsigned message;
    bool endsTimedStep;
};

class TimedStepEndTest : public ProgressModelTest,
                         public ::testing::WithParamInterface<NotificationCase>
{
};

TEST_P(TimedStepEndTest, EndsTheTimedStepOrLeavesIt)
{
    Post(WM_UPGRADE_TIMED, nullptr, 30);
    model.OnTimer();
    Post(GetParam().message, nullptr, 0);
    EXPECT_EQ(model.IsTimerActive(), !GetParam().endsTimedStep);
    if (GetParam().endsTimedStep)
    {
        EXPECT_EQ(view.step.upper, 25);
        EXPECT_EQ(view.step.position, 0);
        EXPECT_FALSE(view.timerRunning);
    }
    else
    {
        EXPECT_EQ(view.step.upper, 31);
        EXPECT_TRUE(view.timerRunning);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryNotification, TimedStepEndTest,
                         ::testing::Values(NotificationCase{WM_UPGRADE_STEP, true},
                                           NotificationCase{WM_UPGRADE_TICK, true},
                                           NotificationCase{WM_UPGRADE_TICK_RESET, true},
                                           NotificationCase{WM_UPGRADE_SHOW, false},
                                           NotificationCase{WM_UPGRADE_NEARLY_DONE, false},
                                           NotificationCase{WM_UPGRADE_UNASSIGNED, false}));

TEST_F(ProgressModelTest, StepWithTextReplacesStatusAndAdvancesOverallBar)
{
    Post(WM_UPGRADE_STEP, "Finding Corvane", 12);
    EXPECT_EQ(view.status, "Finding Corvane");
    EXPECT_EQ(view.overall.position, 13) << "start-up's 1 plus the step's 12";
    EXPECT_EQ(view.log, (std::vector<std::string>{"overall.delta 12", "texts"}));
}

TEST_F(ProgressModelTest, NotificationsWithoutTextLeaveTheStatusLine)
{
    Post(WM_UPGRADE_STEP, "Finding Corvane", 1);
    Post(WM_UPGRADE_STEP, nullptr, 3);
    Post(WM_UPGRADE_TICK, nullptr, 2);
    Post(WM_UPGRADE_TIMED, nullptr, 3);
    model.OnTimer();
    EXPECT_EQ(view.status, "Finding Corvane");
    EXPECT_EQ(view.overall.position, 5);
}

TEST_F(ProgressModelTest, TickAdvancesStepBarAndResetEmptiesIt)
{
    Post(WM_UPGRADE_TICK, "Receiving login data", 3);
    EXPECT_EQ(view.step.position, 3);
    EXPECT_EQ(view.status, "Receiving login data");
    Post(WM_UPGRADE_TICK_RESET);
    EXPECT_EQ(view.step.position, 0);
    EXPECT_EQ(view.log.back(), "texts");
}

TEST_F(ProgressModelTest, ShowEnablesCancelAndShowsTheWindow)
{
    Post(WM_UPGRADE_SHOW);
    EXPECT_EQ(view.log, (std::vector<std::string>{"cancel.enable", "show"}));
}

TEST_F(ProgressModelTest, NearlyDoneFillsOverallBarAndShowsAndPaints)
{
    Post(WM_UPGRADE_NEARLY_DONE);
    EXPECT_EQ(view.log, (std::vector<std::string>{"overall.pos 2399", "show", "repaint"}));
}

TEST_F(ProgressModelTest, UnassignedValueAndOtherMessagesHaveNoEffect)
{
    EXPECT_EQ(Post(WM_UPGRADE_UNASSIGNED, "text", 5), CProgressModel::Result::Ignored);
    EXPECT_EQ(Post(WM_UPGRADE_STEP - 1, "text", 5), CProgressModel::Result::Ignored);
    EXPECT_EQ(Post(WM_UPGRADE_NEARLY_DONE + 1, "text", 5), CProgressModel::Result::Ignored);
    EXPECT_TRUE(view.log.empty());
    EXPECT_EQ(model.Status(), "");
}

TEST_F(ProgressModelTest, DoneAndFailedCloseOnceAndNothingActsAfterwards)
{
    for (unsigned closing : {WM_UPGRADE_DONE, WM_UPGRADE_FAILED})
    {
        CFakeProgressView fresh;
        CProgressModel closed(fresh);
        closed.Apply(WM_UPGRADE_TIMED, nullptr, 5);
        fresh.log.clear();
        EXPECT_EQ(closed.Apply(closing, nullptr, 0), CProgressModel::Result::Close);
        EXPECT_TRUE(closed.IsClosed());
        for (unsigned message = WM_UPGRADE_STEP; message <= WM_UPGRADE_NEARLY_DONE; ++message)
            EXPECT_EQ(closed.Apply(message, "late", 9), CProgressModel::Result::Ignored);
        closed.OnTimer();
        fresh.answerYes = true;
        EXPECT_FALSE(closed.OnCancel());
        EXPECT_TRUE(fresh.log.empty()) << "the closed window is not touched";
    }
}

TEST_F(ProgressModelTest, CancelAnsweredNoChangesNothing)
{
    Post(WM_UPGRADE_SHOW);
    view.log.clear();
    view.answerYes = false;
    EXPECT_FALSE(model.OnCancel());
    EXPECT_EQ(view.log, (std::vector<std::string>{"confirm"}));
    EXPECT_TRUE(view.cancelEnabled);
    EXPECT_EQ(model.Note(), "");
}

TEST_F(ProgressModelTest, CancelAnsweredYesDisablesButtonAndNoteSaysCanceling)
{
    Post(WM_UPGRADE_SHOW);
    view.answerYes = true;
    EXPECT_TRUE(model.OnCancel());
    EXPECT_FALSE(view.cancelEnabled);
    model.ShowCancelling();
    EXPECT_EQ(view.note, "Canceling");
}
} // namespace
