// The stamped integer: one process-wide value with the monotonic time at which it was
// last set, so a reader can tell a fresh value from a stale one. Value 0 and no stamp
// at load.
#pragma once

// Stores the value, stamped with the monotonic clock.
void stamped_Set(int value);
int stamped_Get();
// The value when force is true or when it was set at most 5.0 seconds ago; otherwise 0.
int stamped_GetRecent(bool force);
