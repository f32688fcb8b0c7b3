#pragma once

// The in-place editor's rules for a value set by a scroll bar or up-down: what it
// accepts and its verdict on a typed text, from the value's scale and wording,
// both asked afresh each time (units and ranges change with the problem).

#include "toolkit/value_editor.h"

#include <functional>

namespace typed {
struct Scale;
struct Wording;
} // namespace typed

toolkit::ValueTyping typedEntry(const QString &name, const std::function<typed::Scale()> &scale,
                                const std::function<typed::Wording()> &wording);
