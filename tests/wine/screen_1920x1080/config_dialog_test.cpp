// Tollwick on a 1920x1080 PC screen: a dialog centred in the work area.
#include <gtest/gtest.h>

#include "tests/wine/support/config_support.h"
#include "tests/wine/support/support.h"

namespace {

class ConfigDialog1920 : public wt::TollwickTest {};

TEST_F(ConfigDialog1920, DialogCentredInTheWorkArea) { wt::CheckConfigDialog(&t_); }

}  // namespace
