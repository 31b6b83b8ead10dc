#pragma once
// The process-wide re-entrant lock that batches of every archiver share.
#include <mutex>

class TProcessLock {
 public:
  void Enter() { FMutex.lock(); }
  void Leave() { FMutex.unlock(); }
  bool TryEnter() { return FMutex.try_lock(); }

 private:
  std::recursive_mutex FMutex;
};

TProcessLock& ProcessLock();

// Holds the process lock for a scope.
class TProcessLockGuard {
 public:
  TProcessLockGuard() { ProcessLock().Enter(); }
  ~TProcessLockGuard() { ProcessLock().Leave(); }
  TProcessLockGuard(const TProcessLockGuard&) = delete;
  TProcessLockGuard& operator=(const TProcessLockGuard&) = delete;
};
