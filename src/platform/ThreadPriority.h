#pragma once

namespace quellstone::platform {

// Lowers the calling thread to nice 10 and the idle I/O class, so that a
// scan yields the processor and the disk to whatever else runs. Threads it
// starts afterwards inherit both. False when either could not be set (the
// thread then keeps whatever did change).
bool LowerThreadPriority();

}  // namespace quellstone::platform
