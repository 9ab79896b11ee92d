#include "catalogue/PackageList.h"

#include "catalogue/NameRules.h"
#include "catalogue/PackageRules.h"
#include "common/Dialogs.h"
#include "data/ClientDataSet.h"

namespace kavrin {

namespace {
const QString kName = QStringLiteral("Name_Paket");
const QString kCost = QStringLiteral("paket_cost");
}  // namespace

void PackageList::addPackage() {
    ds_.last();
    ds_.append();
    ds_.setValue(kName, newPackageName());
    for (int i = 1; i <= kWordCount; ++i) ds_.setValue(QString::fromLatin1(word_column(i)), 0);
    ds_.post();
    ds_.applyUpdates();
}

bool PackageList::deletePackage() {
    if (ds_.isEmpty()) return false;
    const QList<int> bound = subscribersBoundToPackage(ds_.value(QStringLiteral("Id")).toInt());
    if (!bound.isEmpty()) {
        showMessage(boundSubscribersMessage(bound));
        return false;
    }
    const Answer answer = Dialogs::current().question(
        QStringLiteral("Вы действительно хотите удалить этот пакет из базы данных?"), QStringLiteral("Внимание"),
        Buttons::YesNo, Icon::Warning);
    if (answer == Answer::No) return false;
    ds_.deleteRecord();
    ds_.applyUpdates();
    return true;
}

void PackageList::storeChanges() { ds_.applyUpdates(); }

QString PackageList::name() const { return ds_.value(kName).toString(); }

Mas64 PackageList::words() const {
    Mas64 words{};
    for (int s = 1; s <= kStreamsInUse; ++s) words[s] = ds_.value(QString::fromLatin1(word_column(s))).toInt();
    return words;
}

bool PackageList::save(const QString& name, const Mas64& words) {
    if (const auto error = packageNameError(name)) {
        showMessage(*error);
        return false;
    }
    ds_.edit();
    ds_.setValue(kName, name);
    for (int s = 1; s <= kStreamsInUse; ++s) ds_.setValue(QString::fromLatin1(word_column(s)), words[s]);
    ds_.post();
    return true;
}

void PackageList::setCost(int kopecks) {
    if (ds_.isEmpty() || ds_.value(kCost).toInt() == kopecks) return;
    ds_.setValue(kCost, kopecks);
}

}  // namespace kavrin
