#pragma once
// Every message box, question, input box and file dialog of the client goes through this seam, so that
// tests can answer them from a script and check their texts.
#include <QString>
#include <optional>

namespace kavrin {

enum class Icon { None, Information, Warning, Error, Question };
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A plain message with an OK button. An empty caption means the application's title.
    virtual void message(const QString& text, const QString& caption = {}, Icon icon = Icon::None) = 0;
    virtual Answer question(const QString& text, const QString& caption, Buttons buttons,
                            Icon icon = Icon::Warning) = 0;
    // nullopt when the user cancels.
    virtual std::optional<QString> inputBox(const QString& caption, const QString& prompt,
                                            const QString& initial = {}) = 0;
    // The chosen path, or an empty string when the user cancels.
    virtual QString openFile(const QString& title, const QString& filter = {}) = 0;

    // The dialogs in use; Qt's by default.
    static Dialogs& current();
    // Replaces the dialogs in use (tests); nullptr restores Qt's. The caller keeps ownership.
    static void install(Dialogs* dialogs);
};

// Shorthand for Dialogs::current().message(text).
void showMessage(const QString& text);

}  // namespace kavrin
