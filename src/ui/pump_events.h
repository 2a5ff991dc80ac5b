#pragma once

// Lets pending window messages be processed during long work, at most every few milliseconds,
// so that a loop may call it once per item without paying for an event round each time.
// Without `user_input` only painting, timers and the like are processed: for work that must not
// be re-entered (the list being filled), while the window still repaints.
void PumpEvents(bool user_input = true);
