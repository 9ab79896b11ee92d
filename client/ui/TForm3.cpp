#include "ui/TForm3.h"

#include "common/Dialogs.h"
#include "data/DataSetModel.h"
#include "data/Datasets.h"
#include "data/FilterProxyModel.h"
#include "data/Sql.h"
#include "ui/ReportErrors.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace kavrin {

namespace {

// Whole numbers in the range their column holds, so a typed value never fails at the database.
class RangeDelegate : public QStyledItemDelegate {
public:
    RangeDelegate(int minimum, int maximum, QObject* parent)
        : QStyledItemDelegate(parent), minimum_(minimum), maximum_(maximum) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* box = new QSpinBox(parent);
        box->setRange(minimum_, maximum_);
        box->setFrame(false);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QSpinBox*>(editor)->setValue(index.data(Qt::EditRole).toInt());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        auto* box = static_cast<QSpinBox*>(editor);
        box->interpretText();
        model->setData(index, box->value(), Qt::EditRole);
    }

private:
    int minimum_;
    int maximum_;
};

bool inside(const QWidget* w, const QWidget* ancestor) {
    for (; w; w = w->parentWidget())
        if (w == ancestor) return true;
    return false;
}


}  // namespace

TForm3::TForm3(QWidget* parent) : TForm3(Datasets::shared().channelTable, parent) {}

TForm3::TForm3(ClientDataSet& channels, QWidget* parent)
    : QDialog(parent), ClientDataSet1(channels), table_(channels) {
    setWindowTitle(QStringLiteral("Редактор каналов"));
    setObjectName(QStringLiteral("Form3"));
    resize(1031, 612);
    table_.wrongStreamShown = [this] { focusGrid(); };

    auto* layout = new QVBoxLayout(this);
    createGrid();
    layout->addWidget(cxGrid1, 1);
    createNavigator();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cxDBNavigator1);
    bottom->addStretch(1);
    Button3 = new QPushButton(QStringLiteral("Закодировать"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setToolTip(QStringLiteral("Включить кодирование помеченых каналов"));
    Button2 = new QPushButton(QStringLiteral("Раскодировать"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setToolTip(QStringLiteral("Отключить кодирование всех каналов"));
    for (QPushButton* b : {Button3, Button2}) {
        b->setAutoDefault(false);
        bottom->addWidget(b);
    }
    layout->addLayout(bottom);
    connect(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
    connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old && now && now->window() == this && inside(old, cxGrid1) && !inside(now, cxGrid1)) cxGrid1Exit();
    });
}

void TForm3::createGrid() {
    const auto column = [](const QString& field, const QString& caption, int width, EditorKind kind) {
        DataSetColumn c;
        c.field = field;
        c.caption = caption;
        c.width = width;
        c.kind = kind;
        return c;
    };
    QVector<DataSetColumn> columns;
    columns << column(QStringLiteral("NStream"), QStringLiteral("N_Ствола"), 91, EditorKind::Text);
    for (int j = 0; j < 15; ++j) {
        columns << column(QStringLiteral("kan_%1").arg(j), QStringLiteral("Канал_%1").arg(j + 1), 110, EditorKind::Text)
                << column(QStringLiteral("kod_%1").arg(j), QStringLiteral("Код"), 42, EditorKind::CheckBox)
                << column(QStringLiteral("cena_%1").arg(j), QStringLiteral("Цена"), 52, EditorKind::Text);
    }
    columns << column(QStringLiteral("kan_15"), QStringLiteral("Канал_16(не кодир.)"), 126, EditorKind::Text);
    Q_ASSERT(columns.size() == kColumnCount);

    DataSource1 = new DataSetModel(ClientDataSet1, columns, this);
    cxGrid1DBTableView1 = new FilterProxyModel(this);
    cxGrid1DBTableView1->setSourceModel(DataSource1);

    cxGrid1 = new QTableView(this);
    cxGrid1->setObjectName(QStringLiteral("cxGrid1"));
    cxGrid1->setModel(cxGrid1DBTableView1);
    cxGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    cxGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    cxGrid1->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                             QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    cxGrid1->setTabKeyNavigation(true);
    cxGrid1->verticalHeader()->hide();
    cxGrid1->verticalHeader()->setDefaultSectionSize(cxGrid1->fontMetrics().height() + 6);
    cxGrid1->setItemDelegateForColumn(0, new RangeDelegate(0, 65535, cxGrid1));
    for (int j = 0; j < 15; ++j) cxGrid1->setItemDelegateForColumn(priceColumn(j), new RangeDelegate(-32768, 32767, cxGrid1));
    QHeaderView* header = cxGrid1->horizontalHeader();
    header->setMinimumSectionSize(5);
    for (int c = 0; c < kColumnCount; ++c) header->resizeSection(c, columns[c].width);
    cxGrid1->setSortingEnabled(true);
    cxGrid1->sortByColumn(0, Qt::AscendingOrder);

    // The dataset's current record and the grid's current row follow each other.
    connect(cxGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) DataSource1->setCurrentRow(cxGrid1DBTableView1->mapToSource(current).row());
            });
    connect(DataSource1, &DataSetModel::currentRowChanged, this, [this](int row) {
        if (row < 0) return;
        const QModelIndex shown = cxGrid1DBTableView1->mapFromSource(DataSource1->index(row, 0));
        if (!shown.isValid() || cxGrid1->currentIndex().row() == shown.row()) return;
        const int column = cxGrid1->currentIndex().isValid() ? cxGrid1->currentIndex().column() : 0;
        cxGrid1->setCurrentIndex(shown.siblingAtColumn(column));
    });
}

