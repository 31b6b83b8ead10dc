#include <gtest/gtest.h>

#include <thread>

#include "Lock.h"

namespace {

bool TakenByAnotherThread() {
  bool taken = false;
  std::thread([&] {
    taken = ProcessLock().TryEnter();
    if (taken) ProcessLock().Leave();
  }).join();
  return taken;
}

TEST(ProcessLock, IsOneReentrantLockForTheProcess) {
  EXPECT_EQ(&ProcessLock(), &ProcessLock());
  {
    TProcessLockGuard outer;
    // The holder may enter again, as nested batches do.
    ASSERT_TRUE(ProcessLock().TryEnter());
    { TProcessLockGuard inner; }
    ProcessLock().Leave();
    EXPECT_FALSE(TakenByAnotherThread());
  }
  EXPECT_TRUE(TakenByAnotherThread());
}

}  // namespace
