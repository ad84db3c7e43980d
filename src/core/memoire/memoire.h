// Buffers of a whole book, filled at once (read, transcribed, written).
#pragma once

#include <cstddef>
#include <string>

namespace dotavob {

// Reserves room for n bytes in s. A buffer of a few megabytes then gets its
// memory from the system in one request, in large pages where the system
// gives them, instead of one fault per 4 KB page as it is first written:
// in a virtual machine those faults cost more than the writing itself.
// With `prete`, the memory is also asked for and zeroed now, on both cores;
// without, as it is first written (a buffer sized at once and read into:
// zeroing it ahead only adds a pass over it).
void reserveGrand(std::string& s, std::size_t n, bool prete = true);

}  // namespace dotavob
