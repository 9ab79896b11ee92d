// The register grid of the main window and the filter row under it.
#include "common/MoneyText.h"
#include "data/DataSetModel.h"
#include "data/FilterProxyModel.h"
#include "ui/LookupDelegate.h"
#include "ui/TForm1.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QVBoxLayout>

namespace kavrin {
namespace {

const QColor kIdBackground(0xCC, 0xFF, 0xCC);  // light green
constexpr int kFilterBoxHeight = 22;
constexpr int kFilterButtonHeight = 25;
constexpr int kFilterGap = 3;

}  // namespace

void TForm1::createGrid(QVBoxLayout* layout) {
    if (ClientDataSet1.fieldIndex(QStringLiteral("money_new")) < 0) {
        ClientDataSet1.addCalculatedField(QStringLiteral("money_new"), [](const ClientDataSet& ds, int row) {
            return QVariant(money_text(ds.value(row, ds.fieldIndex(QStringLiteral("money")))));
        });
    }
    const auto text = [](const char* field, const QString& caption, int width) {
        DataSetColumn c;
        c.field = QLatin1String(field);
        c.caption = caption;
        c.width = width;
        return c;
    };
    QVector<DataSetColumn> columns(ColumnCount);
    columns[cxGrid2DBTableView1Id] = text("Id", QStringLiteral("ID"), 61);
    columns[cxGrid2DBTableView1Id].readOnly = true;
    columns[cxGrid2DBTableView1Id].background = kIdBackground;
    columns[cxGrid2DBTableView1Name1] = text("Name1", QStringLiteral("Фамилия"), 125);
    columns[cxGrid2DBTableView1Name2] = text("Name2", QStringLiteral("Имя"), 94);
    columns[cxGrid2DBTableView1Name3] = text("Name3", QStringLiteral("Отчество"), 133);
    columns[cxGrid2DBTableView1N_Street] = text("N_Street", QStringLiteral("Улица"), 109);
    columns[cxGrid2DBTableView1N_Street].kind = EditorKind::Lookup;
    columns[cxGrid2DBTableView1N_Street].lookupDataSet = &ClientDataSet2;
    columns[cxGrid2DBTableView1N_Street].lookupKeyField = QStringLiteral("Id");
    columns[cxGrid2DBTableView1N_Street].lookupResultField = QStringLiteral("Name_Street");
    columns[cxGrid2DBTableView1Dom] = text("Dom", QStringLiteral("Дом"), 48);
    columns[cxGrid2DBTableView1Drob] = text("Drob", QStringLiteral("/"), 29);
    columns[cxGrid2DBTableView1Kvartira] = text("Kvartira", QStringLiteral("Кв."), 39);
    columns[cxGrid2DBTableView1Tel] = text("Tel", QStringLiteral("Тел."), 83);
    columns[cxGrid2DBTableView1Mob] = text("Mob", QStringLiteral("Моб."), 73);
    columns[cxGrid2DBTableView1Data_Create] = text("Data_Create", QStringLiteral("Дата"), 81);
    columns[cxGrid2DBTableView1Data_Create].kind = EditorKind::Date;
    columns[cxGrid2DBTableView1lock] = text("lock", QStringLiteral("Вкл"), 48);
    columns[cxGrid2DBTableView1lock].kind = EditorKind::CheckBox;
    columns[cxGrid2DBTableView1money_new] = text("money_new", QStringLiteral("Счёт"), 44);
    columns[cxGrid2DBTableView1money_new].kind = EditorKind::Calculated;
    columns[cxGrid2DBTableView1money_new].readOnly = true;
    columns[cxGrid2DBTableView1money_new].alignment = Qt::AlignRight | Qt::AlignVCenter;
    columns[cxGrid2DBTableView1Comment] = text("selected_paket", QStringLiteral("Коммент"), 69);

    DataSource5 = new DataSetModel(ClientDataSet1, columns, this);
    cxGrid2DBTableView1 = new FilterProxyModel(this);
    cxGrid2DBTableView1->setSourceModel(DataSource5);

    cxGrid2 = new QTableView(this);
    cxGrid2->setObjectName(QStringLiteral("cxGrid2"));
    cxGrid2->setModel(cxGrid2DBTableView1);
    cxGrid2->setSelectionBehavior(QAbstractItemView::SelectRows);
    cxGrid2->setSelectionMode(QAbstractItemView::SingleSelection);
    // Typing into a cell starts editing the row, as the operators are used to.
    cxGrid2->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                             QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    cxGrid2->setTabKeyNavigation(true);
    cxGrid2->verticalHeader()->hide();
    cxGrid2->verticalHeader()->setDefaultSectionSize(cxGrid2->fontMetrics().height() + 6);
    cxGrid2->setItemDelegateForColumn(cxGrid2DBTableView1N_Street,
                                      new LookupDelegate(ClientDataSet2, QStringLiteral("Id"),
                                                         QStringLiteral("Name_Street"), cxGrid2));
    QHeaderView* header = cxGrid2->horizontalHeader();
    header->setSectionsMovable(false);
    header->setMinimumSectionSize(5);
    for (int c = 0; c < ColumnCount; ++c) header->resizeSection(c, columns[c].width);
    cxGrid2->setSortingEnabled(true);
    cxGrid2->sortByColumn(cxGrid2DBTableView1Id, Qt::AscendingOrder);
    layout->addWidget(cxGrid2, 1);

    // The dataset's current record and the grid's current row follow each other.
    connect(cxGrid2->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) DataSource5->setCurrentRow(cxGrid2DBTableView1->mapToSource(current).row());
            });
    connect(DataSource5, &DataSetModel::currentRowChanged, this, [this](int row) {
        if (row < 0) return;
        const QModelIndex shown = cxGrid2DBTableView1->mapFromSource(DataSource5->index(row, 0));
        if (!shown.isValid() || cxGrid2->currentIndex().row() == shown.row()) return;
        const int column = cxGrid2->currentIndex().isValid() ? cxGrid2->currentIndex().column() : 0;
        cxGrid2->setCurrentIndex(shown.siblingAtColumn(column));
    });
}

