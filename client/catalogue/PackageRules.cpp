#include "catalogue/PackageRules.h"

#include "data/Sql.h"

#include <QStringList>

namespace kavrin {

QString newPackageName() { return QStringLiteral("Новый пакет"); }

QList<int> subscribersBoundToPackage(int packageId) {
    QList<int> ids;
    QSqlQuery q = execSql(QStringLiteral("select id from abons where flag_packet_prioritet=1 and id_selected_packet=?"),
                          {packageId});
    while (q.next()) ids << q.value(0).toInt();
    return ids;
}

QString boundSubscribersMessage(const QList<int>& subscribers) {
    QStringList ids;
    for (int id : subscribers) ids << QString::number(id);
    return QStringLiteral("Невозможно удалить пакет, к которому привязаны абоненты: ") + ids.join(QStringLiteral("; "));
}

}  // namespace kavrin
