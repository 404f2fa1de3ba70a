// A large synthetic skin document for the markup benchmark.
#pragma once

#include <string>

namespace bench {

// A well-formed UTF-8 skin of about `targetBytes` bytes: one Window root holding
// nested vertical and horizontal layouts of controls with many attributes, entities,
// comments and some text content. The same seed gives the same document.
std::string GenerateSkin(size_t targetBytes, unsigned seed);

} // namespace bench
