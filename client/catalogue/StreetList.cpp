#include "catalogue/StreetList.h"

#include "catalogue/NameRules.h"
#include "common/Dialogs.h"
#include "data/ClientDataSet.h"
#include "data/Sql.h"

namespace kavrin {

namespace {
const QString kName = QStringLiteral("Name_Street");
}  // namespace

StreetList::StreetList(ClientDataSet& streetEditor, ClientDataSet& registerStreets)
    : ds_(streetEditor), registerStreets_(registerStreets) {
    // A name the column cannot hold stops the post with its message; the row stays in edit.
    ds_.beforePost = [](ClientDataSet& ds) {
        if (const auto error = streetNameError(ds.value(kName).toString())) throw DatabaseError(*error);
    };
    ds_.afterPost = [](ClientDataSet& ds) { ds.applyUpdates(); };
    ds_.afterDelete = [](ClientDataSet& ds) { ds.applyUpdates(); };
}

bool StreetList::addStreet() {
    const std::optional<QString> answer = Dialogs::current().inputBox(
        QStringLiteral("Добавление улицы"), QStringLiteral("Введите название новой улицы"), QString());
    const QString name = answer.value_or(QString()).trimmed();
    if (name.isEmpty()) return false;
    if (const auto error = streetNameError(name)) {
        showMessage(*error);
        return false;
    }
    ds_.last();
    ds_.append();
    ds_.setValue(kName, name);
    ds_.post();
    return true;
}

bool StreetList::deleteStreet() {
    if (ds_.isEmpty()) return false;
    const Answer answer = Dialogs::current().question(
        QStringLiteral("Вы действительно хотите удалить эту улицу из базы данных?"), QStringLiteral("Внимание"),
        Buttons::YesNo, Icon::Warning);
    if (answer == Answer::No) return false;
    ds_.deleteRecord();
    return true;
}

bool StreetList::close() {
    if (ds_.isOpen() && ds_.state() != ClientDataSet::State::Browse) {
        try {
            ds_.post();
        } catch (const DatabaseError& e) {
            showMessage(e.text());
            return false;
        }
    }
    registerStreets_.refresh();
    return true;
}

}  // namespace kavrin
