#include "common/Dialogs.h"

#include "common/QtDialogs.h"

namespace kavrin {
namespace {
Dialogs* installed = nullptr;
}

Dialogs& Dialogs::current() {
    static QtDialogs qtDialogs;
    return installed ? *installed : qtDialogs;
}

void Dialogs::install(Dialogs* dialogs) { installed = dialogs; }

void showMessage(const QString& text) { Dialogs::current().message(text); }

}  // namespace kavrin
