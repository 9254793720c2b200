// The fake loop: virtual time, timers and posted tasks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/testing/FakeRuntime.h"

namespace tazu::net {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FakeLoopTest : public ::testing::Test {
 protected:
  // Milliseconds since the runtime started.
  long Elapsed() const { return static_cast<long>((runtime_.Now() - FakeRuntime::kStart).count()); }

  std::unique_ptr<Timer> NewTimer(const std::string& name) {
    auto timer = runtime_.CreateTimer();
    timer->onTimeout = [this, name] { log_.push_back(name + "@" + std::to_string(Elapsed())); };
    return timer;
  }

  FakeRuntime runtime_;
  std::vector<std::string> log_;
};

TEST_F(FakeLoopTest, TimersFireInDeadlineOrderWithTheClockAtEachDeadline) {
  EXPECT_EQ(runtime_.Now(), FakeRuntime::kStart);
  EXPECT_EQ(runtime_.WallNow(), FakeRuntime::kWallStart);
  auto late = NewTimer("late");
  auto first = NewTimer("first");
  auto second = NewTimer("second");
  auto tick = NewTimer("tick");
  auto now = NewTimer("now");
  late->Start(300ms, false);
  second->Start(100ms, false);
  first->Start(100ms, false);  // same deadline, started later: fires after
  tick->Start(110ms);
  now->Start(0ms, false);  // the next turn, not inside Start
  EXPECT_THAT(log_, IsEmpty());
  runtime_.RunPending();
  EXPECT_THAT(log_, ElementsAre("now@0"));
  runtime_.Advance(60ms);
  late->Start(300ms, false);  // starting again counts from now
  runtime_.Advance(1000ms - 60ms);
  tick->Stop();
  runtime_.Advance(1000ms);
  EXPECT_THAT(log_, ElementsAre("now@0", "second@100", "first@100", "tick@110", "tick@220",
                                "tick@330", "late@360", "tick@440", "tick@550", "tick@660",
                                "tick@770", "tick@880", "tick@990"));
  EXPECT_EQ(runtime_.WallNow(), FakeRuntime::kWallStart + 2000ms);
  EXPECT_EQ(runtime_.ActiveTimers(), 0u);
}

TEST_F(FakeLoopTest, TimerRestartedFromItsOwnCallback) {
  auto timer = runtime_.CreateTimer();
  std::vector<bool> activeInside;
  timer->onTimeout = [&] {
    log_.push_back(std::to_string(Elapsed()));
    activeInside.push_back(timer->IsActive());
    if (log_.size() == 1) {
      timer->Stop();
      timer->Start(250ms, false);  // repeating becomes single-shot, later
    } else if (log_.size() == 2) {
      timer->Start(50ms, false);  // a single shot starting itself again
    }
  };
  timer->Start(100ms);
  runtime_.Advance(2000ms);
  EXPECT_THAT(log_, ElementsAre("100", "350", "400"));
  // Repeating: active during its tick; single-shot: already done.
  EXPECT_THAT(activeInside, ElementsAre(true, false, false));
}

TEST_F(FakeLoopTest, TimerDestroyedWhileDueNeverFires) {
  auto doomed = NewTimer("doomed");
  auto killer = runtime_.CreateTimer();
  killer->onTimeout = [&] {
    log_.push_back("killer");
    doomed.reset();
  };
  killer->Start(100ms, false);
  doomed->Start(100ms, false);  // due at the same moment, after the killer
  runtime_.Advance(500ms);
  EXPECT_THAT(log_, ElementsAre("killer"));
}

TEST_F(FakeLoopTest, TimerMayDestroyItselfFromItsCallback) {
  auto timer = runtime_.CreateTimer();
  const std::string name(40, 'n');  // lives in the callback's captures
  timer->onTimeout = [&, name] {
    timer.reset();
    log_.push_back(name.substr(0, 1));
  };
  timer->Start(10ms);
  runtime_.Advance(100ms);
  EXPECT_THAT(log_, ElementsAre("n"));
}

TEST_F(FakeLoopTest, PostedTasksRunLaterInOrderWithTheTasksTheyPost) {
  runtime_.Post([&] {
    log_.push_back("a");
    runtime_.Post([&] { log_.push_back("c"); });
  });
  runtime_.Post([&] { log_.push_back("b"); });
  EXPECT_THAT(log_, IsEmpty());
  EXPECT_EQ(runtime_.PendingTasks(), 2u);
  runtime_.RunPending();
  EXPECT_THAT(log_, ElementsAre("a", "b", "c"));
  EXPECT_EQ(runtime_.PendingTasks(), 0u);
}

TEST_F(FakeLoopTest, TasksPostedByATimerRunBeforeTheNextTimer) {
  auto one = runtime_.CreateTimer();
  auto two = NewTimer("two");
  one->onTimeout = [&] {
    log_.push_back("one");
    runtime_.Post([&] { log_.push_back("task@" + std::to_string(Elapsed())); });
  };
  one->Start(10ms, false);
  two->Start(20ms, false);
  runtime_.Advance(30ms);
  EXPECT_THAT(log_, ElementsAre("one", "task@10", "two@20"));
}

TEST_F(FakeLoopTest, TaskThatKeepsPostingItselfFailsInsteadOfHanging) {
  std::function<void()> again = [&] { runtime_.Post(again); };
  runtime_.Post(again);
  EXPECT_THROW(runtime_.RunPending(), std::runtime_error);
}

}  // namespace
}  // namespace tazu::net
