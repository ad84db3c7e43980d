// Buffers of a whole book, filled at once (read, transcribed, written).
#pragma once

#include <cstddef>
#include <functional>
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

// Sizes s to n bytes and has `ecrit` write them from the pointer it is
// given, without writing them first: a book read into place is written once.
// `ecrit` returns how many it wrote (n at most); s keeps those, and the
// same number is returned. What `ecrit` throws leaves s empty, and is
// thrown again.
std::size_t ecritEnPlace(std::string& s, std::size_t n, const std::function<std::size_t(char*)>& ecrit);

}  // namespace dotavob
