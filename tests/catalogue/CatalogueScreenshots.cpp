// Pictures of the channel table, street, package list and package channel editor screens over a small
// sample, for looking at them as an operator does. Not a test; run by hand on a display (Xvfb will do):
//   xvfb-run -a -s "-screen 0 1280x1024x24" tests/catalogue/catalogue_screenshots --port <port> --out /tmp
// Rebuilds the database `kavrin` of that server.
#include "data/ClientDataSet.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "ui/TForm3.h"
#include "ui/TForm4.h"
#include "ui/TForm5.h"
#include "ui/TForm6.h"

#include <QApplication>
#include <QLocale>
#include <QPixmap>
#include <QTableView>
#include <QTimer>
#include <cstdio>

using namespace kavrin;

namespace {

void seed() {
    test::recreateDatabase();
    test::exec("insert into street (Name_Street) values ('Садовая'),('Лесная'),('Мира'),('Шевченко'),('Гагарина')");
    test::exec("insert into pakets (Name_Paket,`64_1`,`64_2`,paket_cost) values ('Базовый',7,0,2500),"
               "('Спорт',0,15,1500),('Семейный',63,3,4000)");
    const char* streams[][6] = {
        {"Первый", "Россия", "НТВ", "СТС", "ТНТ", "Культура"},
        {"Евроспорт", "Футбол 1", "Футбол 2", "Бокс ТВ", "-", "-"},
        {"Дискавери", "Нэшнл Джиогрэфик", "Анимал Плэнет", "История", "-", "-"},
    };
    const int numbers[] = {1, 2, 5};
    for (int i = 0; i < 3; ++i) {
        QStringList cols, values;
        for (int j = 0; j < 6; ++j) {
            cols << QStringLiteral("kan_%1,kod_%1,cena_%1").arg(j);
            values << QStringLiteral("'%1',%2,%3").arg(QString::fromUtf8(streams[i][j])).arg(j % 2).arg(500 + 100 * j);
        }
        test::exec(QStringLiteral("insert into kanals (NStream,%1,kan_15) values (%2,%3,'Местный')")
                       .arg(cols.join(','))
                       .arg(numbers[i])
                       .arg(values.join(',')));
    }
}

void save(QWidget* w, const QString& path) {
    const bool ok = w->grab().save(path);
    std::printf("%s %s\n", ok ? "saved" : "could not save", qPrintable(path));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    test::ScriptedDialogs dialogs;
    int port = 3306;
    QString out = QStringLiteral("/tmp");
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--port") port = args[++i].toInt();
        if (args[i] == "--out") out = args[++i];
    }
    qputenv("KAVRIN_TEST_DB_PORT", QByteArray::number(port));
    test::openTestConnection();
    seed();

    ClientDataSet kanals(QStringLiteral("select * from kanals"));
    ClientDataSet channels(QStringLiteral("select * from kanals"));
    ClientDataSet streets(QStringLiteral("select * from street order by Name_Street"));
    ClientDataSet registerStreets(QStringLiteral("select * from street"));
    ClientDataSet packages(QStringLiteral("select * from pakets"));
    for (ClientDataSet* ds : {&kanals, &channels, &streets, &registerStreets, &packages}) ds->open();

    TForm3 form3(kanals);
    TForm4 form4(streets, registerStreets);
    TForm6 form6(packages, channels);
    TForm5 form5(packages, &form6);
    form3.show();
    form4.show();
    form5.show();
    packages.locate(QStringLiteral("Id"), 3);
    form6.show();
    QTimer::singleShot(800, [&] {
        save(&form3, out + QStringLiteral("/catalogue-channel-table.png"));
        save(&form4, out + QStringLiteral("/catalogue-streets.png"));
        save(&form5, out + QStringLiteral("/catalogue-packages.png"));
        save(&form6, out + QStringLiteral("/catalogue-package-editor.png"));
        for (const QString& m : dialogs.messages()) std::printf("message: %s\n", qPrintable(m));
        form6.can_close = 1;
        app.quit();
    });
    return app.exec();
}
