#include "ui/TForm6.h"

#include "common/Dialogs.h"
#include "data/ClientDataSet.h"
#include "data/Datasets.h"
#include "data/Sql.h"
#include "register/ChannelNames.h"
#include "ui/ChannelMatrix.h"
#include "ui/ReportErrors.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QSpinBox>
#include <climits>

namespace kavrin {

namespace {

constexpr int kHeaderHeight = ChannelMatrix::kScreenHeaderHeight;
constexpr int kFooterHeight = ChannelMatrix::kScreenFooterHeight;

}  // namespace

TForm6::TForm6(QWidget* parent) : TForm6(Datasets::shared().packages, Datasets::shared().channels, parent) {}

TForm6::TForm6(ClientDataSet& packages, ClientDataSet& channels, QWidget* parent)
    : QDialog(parent), packageList(packages), channelList(channels), packages_(packages) {
    setWindowTitle(QStringLiteral("Редактор списка каналов пакета"));
    setObjectName(QStringLiteral("Form6"));
    resize(1019, 375);

    cxLabel1 = new QLabel(QStringLiteral("Имя пакета"), this);
    cxLabel1->setObjectName(QStringLiteral("cxLabel1"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label1 = new QLabel(QStringLiteral("Стоимость пакета (коп)"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    cxDBSpinEdit1 = new QSpinBox(this);
    cxDBSpinEdit1->setObjectName(QStringLiteral("cxDBSpinEdit1"));
    cxDBSpinEdit1->setRange(INT_MIN, INT_MAX);
    cxDBSpinEdit1->setToolTip(QStringLiteral("Сохраняется при любом изменении"));
    connect(cxDBSpinEdit1, &QSpinBox::valueChanged, this, &TForm6::costEdited);

    matrix = new ChannelMatrix;
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(matrix);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    const auto button = [this](const char* name, const QString& caption, const QString& hint) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setAutoDefault(false);
        return b;
    };
    Button2 = button("Button2", QStringLiteral("Сохранить"), QString());
    Button4 = button("Button4", QStringLiteral("Сохранить и Выйти"), QString());
    Button3 = button("Button3", QStringLiteral("Выйти без сохранения"), QStringLiteral("Выйти из редактора без сохранения"));
    connect(Button2, &QPushButton::clicked, this, &TForm6::Button2Click);
    connect(Button4, &QPushButton::clicked, this, &TForm6::Button4Click);
    connect(Button3, &QPushButton::clicked, this, &TForm6::Button3Click);
    placeControls();
}

void TForm6::placeControls() {
    cxLabel1->setGeometry(8, 16, 80, 20);
    Edit1->setGeometry(90, 14, 300, 24);
    Label1->setGeometry(410, 16, 160, 20);
    cxDBSpinEdit1->setGeometry(575, 14, 110, 24);
    scroll_->setGeometry(0, kHeaderHeight, width(), height() - kHeaderHeight - kFooterHeight);
    int x = 8;
    const int y = height() - kFooterHeight + 8;
    for (QPushButton* b : {Button2, Button4, Button3}) {
        const int w = std::max(b->sizeHint().width(), 110);
        b->setGeometry(x, y, w, 28);
        x += w + 8;
    }
}

void TForm6::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placeControls();
}

void TForm6::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        reportErrors([&] { FormShow(); });
    }
}

void TForm6::FormShow() {
    loading_ = true;
    matrix->placeColumns(channelList, matrix_column_width(return_max_len_kanal_name()));
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) {
        const QRect g = main->geometry();
        setGeometry(g.left(), g.top() + 160, g.width(), height());
    }
    Edit1->setText(packages_.name().trimmed());
    cxDBSpinEdit1->setValue(packageList.value(QStringLiteral("paket_cost")).toInt());
    can_close = 0;
    matrix->setWords(packages_.words());
    channelList.openOrRefresh();
    matrix->showChannels(channelList);
    loading_ = false;
}

void TForm6::costEdited(int kopecks) {
    if (loading_) return;
    reportErrors([&] { packages_.setCost(kopecks); });
}

bool TForm6::Button2Click() {
    try {
        return packages_.save(Edit1->text(), matrix->words());
    } catch (const DatabaseError& e) {
        showMessage(e.text());
        return false;
    }
}

void TForm6::Button4Click() {
    if (!Button2Click()) return;
    can_close = 1;
    accept();
}

void TForm6::Button3Click() {
    can_close = 1;
    QDialog::reject();
}

void TForm6::reject() {
    if (can_close) QDialog::reject();
}

void TForm6::closeEvent(QCloseEvent* event) {
    if (!can_close) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace kavrin
