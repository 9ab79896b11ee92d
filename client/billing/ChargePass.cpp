#include "billing/ChargePass.h"

#include "billing/BillingSql.h"
#include "common/Clock.h"
#include "data/Sql.h"

#include <QSqlRecord>

namespace kavrin {
namespace {

// An integer column; an empty value counts as 0.
qint64 number(const QSqlQuery& q, int column) { return q.value(column).toLongLong(); }

void readWords(const QSqlQuery& q, int firstColumn, ChannelWords& words) {
    for (int r = 0; r < kBilledStreams; ++r) words[r] = static_cast<quint16>(q.value(firstColumn + r).toUInt());
}

}  // namespace

ChargeCatalogue zapolnit_matr_64x16_kanals() {
    ChargeCatalogue catalogue;
    QSqlQuery q = execSql(billing_sql::selectChannelTerms());
    while (q.next()) {
        qint64 stream = number(q, 0);
        if (stream < 1 || stream > kBilledStreams) continue;
        StreamTerms& terms = catalogue.streams[stream - 1];
        if (terms.exists) continue;  // the first row of a stream is the one that counts
        terms.exists = true;
        for (int j = 0; j < kPricedPositions; ++j) {
            if (number(q, 1 + j) == 1) terms.scrambledMask |= quint16(1u << j);
            terms.price[j] = static_cast<qint32>(number(q, 1 + kPricedPositions + j));
        }
    }
    return catalogue;
}

PackageCatalogue readPackageTerms() {
    PackageCatalogue packages;
    QSqlQuery q = execSql(billing_sql::selectPackageTerms());
    while (q.next()) {
        PackageTerms terms;
        terms.cost = number(q, 1);
        readWords(q, 2, terms.words);
        packages.emplace(number(q, 0), terms);
    }
    return packages;
}

int ChargePass::run(const PassMark& mark) {
    Transaction transaction;
    const ChargeCatalogue catalogue = zapolnit_matr_64x16_kanals();
    const PackageCatalogue packages = readPackageTerms();

    std::vector<Charge> charges;
    {
        QSqlQuery q = execSql(billing_sql::selectSwitchedOnSubscribers());
        ChargeSubject subject;
        while (q.next()) {
            subject.id = static_cast<qint32>(number(q, 0));
            subject.money = number(q, 1);
            subject.feeFlag = number(q, 2);
            subject.fee = number(q, 3);
            subject.packagePriority = number(q, 4);
            subject.packageId = number(q, 5);
            readWords(q, 6, subject.words);
            charges.push_back(snyat_dengi_abona(subject, packages, catalogue, coef, useAutoNull));
        }
    }
    const int total = static_cast<int>(charges.size());
    if (started) started(total);

    execSql(billing_sql::dropChargeBatch);
    execSql(billing_sql::createChargeBatch);
    const int chunk = std::max(1, chunkSize);
    for (int done = 0; done < total; done += chunk) {
        writeChunk(charges.data() + done, std::min(chunk, total - done), done);
        if (progressed) progressed(std::min(done + chunk, total));
    }
    execSql(billing_sql::dropChargeBatch);

    execSql(billing_sql::insertMark, {mark.id, mark.date, Clock::current().now().time()});
    transaction.commit();
    return total;
}

void ChargePass::writeChunk(const Charge* first, int count, int seqBase) {
    execSql(billing_sql::clearChargeBatch);
    QString sql = billing_sql::insertChargeBatchHead;
    sql.reserve(sql.size() + count * 48);
    for (int i = 0; i < count; ++i) {
        const Charge& c = first[i];
        if (i) sql += QLatin1Char(',');
        sql += QStringLiteral("(%1,%2,%3,%4,%5)")
                   .arg(seqBase + i)
                   .arg(c.id)
                   .arg(c.kanalsCount)
                   .arg(c.summa)
                   .arg(c.posleOplati);
    }
    execSql(sql);
    execSql(billing_sql::updateBalancesStillOn);
    execSql(billing_sql::updateBalancesSwitchOff);
    execSql(billing_sql::insertChargeJournal);
    execSql(billing_sql::insertChargeReport);
}

}  // namespace kavrin
