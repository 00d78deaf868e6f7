// Tollwick on a 1366x768 PC screen: a dialog centred in the work area.
#include <gtest/gtest.h>

#include "tests/wine/support/config_support.h"
#include "tests/wine/support/support.h"

namespace {

class ConfigDialog1366 : public wt::TollwickTest {};

TEST_F(ConfigDialog1366, DialogCentredInTheWorkArea) { wt::CheckConfigDialog(&t_); }

}  // namespace
