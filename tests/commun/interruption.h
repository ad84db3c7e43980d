#pragma once
// A save killed halfway through its write into the file itself, at the
// same point every time: in a process of its own (a child of the test),
// the next write(2) into the file writes half of its bytes, then the process
// is killed. POSIX systems only.
#include <string>

namespace interruption {

// Arms it for the file `chemin` (by its device and number, whatever name the
// write goes through).
void tueAuMilieuDeLEcriture(const std::string& chemin);

}  // namespace interruption
