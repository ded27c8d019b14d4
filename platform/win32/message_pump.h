#pragma once
// Draining the calling thread's pending events, so that a window stays
// responsive while a long call runs on its thread.

namespace win32 {

// Handles every event pending for the calling thread, then returns. Does
// nothing when no application object exists. May run any handler of the
// calling thread: the caller must expect re-entry.
void ProcessPendingMessages();

}  // namespace win32
