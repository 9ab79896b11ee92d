#include "catalogue/ScramblingTask.h"

#include "data/Sql.h"
#include "register/SlotMap.h"

#include <QStringList>

namespace kavrin {
namespace {

const QString kReadCodes = [] {
    QStringList columns{QStringLiteral("NStream")};
    for (int j = 0; j < kCodedChannels; ++j) columns << QStringLiteral("kod_%1").arg(j);
    return QStringLiteral("select %1 from kanals").arg(columns.join(QLatin1Char(',')));
}();

const QString kHighestStream = QStringLiteral("select max(NStream) from kanals");

const QString kInsertMapTask = [] {
    QStringList columns{QStringLiteral("n_mesta"), QStringLiteral("n_Rec"), QStringLiteral("n_zadaniya"),
                        QStringLiteral("count_mest")};
    QStringList values{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("?")};
    for (int i = 1; i <= ScramblingMap::kStreams; ++i) {
        columns << QStringLiteral("64_%1").arg(i);
        values << QStringLiteral("?");
    }
    columns << QStringLiteral("64_64");
    values << QStringLiteral("?");
    return QStringLiteral("insert into zadaniya (%1) values (%2)")
        .arg(columns.join(QLatin1Char(',')), values.join(QLatin1Char(',')));
}();

}  // namespace

std::vector<StreamCodes> readStreamCodes() {
    std::vector<StreamCodes> rows;
    QSqlQuery q = execSql(kReadCodes);
    while (q.next()) {
        StreamCodes row;
        row.stream = q.value(0).toInt();
        for (int j = 0; j < kCodedChannels; ++j) row.scrambled[j] = q.value(1 + j).toInt() == 1 ? 1 : 0;
        rows.push_back(row);
    }
    return rows;
}

void queueScramblingMap(const ScramblingMap& map) {
    QVariantList binds{slotmap::highest()};
    for (quint16 w : map.words) binds << int(w);
    binds << map.highestStream;
    execSql(kInsertMapTask, binds);
}

}  // namespace kavrin

namespace kavrin {

void queueEncodedMap() { queueScramblingMap(buildScramblingMap(readStreamCodes())); }

void queueClearedMap() { queueScramblingMap(clearScramblingMap(scalarSql(kHighestStream).toInt())); }

}  // namespace kavrin
