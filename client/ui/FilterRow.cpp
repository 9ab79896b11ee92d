#include "ui/FilterRow.h"

#include "data/FilterProxyModel.h"
#include "ui/TForm1.h"

#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

namespace kavrin {

FilterRow::FilterRow(const FilterRowWidgets& w, FilterProxyModel& view, QStatusBar* status, QObject* parent)
    : QObject(parent), w_(w), view_(view), status_(status) {
    for (QLineEdit* e : {w_.cxMaskEdit1, w_.cxTextEdit1, w_.cxTextEdit2, w_.cxTextEdit3, w_.cxTextEdit4, w_.cxTextEdit5,
                         w_.cxTextEdit6, w_.cxTextEdit7, w_.cxTextEdit8, w_.cxTextEdit9, w_.cxMaskEdit2})
        connect(e, &QLineEdit::returnPressed, this, &FilterRow::Button4Click);
    w_.cxDateEdit1->installEventFilter(this);
    w_.cxComboBox1->installEventFilter(this);
    w_.cxMaskEdit2->installEventFilter(this);
    connect(w_.Button4, &QPushButton::clicked, this, &FilterRow::Button4Click);
    connect(w_.Button5, &QPushButton::clicked, this, &FilterRow::Button5Click);
}

FilterRow* FilterRow::attach(TForm1& f) {
    const FilterRowWidgets w{f.cxMaskEdit1, f.cxTextEdit1, f.cxTextEdit2, f.cxTextEdit3, f.cxTextEdit4,
                             f.cxTextEdit5, f.cxTextEdit6, f.cxTextEdit7, f.cxTextEdit8, f.cxTextEdit9,
                             f.cxDateEdit1, f.cxComboBox1, f.cxMaskEdit2, f.cxTextEdit10, f.Button4, f.Button5};
    return new FilterRow(w, *f.cxGrid2DBTableView1, f.statusBar(), &f);
}

bool FilterRow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == w_.cxMaskEdit2 && key->text() == QStringLiteral(".")) {
        w_.cxMaskEdit2->insert(QStringLiteral(","));
        return true;
    }
    if ((watched == w_.cxDateEdit1 || watched == w_.cxComboBox1) &&
        (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        Button4Click();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

FilterBoxes FilterRow::boxes() const {
    FilterBoxes b;
    b.id = w_.cxMaskEdit1->text();
    b.name1 = w_.cxTextEdit1->text();
    b.name2 = w_.cxTextEdit2->text();
    b.name3 = w_.cxTextEdit3->text();
    b.street = w_.cxTextEdit4->text();
    b.dom = w_.cxTextEdit5->text();
    b.drob = w_.cxTextEdit6->text();
    b.kvartira = w_.cxTextEdit7->text();
    b.tel = w_.cxTextEdit8->text();
    b.mob = w_.cxTextEdit9->text();
    if (w_.cxDateEdit1->date() != w_.cxDateEdit1->minimumDate()) b.date = w_.cxDateEdit1->date();
    const QString lock = w_.cxComboBox1->currentText();
    b.lock = lock == QStringLiteral("вкл") ? LockChoice::On : lock == QStringLiteral("выкл") ? LockChoice::Off : LockChoice::All;
    b.balance = w_.cxMaskEdit2->text();
    b.comment = w_.cxTextEdit10->text();
    return b;
}

void FilterRow::Button4Click() {
    const FilterGroup filter = buildSubscriberFilter(boxes());
    view_.setFilter(filter);
    if (status_) {
        const QString summary = filterSummary(filter);
        if (summary.isEmpty())
            status_->clearMessage();
        else
            status_->showMessage(QStringLiteral("Фильтр: ") + summary);
    }
}

void FilterRow::Button5Click() {
    view_.clearFilter();
    for (QLineEdit* e : {w_.cxMaskEdit1, w_.cxTextEdit1, w_.cxTextEdit2, w_.cxTextEdit3, w_.cxTextEdit4, w_.cxTextEdit5,
                         w_.cxTextEdit6, w_.cxTextEdit7, w_.cxTextEdit8, w_.cxTextEdit9, w_.cxMaskEdit2, w_.cxTextEdit10})
        e->clear();
    w_.cxDateEdit1->setDate(w_.cxDateEdit1->minimumDate());
    w_.cxComboBox1->setCurrentIndex(w_.cxComboBox1->findText(QStringLiteral("все")));
    if (status_) status_->clearMessage();
}

}  // namespace kavrin
