// The public API of the Facet UI framework: include this one header.
#pragma once

#include "core/DpiManager.h"
