// The updater's one owner of kernel handles (files, folders, pipes, processes,
// threads): closed when it goes out of scope, movable, never copied. A failed
// open (INVALID_HANDLE_VALUE) is kept as null, so there is one "nothing open"
// value whichever API made the handle.
#pragma once

#include "core/UniqueHandle.h"

using KernelHandle = Facet::UniqueKernelHandle;
