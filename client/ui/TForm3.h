#pragma once
// The channel table editor: stream numbers, channel names, scrambled flags and prices of table kanals, and
// the two buttons that send the head-end its scrambling map.
#include "catalogue/ChannelTable.h"

#include <QDialog>

class QPushButton;
class QTableView;

namespace kavrin {

class ClientDataSet;
class DataSetModel;
class FilterProxyModel;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    // For tests and tools: a channel dataset other than the program's.
    TForm3(ClientDataSet& channels, QWidget* parent = nullptr);

    // Grid columns, left to right: the stream, then name, "Код" and price of positions 0..14, last the
    // name of the uncoded position 15.
    static constexpr int kColumnCount = 1 + 3 * 15 + 1;
    static int nameColumn(int position) { return position < 15 ? 1 + 3 * position : kColumnCount - 1; }
    static int kodColumn(int position) { return 2 + 3 * position; }
    static int priceColumn(int position) { return 3 + 3 * position; }

    ClientDataSet& ClientDataSet1;
    DataSetModel* DataSource1 = nullptr;
    FilterProxyModel* cxGrid1DBTableView1 = nullptr;  // sorted by stream number
    QTableView* cxGrid1 = nullptr;
    QWidget* cxDBNavigator1 = nullptr;
    QPushButton* Button2 = nullptr;  // "Раскодировать"
    QPushButton* Button3 = nullptr;  // "Закодировать"

public slots:
    void FormShow();
    void cxGrid1Exit();   // the focus left the grid: store what was typed
    void Button2Click();  // "Раскодировать"
    void Button3Click();  // "Закодировать"
    // Every way of closing (the window's button, Escape) stores pending changes first.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createGrid();
    void createNavigator();
    void focusGrid();

    ChannelTable table_;
};

}  // namespace kavrin
