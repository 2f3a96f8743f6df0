#include <gtest/gtest.h>

#include "companion/SimCompanion_testing.h"

namespace qn {
namespace {

using test::SimCompanion;

struct OrphanTest : ::testing::Test {
  SimCompanion sim;
  std::shared_ptr<SimApplication> worker = sim.workspace.add(321, 77);
  // Seconds from end of input until the companion ends, or a negative number when it did not.
  double endAfterOrphan(double limit = 20) {
    const double start = sim.loop.now();
    sim.app->orphan();
    for (int step = 0; step < limit * 10 && !sim.terminated; ++step) sim.loop.advance(0.1);
    return sim.terminated ? sim.loop.now() - start : -1;
  }
};

TEST_F(OrphanTest, WorkerThatQuitsAtOnce) {
  sim.command(R"({"cmd":"init","pid":321})");
  EXPECT_NEAR(endAfterOrphan(), 0.5, 1e-6);
  EXPECT_EQ(worker->terminateCalls, 1);
  EXPECT_EQ(worker->forceCalls, 0);
}

TEST_F(OrphanTest, WorkerThatNeedsForce) {
  worker->quitsWhenAsked = false;
  sim.command(R"({"cmd":"init","pid":321})");
  sim.app->orphan();
  sim.loop.advance(3.9);
  EXPECT_EQ(worker->forceCalls, 0);
  sim.loop.advance(0.1);
  EXPECT_EQ(worker->forceCalls, 1) << "forced on the 8th tick, at 4 s";
  EXPECT_FALSE(sim.terminated);
  sim.loop.advance(0.5);
  EXPECT_TRUE(sim.terminated);
  EXPECT_NEAR(sim.loop.now(), 4.5, 1e-6);
}

TEST_F(OrphanTest, WorkerThatNeverGoes) {
  worker->quitsWhenAsked = false;
  worker->quitsWhenForced = false;
  sim.command(R"({"cmd":"init","pid":321})");
  EXPECT_NEAR(endAfterOrphan(), 7.5, 1e-6);
  EXPECT_EQ(worker->forceCalls, 1);
}

TEST_F(OrphanTest, QuitFirstLeavesWorkerUntouched) {
  sim.command(R"({"cmd":"init","pid":321})");
  sim.command(R"({"cmd":"quit"})");
  sim.terminated = false;
  EXPECT_NEAR(endAfterOrphan(), 0, 1e-9);
  EXPECT_EQ(worker->terminateCalls, 0);
}

TEST_F(OrphanTest, NoWorkerEndsAtOnce) {
  EXPECT_NEAR(endAfterOrphan(), 0, 1e-9);
  sim.terminated = false;
  sim.command(R"({"cmd":"init","pid":999})");
  EXPECT_NEAR(endAfterOrphan(), 0, 1e-9);
  EXPECT_EQ(worker->terminateCalls, 0);
}

TEST_F(OrphanTest, ReusedPidIsNotTheWorker) {
  sim.command(R"({"cmd":"init","pid":321})");
  // The worker ended and another program got its pid.
  const auto stranger = sim.workspace.add(321, 78);
  EXPECT_NEAR(endAfterOrphan(), 0, 1e-9);
  EXPECT_EQ(stranger->terminateCalls, 0);
  EXPECT_EQ(worker->terminateCalls, 0);
}

}  // namespace
}  // namespace qn
