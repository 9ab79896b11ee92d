// The main window's hooks for reports, exports, imports, the SQL console and the list filter.
#include "common/Dialogs.h"
#include "data/FilterProxyModel.h"
#include "data/Sql.h"
#include "io/ExportFiles.h"
#include "io/FileImports.h"
#include "io/GridRows.h"
#include "io/JournalQueries.h"
#include "register/SubscriberRegister.h"
#include "ui/FilterRow.h"
#include "ui/TForm1.h"
#include "ui/TForm12.h"
#include "ui/TForm8.h"
#include "ui/TForm9.h"
#include "ui/ReportErrors.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace kavrin {

namespace {

// Runs a handler's work; a database or spreadsheet error ends it with its message.
template <typename F>
void guarded(F work) {
    try {
        reportErrors(work);
    } catch (const ExportError& e) {
        showMessage(e.text());
    }
}

template <typename Form>
void showModal(Form* form) {
    if (form && !form->isVisible()) form->exec();
}

}  // namespace

void TForm1::createIoControls() {
    Button6 = new QPushButton(QStringLiteral("Вывести список в Excel"), this);
    Button6->setObjectName(QStringLiteral("Button6"));
    Button6->setToolTip(QStringLiteral("Экспорт содержимого таблицы в Excel"));
    buttonRow->insertWidget(2, Button6);
    connect(Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
    FilterRow::attach(*this);
}

void TForm1::Button6Click() {
    guarded([this] {
        exportAndOpen(subscriberListLayout(gridRowsOf(*cxGrid2DBTableView1, ClientDataSet1),
                                           lookupTextsOf(ClientDataSet2, QStringLiteral("Id"), QStringLiteral("Name_Street"))),
                      QStringLiteral("Список абонентов"));
    });
}

void TForm1::Excel1Click() { Button6Click(); }

void TForm1::N10Click() {
    guarded([this] {
        ClientDataSet1.postIfEditing();
        showModal(Screens::shared().Form9);
    });
}

void TForm1::N12Click() {
    guarded([this] {
        ClientDataSet1.postIfEditing();
        TForm8* report = Screens::shared().Form8;
        if (!report) return;
        report->report_mode = 1;
        showModal(report);
        report->report_mode = 0;
        ClientDataSet5.close();
        ClientDataSet5.setParams({});
        ClientDataSet5.setCommandText(journal_sql::kRecent3);
        ClientDataSet5.open();
    });
}

void TForm1::MySQL1Click() {
    guarded([this] {
        ClientDataSet1.postIfEditing();
        showModal(Screens::shared().Form12);
    });
}

void TForm1::N14Click() {
    guarded([this] {
        ClientDataSet1.postIfEditing();
        FileImports(SubscriberRegister::shared()).importNewSubscribers();
    });
}

void TForm1::N16Click() {
    guarded([this] {
        ClientDataSet1.postIfEditing();
        FileImports(SubscriberRegister::shared()).importChangedSubscribers();
    });
}

void TForm1::N15Click() {
    guarded([this] {
        ClientDataSet1.postIfEditing();
        FileImports(SubscriberRegister::shared()).importPayments();
    });
}

}  // namespace kavrin
