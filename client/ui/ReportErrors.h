#pragma once
#include "common/Dialogs.h"
#include "data/Sql.h"

namespace kavrin {

// Runs one step of a screen handler. A database error ends the step and reaches the user as a message, as any
// uncaught error of a handler does; returns false then, so the handler can stop.
template <typename F>
bool reportErrors(F&& step) {
    try {
        step();
        return true;
    } catch (const DatabaseError& e) {
        showMessage(e.text());
        return false;
    }
}

}  // namespace kavrin
