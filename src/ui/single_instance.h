#pragma once
// One zingel per user in a session: a second start hands over to the first
// and ends, so nothing is announced twice.

#include <windows.h>

#include "platform/scoped_handles.h"

namespace zingel {

class InstanceLock {
 public:
  // Claims this user's zingel in the session.
  InstanceLock();

  // Whether another zingel of the same user claimed it first.
  bool HeldElsewhere() const { return held_elsewhere_; }

 private:
  UniqueHandle mutex_;
  bool held_elsewhere_ = false;
};

// Asks the zingel that runs already to bring its window back.
void BringBackFirstInstance();

}  // namespace zingel
