#pragma once
// The package list and the package channel editor over the shared package dataset (`select * from pakets`):
// adding, deleting with the bound-subscriber check, and saving a package's name and channels.
#include "rights/EntitlementWords.h"

#include <QString>

namespace kavrin {

class ClientDataSet;

class PackageList {
public:
    explicit PackageList(ClientDataSet& packages) : ds_(packages) {}

    ClientDataSet& dataSet() const { return ds_; }

    // "Добавить пакет": appends "Новый пакет" with 64 zero words (the cost keeps its default) and stores it.
    void addPackage();
    // "Удалить пакет" for the current package: refused with a message while subscribers with package
    // priority are bound to it; otherwise asks and, unless the answer is No, deletes and stores. True when
    // the package was deleted.
    bool deletePackage();
    // After the channel editor closes: stores its save and any cost typed there.
    void storeChanges();

    // The current package as the channel editor shows it.
    QString name() const;
    Mas64 words() const;
    // The channel editor's save: name and words 1..62 into the current package, posted and stored when the
    // editor closes. A name longer than the column holds is refused with a message; returns false then and
    // changes nothing.
    bool save(const QString& name, const Mas64& words);
    // The cost spin edit writes through at every change.
    void setCost(int kopecks);

private:
    ClientDataSet& ds_;
};

}  // namespace kavrin
