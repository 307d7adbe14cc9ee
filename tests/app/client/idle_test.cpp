// The whole solo program (windows, own client and server in one process) sleeps while
// nothing happens: no timer at all without a game, and only the one-second clocks while
// a game waits for a move.
#include <QPushButton>

#include "app/social/gamestartform.h"
#include "testkit/timer_events.h"
#include "window_fixture.h"

namespace quorbit::apptest {
namespace {
using testsupport::TimerEvents;

class Idle : public SoloGame {};

TEST_F(Idle, NoTimerWakesTheProgramBeforeAGame) {
    TimerEvents timers;
    timers.during(300);  // what the login left to do
    const auto seen = timers.during(1000);
    EXPECT_EQ(TimerEvents::total(seen), 0) << TimerEvents::describe(seen);
}

TEST_F(Idle, AWaitingGameWakesOnlyForTheOneSecondClocks) {
    auto& dialog = program->gamestart();
    dialog.setPlaytoscore(10000);
    dialog.setTimeperturn(120);
    QTest::mouseClick(widget<QPushButton>("button_start"), Qt::LeftButton);
    QTest::mouseClick(dialog.findChild<QWidget*>("Image1"), Qt::LeftButton);
    const auto& s = chat().state();
    // Zubo may open the game; the own turn follows his word and the pause.
    ASSERT_TRUE(waitFor([&] { return s.whoseturn == s.myseat && s.boardletters[0][0] != 0; }, 25000));
    TimerEvents timers;
    const auto seen = timers.during(2500);
    EXPECT_GE(TimerEvents::total(seen), 2);  // the turn clock and its display run
    for (const auto& [receiver, r] : seen) EXPECT_LE(r.events, 3) << TimerEvents::describe(seen);
}

}  // namespace
}  // namespace quorbit::apptest
