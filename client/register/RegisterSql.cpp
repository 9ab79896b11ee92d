#include "register/RegisterSql.h"

#include <QStringList>

namespace kavrin::sql {

namespace {

// "64_<from>,64_<from+1>,...,64_<to>," — the word columns, comma after each.
QString words(int from, int to) {
    QString s;
    for (int i = from; i <= to; ++i) s += QStringLiteral("64_%1,").arg(i);
    return s;
}

// The column list of a task insert, over two lines.
QString insertHead() {
    return QStringLiteral("insert into zadaniya (n_mesta,n_Rec,n_zadaniya,count_mest,") + words(1, 25) +
           QLatin1Char('\n') + words(26, 64) + QStringLiteral("balans)\n");
}

}  // namespace

QString taskColumns() {
    return QStringLiteral("n_mesta,n_Rec,n_zadaniya,count_mest,") + words(1, 64) + QStringLiteral("balans");
}

QString fullRecordFromSubscriber() {
    return insertHead() + QStringLiteral("select ?,?,1,?,") + words(1, 30) + QLatin1Char('\n') + words(31, 64) +
           QStringLiteral("money from abons where id=?");
}

QString fullRecordFromPackage() {
    return insertHead() + QStringLiteral("select ?,?,1,?,") + words(1, 30) + QLatin1Char('\n') + words(31, 64) +
           QStringLiteral("? from pakets where id=?");
}

QString allChannelsOffRecord() {
    return insertHead() + QStringLiteral("values (?,?,1,?") + QStringLiteral(",0").repeated(64) +
           QStringLiteral(",?)");
}

QString subscriberRecord() {
    QString w = words(1, 64);
    w.chop(1);
    return QStringLiteral("select flag_packet_prioritet, id_selected_packet, money, ") + w +
           QStringLiteral(" from abons where Id=?");
}

QString subscriberWords() {
    QString w = words(1, 64);
    return QStringLiteral("select Id,") + w + QStringLiteral("money from abons");
}

QString packageWords() {
    QString w = words(1, 64);
    w.chop(1);
    return QStringLiteral("select Id,") + w + QStringLiteral(" from pakets");
}

QString longestChannelNames() {
    QStringList parts;
    for (int j = 0; j < 16; ++j) parts << QStringLiteral("max(CHAR_LENGTH(kan_%1)) c_%1").arg(j);
    return QStringLiteral("select ") + parts.join(QStringLiteral(", ")) + QStringLiteral(" from kanals");
}

}  // namespace kavrin::sql
