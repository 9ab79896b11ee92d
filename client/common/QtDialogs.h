#pragma once
#include "common/Dialogs.h"

namespace kavrin {

// The dialogs a user sees: modal Qt message boxes, input dialogs and file dialogs.
class QtDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& caption, Icon icon) override;
    Answer question(const QString& text, const QString& caption, Buttons buttons, Icon icon) override;
    std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& initial) override;
    QString openFile(const QString& title, const QString& filter) override;
};

}  // namespace kavrin
