#include "acoustics/Optimizer.h"

void OptimizeEnclosure(HWND) {}  // placeholder until the optimiser lands
