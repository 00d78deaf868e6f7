// Placeholder until the clock lands.
#include "lockscreen/clock.h"

void Clock_AnalogUpdate(void) {}