void TForm3::createNavigator() {
    cxDBNavigator1 = new QWidget(this);
    cxDBNavigator1->setObjectName(QStringLiteral("cxDBNavigator1"));
    auto* buttons = new QHBoxLayout(cxDBNavigator1);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(1);
    ClientDataSet& ds = ClientDataSet1;
    const auto add = [&](const char* name, const QString& text, const QString& hint, auto action) {
        auto* b = new QToolButton(cxDBNavigator1);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(hint);
        b->setMinimumWidth(28);
        connect(b, &QToolButton::clicked, this, [&ds, action] {
            if (ds.isOpen()) reportErrors(action);
        });
        buttons->addWidget(b);
    };
    add("First", QStringLiteral("|◀"), QStringLiteral("Первая запись"), [&ds] { ds.first(); });
    add("Prior", QStringLiteral("◀"), QStringLiteral("Предыдущая запись"), [&ds] { ds.prior(); });
    add("Next", QStringLiteral("▶"), QStringLiteral("Следующая запись"), [&ds] { ds.next(); });
    add("Last", QStringLiteral("▶|"), QStringLiteral("Последняя запись"), [&ds] { ds.last(); });
    add("Insert", QStringLiteral("+"), QStringLiteral("Добавить запись"), [this, &ds] {
        ds.insert();
        focusGrid();
    });
    add("Delete", QStringLiteral("−"), QStringLiteral("Удалить запись"), [&ds] {
        if (ds.isEmpty()) return;
        if (Dialogs::current().question(QStringLiteral("Удалить запись?"), QStringLiteral("Внимание"), Buttons::YesNo,
                                        Icon::Warning) != Answer::No)
            ds.deleteRecord();
    });
    add("Edit", QStringLiteral("✎"), QStringLiteral("Редактировать запись"), [&ds] {
        if (!ds.isEmpty()) ds.edit();
    });
    add("Post", QStringLiteral("✔"), QStringLiteral("Сохранить изменения"), [&ds] { ds.post(); });
    add("Cancel", QStringLiteral("✖"), QStringLiteral("Отменить изменения"), [&ds] { ds.cancel(); });
    add("Refresh", QStringLiteral("⟳"), QStringLiteral("Обновить данные"), [this, &ds] {
        table_.storePending();
        ds.refresh();
    });
}

void TForm3::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TForm3::FormShow() {
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) move(main->x(), main->y() + 46);
    if (!ClientDataSet1.isOpen()) reportErrors([this] { ClientDataSet1.open(); });
}

void TForm3::focusGrid() {
    const QModelIndex shown = cxGrid1DBTableView1->mapFromSource(DataSource1->index(ClientDataSet1.recNo() - 1, 0));
    if (shown.isValid()) cxGrid1->setCurrentIndex(shown);
    cxGrid1->setFocus();
}

void TForm3::cxGrid1Exit() { reportErrors([this] { table_.storePending(); }); }

void TForm3::Button3Click() { reportErrors([this] { table_.encode(); }); }

void TForm3::Button2Click() { reportErrors([this] { table_.decode(); }); }

void TForm3::done(int result) {
    // Closing is always allowed; a change the database refused stays pending for the next store. An open
    // cell editor hands its value to the row when it loses the focus.
    cxGrid1->setFocus();
    cxGrid1Exit();
    QDialog::done(result);
}

}  // namespace kavrin
