// Pictures of the register on the main window and of the channel editor over a small sample, for looking at
// the screens as an operator sees them. Not a test; run by hand on a display (Xvfb will do):
//   xvfb-run -a -s "-screen 0 1280x1024x24" tests/register/register_screenshots --port <port> --out /tmp
// Rebuilds the database `kavrin` of that server.
#include "data/Datasets.h"
#include "register/SubscriberRegister.h"
#include "startup/DatabaseConnection.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "ui/TForm1.h"
#include "ui/TForm2.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace kavrin;

namespace {

void run(const QString& sql) { test::exec(sql, QSqlDatabase::database(QStringLiteral("screenshots_seed"))); }

void seed() {
    test::recreateDatabase();
    run(QStringLiteral("insert into street (Id,Name_Street) values (1,'Садовая'),(2,'Лесная'),(3,'Мира')"));
    run(QStringLiteral(
        "insert into abons (Id,Name1,Name2,Name3,N_Street,Dom,Drob,Kvartira,Tel,Mob,Data_Create,`lock`,money,"
        "selected_paket,`64_1`,`64_2`) values "
        "(3,'Иванов','Пётр','Сергеевич',1,'12','а','5','22-14-07','0501234567','2012-11-03',1,12500,'',7,1),"
        "(7,'Петренко','Олена','Іванівна',2,'4','','17','','0679876543','2012-12-15',1,-75,'Базовый',3,0),"
        "(12,'Сидоров','Андрей','Викторович',3,'101','2','44','31-00-12','','2013-01-09',0,0,'',0,0),"
        "(15,'Ковальчук','Ирина','Петровна',1,'8','','2','25-61-90','0951112233','2013-02-01',1,100,'',1,3),"
        "(21,'Бондаренко','Максим','Олегович',2,'15','','9','','0632223344','2013-02-20',1,4050,'Спорт',0,15)"));
    run(QStringLiteral("insert into pakets (Id,Name_Paket,`64_1`,`64_2`) values (1,'Базовый',7,0),"
                              "(2,'Спорт',0,15)"));
    const char* streams[][8] = {
        {"Первый", "Россия", "НТВ", "СТС", "ТНТ", "Культура", "-", "Звезда"},
        {"Евроспорт", "Футбол 1", "Футбол 2", "Бокс ТВ", "-", "-", "-", "-"},
        {"Дискавери", "Нэшнл Джиогрэфик", "Анимал Плэнет", "История", "-", "-", "-", "-"},
        {"Кино ТВ", "Дом кино", "Иллюзион", "-", "-", "-", "-", "-"},
    };
    const int numbers[] = {1, 2, 5, 6};
    for (int i = 0; i < 4; ++i) {
        QStringList cols, values;
        for (int j = 0; j < 8; ++j) {
            cols << QStringLiteral("kan_%1").arg(j);
            values << QStringLiteral("'%1'").arg(QString::fromUtf8(streams[i][j]));
        }
        run(QStringLiteral("insert into kanals (NStream,%1) values (%2,%3)")
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
    test::ScriptedDialogs dialogs;  // nothing waits for an answer; messages are printed at the end
    int port = 3306;
    QString out = QStringLiteral("/tmp");
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--port") port = args[++i].toInt();
        if (args[i] == "--out") out = args[++i];
    }
    qputenv("KAVRIN_TEST_DB_PORT", QByteArray::number(port));
    test::openTestConnection(QStringLiteral("screenshots_seed"));
    seed();

    QTemporaryDir work;
    QFile conf(work.filePath(QStringLiteral("kavrin.conf")));
    conf.open(QIODevice::WriteOnly);
    conf.write("127.0.0.1\n");
    conf.close();
    QDir::setCurrent(work.path());
    DatabaseConnection::shared().setPort(port);
    DatabaseConnection::shared().setLogin(QStringLiteral("root"), QStringLiteral("kavrin"));

    Screens& s = Screens::shared();
    auto* form1 = new TForm1;
    s.Form1 = form1;
    s.Form2 = new TForm2(form1);
    form1->show();
    QTimer::singleShot(1500, [&] {
        SubscriberRegister::shared().N6Click();
        Datasets::shared().abons.locate(QStringLiteral("Id"), 7);
        QTimer::singleShot(500, [&] {
            save(form1, out + QStringLiteral("/register-main.png"));
            s.Form2->show();
            QTimer::singleShot(800, [&] {
                save(s.Form2, out + QStringLiteral("/register-channel-editor.png"));
                for (const QString& m : dialogs.messages()) std::printf("message: %s\n", qPrintable(m));
                app.quit();
            });
        });
    });
    return app.exec();
}
