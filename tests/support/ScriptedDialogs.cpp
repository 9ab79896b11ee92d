#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace kavrin::test {

ScriptedDialogs::ScriptedDialogs() : previous_(&Dialogs::current()) { Dialogs::install(this); }

ScriptedDialogs::~ScriptedDialogs() { Dialogs::install(previous_ == this ? nullptr : previous_); }

QStringList ScriptedDialogs::messages() const {
    QStringList out;
    for (const auto& c : calls_)
        if (c.kind == DialogCall::Message) out << c.text;
    return out;
}

QStringList ScriptedDialogs::texts() const {
    QStringList out;
    for (const auto& c : calls_) out << c.text;
    return out;
}

void ScriptedDialogs::message(const QString& text, const QString& caption, Icon icon) {
    calls_.push_back({DialogCall::Message, caption, text, icon, Buttons::Ok});
}

Answer ScriptedDialogs::question(const QString& text, const QString& caption, Buttons buttons, Icon icon) {
    calls_.push_back({DialogCall::Question, caption, text, icon, buttons});
    if (answers_.empty()) return Answer::Yes;
    Scripted next = answers_.front();
    answers_.pop_front();
    if (auto* a = std::get_if<Answer>(&next)) return *a;
    ADD_FAILURE() << "question \"" << text.toStdString() << "\" met a scripted answer of another kind";
    return Answer::Cancel;
}

std::optional<QString> ScriptedDialogs::inputBox(const QString& caption, const QString& prompt, const QString&) {
    calls_.push_back({DialogCall::Input, caption, prompt, Icon::None, Buttons::Ok});
    if (answers_.empty()) return std::nullopt;
    Scripted next = answers_.front();
    answers_.pop_front();
    if (auto* s = std::get_if<std::optional<QString>>(&next)) return *s;
    ADD_FAILURE() << "input box \"" << prompt.toStdString() << "\" met a scripted answer of another kind";
    return std::nullopt;
}

QString ScriptedDialogs::openFile(const QString& title, const QString&) {
    calls_.push_back({DialogCall::OpenFile, QString(), title, Icon::None, Buttons::Ok});
    if (answers_.empty()) return {};
    Scripted next = answers_.front();
    answers_.pop_front();
    if (auto* s = std::get_if<QString>(&next)) return *s;
    ADD_FAILURE() << "file dialog \"" << title.toStdString() << "\" met a scripted answer of another kind";
    return {};
}

}  // namespace kavrin::test
