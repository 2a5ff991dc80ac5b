#pragma once

// Lets pending window messages be processed during long work, at most every few milliseconds,
// so that a loop may call it once per item without paying for an event round each time.
void PumpEvents();
