#include "io/FileImports.h"

#include "billing/PaymentBatch.h"
#include "common/Dialogs.h"
#include "data/ClientDataSet.h"
#include "data/Datasets.h"
#include "data/Sql.h"
#include "io/ImportLine.h"
#include "io/ImportText.h"
#include "io/PaymentLine.h"
#include "io/SubscriberLine.h"
#include "register/BulkWrites.h"
#include "register/SubscriberRegister.h"

#include <QLocale>

namespace kavrin {

namespace {

const QString kFindStreet = QStringLiteral("select Id from street where Name_Street=? order by Id limit 1");
const QString kAddStreet = QStringLiteral("insert into street (Name_Street) values (?)");

const QString kAborted = QStringLiteral(" Операция прервана.");

QString quoted(const QString& s) { return u'"' + s + u'"'; }

// Queues what a booked payment changes on the head-end: the record with the new balance while the subscriber
// is on (which also switches it on), all channels off when the payment switched it off.
void queueBalanceTask(SubscriberRegister& reg, BulkWrites& writes, const PaymentBatch::Booked& b) {
    writes.knowSubscriber(b.subscriberId, SubscriberRecord{b.packagePriority, b.packageId, b.balance, b.words});
    if (b.isOn)
        reg.rewrite_zap(b.subscriberId);
    else if (b.wasOn)
        reg.clear_kanals_for_abon(b.subscriberId);
}

}  // namespace

std::optional<QStringList> FileImports::chooseFile(const QString& title) {
    const QString path = Dialogs::current().openFile(title);
    if (path.isEmpty()) return std::nullopt;
    auto lines = readImportFile(path);
    if (!lines) showMessage(QStringLiteral("Ошибка! Не удалось прочитать файл ") + quoted(path) + kAborted);
    return lines;
}

// ---- Streets ----------------------------------------------------------------------------------------------

int FileImports::return_id_street(const QString& name) {
    if (name.isEmpty()) return 0;
    if (auto it = streetIds_.constFind(name); it != streetIds_.constEnd()) return *it;
    QVariant id = scalarSql(kFindStreet, {name});
    if (!id.isValid()) {
        id = execSql(kAddStreet, {name}).lastInsertId();
        streetAdded_ = true;
    }
    streetIds_.insert(name, id.toInt());
    return id.toInt();
}

void FileImports::refreshStreetLists() {
    Datasets& ds = reg_.datasets();
    for (ClientDataSet* list : {&ds.streets, &ds.streetEditor})
        if (list->isOpen()) list->refresh();
    streetIds_.clear();
    streetAdded_ = false;
}

// ---- Register rows ----------------------------------------------------------------------------------------

bool FileImports::find_abon_by_id(int id) {
    ClientDataSet& a = reg_.abons();
    // Rows keep their places while an import changes them, so one index of the register serves every line.
    const int idColumn = a.fieldIndex(QStringLiteral("Id"));
    if (rowById_.isEmpty())
        for (int r = 0; r < a.recordCount(); ++r) rowById_.insert(a.value(r, idColumn).toInt(), r);
    const int row = rowById_.value(id, -1);
    if (row >= 0 && a.value(row, idColumn).toInt() == id) {
        a.setRecNo(row + 1);
        return true;
    }
    const int at = a.recNo();
    if (a.locate(QStringLiteral("Id"), id)) return true;
    if (at > 0) a.setRecNo(at);
    return false;
}

void FileImports::setFields(const SubscriberLine& s) {
    ClientDataSet& a = reg_.abons();
    auto set = [&a](const char* field, const auto& v) {
        if (v) a.setValue(QLatin1String(field), *v);
    };
    set("Name1", s.name1);
    set("Name2", s.name2);
    set("Name3", s.name3);
    if (s.street) a.setValue(QStringLiteral("N_Street"), return_id_street(*s.street));
    set("Dom", s.dom);
    set("Drob", s.drob);
    set("Kvartira", s.kvartira);
    set("Tel", s.tel);
    set("Mob", s.mob);
    set("Data_Create", s.dataCreate);
    set("lock", s.lock);
    set("money", s.money);
    set("abonplata", s.abonplata);
    set("flag_for_abonplata", s.flagForAbonplata);
}

bool FileImports::modify_abon_from_line(const QString& line) {
    const auto s = SubscriberLine::parse(line);
    if (!s) return false;
    ClientDataSet& a = reg_.abons();
    a.edit();
    try {
        setFields(*s);
        a.post();
    } catch (...) {
        // A row refused on its way to the database must not stay in editing for the operator to trip over.
        if (a.state() == ClientDataSet::State::Edit) a.cancel();
        throw;
    }
    return true;
}

// ---- New subscribers --------------------------------------------------------------------------------------

void FileImports::importNewSubscribers() {
    const auto lines = chooseFile(QStringLiteral("Выбирите файл со списком новых абонентов (формат см. в мануале)"));
    {
        SubscriberRegister::Bulk bulk(reg_, linesPerFlush_);
        if (lines) importNewFrom(*lines, bulk);
        bulk.flush();
    }
    if (streetAdded_) refreshStreetLists();
}

void FileImports::importNewFrom(const QStringList& lines, SubscriberRegister::Bulk& bulk) {
    ClientDataSet& a = reg_.abons();
    for (const QString& line : lines) {
        if (ImportLine::malformed(line)) {
            showMessage(QStringLiteral("Ошибка! Найдена строка с ошибочным форматом! : id=") + quoted(reg_.new_id_text) +
                        kAborted);
            return;
        }
        reg_.new_id_text = ImportLine(line).take();
        reg_.import_mode = 1;
        try {
            a.append();  // the register checks the number; a refused one cancels the row with its own message
            if (a.state() == ClientDataSet::State::Insert) {
                const auto s = SubscriberLine::parse(line);
                if (!s || !s->hasEveryValue()) {
                    showMessage(QStringLiteral("Ошибка! Неверный формат записи: ") + quoted(line) +
                                QStringLiteral(" Загрузка продолжится со следующей строки."));
                    a.cancel();
                } else {
                    setFields(*s);
                    a.post();  // slot, task when switched on, apply step
                }
            }
        } catch (...) {
            // The import ends here; the register is left as the operator expects it: no half-filled new row,
            // and the next manual insert asks for its number again.
            if (a.state() == ClientDataSet::State::Insert) a.cancel();
            reg_.import_mode = 0;
            throw;
        }
        reg_.import_mode = 0;
        bulk.lineDone();
    }
}

// ---- Changed subscribers ----------------------------------------------------------------------------------

void FileImports::importChangedSubscribers() {
    const auto lines =
        chooseFile(QStringLiteral("Выбирите файл со списком изменяемых абонентов (формат см. в мануале)"));
    if (!lines) return;
    {
        SubscriberRegister::Bulk bulk(reg_, linesPerFlush_);
        rowById_.clear();
        importChangedFrom(*lines, bulk);
        bulk.flush();
    }
    rowById_.clear();
    refreshStreetLists();
}

void FileImports::importChangedFrom(const QStringList& lines, SubscriberRegister::Bulk& bulk) {
    for (const QString& line : lines) {
        if (ImportLine::malformed(line)) {
            showMessage(QStringLiteral("Ошибка! Найдена строка с ошибочным форматом! : ") + quoted(line) + kAborted);
            return;
        }
        reg_.new_id_text = ImportLine(line).take();
        const auto id = parseInt32(reg_.new_id_text);
        if (!id) {
            showMessage(QStringLiteral("Не верно значение поля id: ") + quoted(reg_.new_id_text) +
                        QStringLiteral(". Операция прервана."));
            return;
        }
        if (!find_abon_by_id(*id)) {
            showMessage(QStringLiteral("Не найдено абонента ") + quoted(reg_.new_id_text) +
                        QStringLiteral(". Операция прервана."));
            return;
        }
        if (!modify_abon_from_line(line)) {
            showMessage(QStringLiteral("Ошибка! Неверный формат записи: ") + quoted(line) +
                        QStringLiteral(" Загрузка прервана."));
            return;
        }
        bulk.lineDone();
    }
}

// ---- Payments ---------------------------------------------------------------------------------------------

void FileImports::importPayments() {
    const auto lines = chooseFile(QStringLiteral("Выбирите файл со списком платежей (формат см. в мануале)"));
    if (!lines) {
        reg_.Button2Click();
        showMessage(QStringLiteral("Операция завершена"));
        return;
    }
    importPaymentsFrom(*lines);
}

void FileImports::reopenRegisterAtFirstRow() {
    ClientDataSet& a = reg_.abons();
    a.setCommandText(QStringLiteral("select * from abons"));
    a.setParams({});
    a.open();
    a.first();
    reg_.Button2Click();
}

void FileImports::importPaymentsFrom(const QStringList& lines) {
    // Payments change balances in the database directly. The register is sent and put aside while they are
    // booked, so that no task is built from a row read before the payment, and read once at the end.
    {
        SubscriberRegister::Batch batch(reg_);  // no re-read of a register about to be put aside
        reg_.Button2Click();
        reg_.abons().close();
    }
    struct Reopen {
        FileImports* self;
        ~Reopen() {
            try {
                self->reopenRegisterAtFirstRow();
            } catch (const DatabaseError& e) {
                showMessage(e.text());
            }
        }
    } reopen{this};
    SubscriberRegister::Bulk bulk(reg_);
    PaymentBatch payments;
    payments.booked = [this, &bulk](const PaymentBatch::Booked& b) { queueBalanceTask(reg_, bulk.writes(), b); };
    // The balances, the journal rows and the device tasks of the lines so far, together or not at all.
    const auto flush = [&] {
        Transaction transaction;
        payments.flush();
        bulk.flush();
        transaction.commit();
    };
    for (const QString& line : lines) {
        if (ImportLine::malformed(line)) {
            flush();
            showMessage(QStringLiteral("Ошибка! Найдена строка с ошибочным форматом! не указан id : ") + quoted(line) +
                        kAborted);
            return;
        }
        if (!bookPayment(line, payments)) {
            flush();
            return;
        }
        if (payments.pending() >= linesPerFlush_) flush();
    }
    flush();
    showMessage(QStringLiteral("Операция завершена"));
}

bool FileImports::bookPayment(const QString& line, PaymentBatch& payments) {
    reg_.new_id_text = ImportLine(line).take();
    const auto id = parseInt32(reg_.new_id_text);
    if (id && !payments.subscriberExists(*id)) {
        showMessage(QStringLiteral("Ошибка! Найдена строка с несуществующим id! : ") + quoted(line) + kAborted);
        return false;
    }
    const auto p = id ? PaymentLine::parse(line) : std::nullopt;
    bool booked = false;
    if (p) {
        MoneyRequest request;
        request.subscriberId = *id;
        request.units = p->units;
        request.kopecks = p->kopecks;
        request.credit = p->credit;
        request.importDate = QLocale().toString(p->date, QLocale::ShortFormat);
        // A line the money operation's checks refuse (their message shown) stops the import like any bad line.
        booked = payments.add(request);
    }
    if (!booked) showMessage(QStringLiteral("Ошибка в строке : ") + quoted(line) + kAborted);
    return booked;
}

}  // namespace kavrin
