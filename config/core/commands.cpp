// The commands table of the configuration window.
#include "config/core/commands.h"

#include "config/core/capture.h"
#include "config/core/controls.h"

namespace commands {

Decision Decide(uint16_t id, uint16_t code) {
  Decision d{kNothing, 0};
  int slot = capture::SlotOfCommand(id);
  if (slot != 0) return Decision{kArm, slot};
  switch (id) {
    case controls::kIdOk: d.action = kOk; break;
    case controls::kIdCancel: d.action = kCancel; break;
    case controls::kIdAnalog: d.action = kAnalog; break;
    case controls::kIdDigital: d.action = kDigital; break;
    case controls::kIdAutoRun: d.action = code == 0 ? kToggleAutoRun : kNothing; break;
    case controls::kIdOnAC: d.action = code == 0 ? kToggleOnAC : kNothing; break;
    case controls::kIdStartup: d.action = code == 0 ? kToggleStartup : kNothing; break;
    case controls::kIdDoubleClick: d.action = code == 0 ? kToggleDoubleClick : kNothing; break;
    default: break;
  }
  return d;
}

}  // namespace commands
