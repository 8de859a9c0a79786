#pragma once

namespace zelk {

// Lets pending window messages run once, as a long operation must so that the program
// stays responsive. A quit request met here is put back for the main loop.
void DoEvents();

} // namespace zelk
