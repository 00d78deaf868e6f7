// Exit-step decisions.
#include "config/core/exit_rules.h"

namespace exitrules {

ServiceAction ForAutoRunOn(bool unloadEventOpened, bool unloadEventSignalled) {
  if (!unloadEventOpened) return kStart;
  return unloadEventSignalled ? kWaitThenStart : kLeaveResident;
}

}  // namespace exitrules
