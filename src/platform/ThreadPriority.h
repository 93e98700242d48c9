#pragma once

// Gives the calling thread the lowest priority it can have without starving: background work
// never takes the processor from the window thread, yet still ends on a busy machine.
void lowerThisThreadPriority();
