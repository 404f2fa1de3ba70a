// The reader of attribute lists such as `name="value" other="value"`, shared
// by controls and by the window attributes of a skin.
#pragma once

#include <functional>

namespace Facet {

// Calls `apply` with each name and value of `list`, in order. Each pair is a
// name, '=', a value in double quotes, and pairs are separated by exactly one
// blank. Reading stops silently at the first pair that breaks this form (the
// pairs before it have been applied). A null list applies nothing.
void ForEachListedAttribute(const wchar_t* list,
                            const std::function<void(const wchar_t* name, const wchar_t* value)>& apply);

} // namespace Facet
