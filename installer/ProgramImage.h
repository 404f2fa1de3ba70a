// Whether a file holds a whole Windows program, read from its own headers: what
// tells a body that arrived without a length (its end was only the connection's
// end) from one that was cut off.
#pragma once

#include <windows.h>

#include <cstdint>

// True when the `size` bytes of `file` (opened for reading) are a PE image whose
// headers and sections all lie inside them and, for a signed program, whose
// signature ends exactly at the end: a signed program cut anywhere is refused.
// Moves the file's position.
bool IsWholeProgramImage(HANDLE file, std::uint64_t size);