void TForm1::createFilterRow(QVBoxLayout* layout) {
    filterRow = new QWidget(this);
    filterRow->setObjectName(QStringLiteral("filterRow"));
    filterRow->setFixedHeight(kFilterBoxHeight + kFilterGap + 2 * kFilterButtonHeight + kFilterGap);
    const auto edit = [this](const char* name) {
        auto* e = new QLineEdit(filterRow);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    cxMaskEdit1 = edit("cxMaskEdit1");
    cxMaskEdit1->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d+")), cxMaskEdit1));
    cxTextEdit1 = edit("cxTextEdit1");
    cxTextEdit2 = edit("cxTextEdit2");
    cxTextEdit3 = edit("cxTextEdit3");
    cxTextEdit4 = edit("cxTextEdit4");
    cxTextEdit5 = edit("cxTextEdit5");
    cxTextEdit6 = edit("cxTextEdit6");
    cxTextEdit7 = edit("cxTextEdit7");
    cxTextEdit8 = edit("cxTextEdit8");
    cxTextEdit9 = edit("cxTextEdit9");
    cxDateEdit1 = new QDateEdit(filterRow);
    cxDateEdit1->setObjectName(QStringLiteral("cxDateEdit1"));
    cxDateEdit1->setCalendarPopup(true);
    cxDateEdit1->setSpecialValueText(QStringLiteral(" "));  // the minimum date reads as an empty box
    cxDateEdit1->setDate(cxDateEdit1->minimumDate());
    cxComboBox1 = new QComboBox(filterRow);
    cxComboBox1->setObjectName(QStringLiteral("cxComboBox1"));
    cxComboBox1->addItems({QStringLiteral("все"), QStringLiteral("вкл"), QStringLiteral("выкл")});
    cxMaskEdit2 = edit("cxMaskEdit2");
    cxMaskEdit2->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("-?\\d*(,\\d{0,2})?")), cxMaskEdit2));
    cxTextEdit10 = edit("cxTextEdit10");

    Button4 = new QPushButton(QStringLiteral("Фильтрация"), filterRow);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button4->setToolTip(QStringLiteral("Применить фильтр"));
    Button5 = new QPushButton(QStringLiteral("Очистить"), filterRow);
    Button5->setObjectName(QStringLiteral("Button5"));
    Button5->setToolTip(QStringLiteral("Отменить фильтр"));
    layout->addWidget(filterRow);
    layoutFilterRow();
    // The boxes stay under their columns when the operator widens one.
    connect(cxGrid2->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { layoutFilterRow(); });
}

std::array<int, TForm1::ColumnCount> TForm1::columnWidths() const {
    std::array<int, ColumnCount> widths{};
    for (int c = 0; c < ColumnCount; ++c) widths[c] = cxGrid2->horizontalHeader()->sectionSize(c);
    return widths;
}

void TForm1::layoutFilterRow() {
    QWidget* boxes[ColumnCount] = {cxMaskEdit1, cxTextEdit1, cxTextEdit2, cxTextEdit3, cxTextEdit4,
                                   cxTextEdit5, cxTextEdit6, cxTextEdit7, cxTextEdit8, cxTextEdit9,
                                   cxDateEdit1, cxComboBox1, cxMaskEdit2, cxTextEdit10};
    if (!cxTextEdit10) return;  // still being built
    const std::array<int, ColumnCount> widths = columnWidths();
    int left = 0;
    for (int c = 0; c < ColumnCount; ++c) {
        boxes[c]->setGeometry(left, 0, widths[c], kFilterBoxHeight);
        left += widths[c];
    }
    const int buttonLeft = cxMaskEdit2->x() + 4;
    const int buttonWidth = cxDateEdit1->width() + cxComboBox1->width();
    const int firstButtonTop = kFilterBoxHeight + kFilterGap;
    Button4->setGeometry(buttonLeft, firstButtonTop, buttonWidth, kFilterButtonHeight);
    Button5->setGeometry(buttonLeft, firstButtonTop + kFilterButtonHeight, buttonWidth, kFilterButtonHeight);
}

}  // namespace kavrin
