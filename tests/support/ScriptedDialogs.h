#pragma once
// Dialogs for tests: every call is recorded with its texts, and answered from a queue.
// With the queue empty a question is answered Yes, an input box is cancelled and a file dialog is cancelled.
#include "common/Dialogs.h"

#include <QStringList>
#include <deque>
#include <variant>
#include <vector>

namespace kavrin::test {

struct DialogCall {
    enum Kind { Message, Question, Input, OpenFile } kind;
    QString caption;
    QString text;  // the message, question, prompt or title
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

class ScriptedDialogs : public Dialogs {
public:
    // Installs itself as the dialogs in use for its lifetime.
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // Answers, consumed in order by questions, input boxes and file dialogs.
    void answer(Answer a) { answers_.emplace_back(a); }
    void input(const QString& text) { answers_.emplace_back(std::optional<QString>(text)); }
    void cancelInput() { answers_.emplace_back(std::optional<QString>()); }
    void file(const QString& path) { answers_.emplace_back(path); }

    const std::vector<DialogCall>& calls() const { return calls_; }
    // The texts of the plain messages shown so far.
    QStringList messages() const;
    // All texts (messages, questions, prompts, titles) in order.
    QStringList texts() const;
    void clear() { calls_.clear(); answers_.clear(); }
    bool allAnswersUsed() const { return answers_.empty(); }

    void message(const QString& text, const QString& caption, Icon icon) override;
    Answer question(const QString& text, const QString& caption, Buttons buttons, Icon icon) override;
    std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& initial) override;
    QString openFile(const QString& title, const QString& filter) override;

private:
    using Scripted = std::variant<Answer, std::optional<QString>, QString>;
    std::deque<Scripted> answers_;
    std::vector<DialogCall> calls_;
    Dialogs* previous_ = nullptr;
};

}  // namespace kavrin::test
