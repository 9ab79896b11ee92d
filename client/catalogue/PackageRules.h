#pragma once
// Packages: the name a new one gets, and who keeps one from being deleted.
#include <QList>
#include <QString>

namespace kavrin {

QString newPackageName();  // "Новый пакет"

// Subscribers that take their channels from the package (package priority on), in the order the
// database returns them.
QList<int> subscribersBoundToPackage(int packageId);

// The message refusing to delete a package those subscribers are bound to.
QString boundSubscribersMessage(const QList<int>& subscribers);

}  // namespace kavrin
