#include "Lock.h"

TProcessLock& ProcessLock() {
  static TProcessLock lock;
  return lock;
}
