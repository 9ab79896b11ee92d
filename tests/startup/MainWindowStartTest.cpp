// The main window from start to exit against the real server: login, connection, datasets, the failure
// paths that close the program, the saved layout, and the exit sequence with its save question.
#include "data/DataSetModel.h"
#include "startup/DatabaseConnection.h"
#include "startup/DatabaseStartup.h"
#include "startup/ServerAddressFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "ui/TForm1.h"
#include "ui/TForm11.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

using namespace kavrin;
using namespace kavrin::test;

namespace {

class MainWindowStartTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        previousDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(work.path()));
        writeFile("kavrin.conf", "127.0.0.1\r\n");
        const DbParams p = testDbParams();
        DatabaseConnection::shared().setHostName(QStringLiteral("127.0.0.1"));
        DatabaseConnection::shared().setPort(p.port);
        DatabaseConnection::shared().setLogin(p.user, p.password);
        Screens::shared() = Screens();
    }
    void TearDown() override {
        Datasets::shared().closeAll();
        Screens::shared() = Screens();
        QDir::setCurrent(previousDir);
        openTestConnection();  // later tests expect the fixture's connection
    }
    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(work.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray int32s(const QList<qint32>& values) {
        QByteArray bytes(values.size() * 4, '\0');
        for (int i = 0; i < values.size(); ++i) qToLittleEndian<qint32>(values[i], bytes.data() + i * 4);
        return bytes;
    }
    QList<qint32> savedValues() {
        QFile f(work.filePath("resize.dat"));
        QList<qint32> values;
        if (!f.open(QIODevice::ReadOnly)) return values;
        const QByteArray bytes = f.readAll();
        for (int i = 0; i + 4 <= bytes.size(); i += 4) values << qFromLittleEndian<qint32>(bytes.constData() + i);
        return values;
    }
    // Shows the window and runs its start (the start queued by the first show then does nothing).
    void start(TForm1& form) {
        form.show();
        form.FormShow();
    }

    QTemporaryDir work;
    QString previousDir;
    ScriptedDialogs dialogs;
};

TEST_F(MainWindowStartTest, StartOpensEveryDatasetAndShowsTheRegister) {
    exec("insert into street (Id, Name_Street) values (3, 'Садовая')");
    exec("insert into abons (Id, Name1, N_Street, `lock`, money) values (12, 'Петров', 3, 1, 1250), "
         "(5, 'Иванов', 3, 0, -75)");
    TForm1 form;
    start(form);

    EXPECT_TRUE(dialogs.calls().empty()) << dialogs.texts().join(" | ").toStdString();
    Datasets& d = Datasets::shared();
    for (ClientDataSet* ds : {&d.abons, &d.streets, &d.tasks, &d.slotMap, &d.journal, &d.charges, &d.scratch,
                              &d.channels, &d.channelTable, &d.streetEditor, &d.packages, &d.operationNames,
                              &d.lastRun, &d.settings})
        EXPECT_TRUE(ds->isOpen()) << ds->commandText().toStdString();
    EXPECT_EQ(d.scratch.commandText(), "describe config billing_interval");
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 1000);
    EXPECT_TRUE(form.isVisible());

    // Sorted by ID; the street shows by name, the balance as money text.
    QAbstractItemModel* grid = form.cxGrid2->model();
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->index(0, TForm1::cxGrid2DBTableView1Id).data().toInt(), 5);
    EXPECT_EQ(grid->index(0, TForm1::cxGrid2DBTableView1money_new).data().toString(), "-0,75");
    EXPECT_EQ(grid->index(1, TForm1::cxGrid2DBTableView1money_new).data().toString(), "12,5");
    EXPECT_EQ(grid->index(1, TForm1::cxGrid2DBTableView1N_Street).data().toString(), "Садовая");
    EXPECT_EQ(grid->headerData(TForm1::cxGrid2DBTableView1Comment, Qt::Horizontal).toString(), "Коммент");
}

TEST_F(MainWindowStartTest, StartFailuresShowTheMessageAndCloseTheProgram) {
    const QString failed = QStringLiteral("Ошибка подключения к серверу MySQL. Приложение будет закрыто");
    struct Case {
        const char* name;
        std::function<void()> arrange;
        QStringList messages;
    } cases[] = {
        {"wrong password",
         [] { DatabaseConnection::shared().setLogin(QStringLiteral("root"), QStringLiteral("wrong")); },
         {failed}},
        {"table missing for a dataset", [] { exec("drop table tmp_ot4et"); }, {failed}},
        {"table missing for the upgrade", [] { exec("drop table kanals"); }, {failed}},
        {"host without a dot",
         [this] { writeFile("kavrin.conf", "dbserver-without-dot\r\n"); },
         {kWrongAddressMessage, failed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openTestConnection();  // a failed start leaves the connection closed
        recreateDatabase();
        const DbParams p = testDbParams();
        DatabaseConnection::shared().setLogin(p.user, p.password);
        writeFile("kavrin.conf", "127.0.0.1\r\n");
        dialogs.clear();
        c.arrange();
        {
            TForm1 form;
            start(form);
            EXPECT_EQ(dialogs.messages(), c.messages);
            EXPECT_FALSE(form.isVisible());
            EXPECT_FALSE(form.Timer1->isActive());
            EXPECT_EQ(savedValues().size(), 18);  // the exit sequence ran
        }
        Datasets::shared().closeAll();
        QFile::remove(work.filePath("resize.dat"));
    }
}

TEST_F(MainWindowStartTest, LoginDialogTakesTheUserAndPasswordOnEnterAndIsNotOfferedAgain) {
    TForm11 login;
    Screens::shared().Form11 = &login;
    DatabaseConnection::shared().setLogin(QString(), QString());
    EXPECT_EQ(login.MaskEdit2->text(), "root");
    EXPECT_EQ(login.MaskEdit1->echoMode(), QLineEdit::Password);
    int shown = 0;
    QObject::connect(&login, &QDialog::finished, [&] { ++shown; });
    const auto typeAndPressEnter = [&](const QString& password) {
        QTimer::singleShot(0, &login, [&login, password] {
            login.MaskEdit1->setText(password);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(login.MaskEdit1, &enter);
        });
    };

    typeAndPressEnter(QStringLiteral("wrong"));
    {
        TForm1 form;
        start(form);
        EXPECT_EQ(shown, 1);
        EXPECT_EQ(dialogs.messages(), QStringList{kConnectionFailedMessage});
        EXPECT_FALSE(form.isVisible());
    }
    Datasets::shared().closeAll();
    dialogs.clear();

    typeAndPressEnter(testDbParams().password);
    TForm1 form;
    start(form);
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(dialogs.calls().empty()) << dialogs.texts().join(" | ").toStdString();
    EXPECT_TRUE(Datasets::shared().abons.isOpen());
    EXPECT_EQ(DatabaseConnection::shared().userName(), "root");
}

TEST_F(MainWindowStartTest, SaveQuestionAtExit) {
    exec("insert into abons (Id, Name1) values (1, 'Старое')");
    struct Case {
        Answer answer;
        bool staysOpen;
        QString nameInDatabase;
    } cases[] = {
        {Answer::Cancel, true, "Старое"},
        {Answer::No, false, "Старое"},
        {Answer::Yes, false, "Новое"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        exec("update abons set Name1 = 'Старое'");
        QFile::remove(work.filePath("resize.dat"));
        TForm1 form;
        start(form);
        ClientDataSet& ds = form.ClientDataSet1;
        // Leave a change unsent, as a failed apply step does.
        ds.afterPost = nullptr;
        ds.afterEdit = nullptr;
        ds.first();
        ds.setValue(QStringLiteral("Name1"), QStringLiteral("Новое"));  // still in editing: the exit posts it
        form.cxGrid2->horizontalHeader()->resizeSection(TForm1::cxGrid2DBTableView1Name1, 140);
        dialogs.clear();
        dialogs.answer(c.answer);

        EXPECT_EQ(form.close(), !c.staysOpen);

        ASSERT_EQ(dialogs.calls().size(), 1u);
        EXPECT_EQ(dialogs.calls()[0].kind, test::DialogCall::Question);
        EXPECT_EQ(dialogs.calls()[0].text, "Сохранить изменения?");
        EXPECT_EQ(dialogs.calls()[0].caption, "Внимание");
        EXPECT_EQ(dialogs.calls()[0].buttons, Buttons::YesNoCancel);
        EXPECT_EQ(dialogs.calls()[0].icon, Icon::Warning);
        EXPECT_EQ(form.isVisible(), c.staysOpen);
        EXPECT_EQ(scalar("select Name1 from abons where Id = 1").toString(), c.nameInDatabase);
        // resize.dat is written whatever the answer.
        const QList<qint32> saved = savedValues();
        ASSERT_EQ(saved.size(), 18);
        EXPECT_EQ(saved[2], form.width());
        EXPECT_EQ(saved[3], form.height() - 17);
        EXPECT_EQ(saved[5], 140);
        Datasets::shared().closeAll();
    }
}

TEST_F(MainWindowStartTest, ChangesThatCannotBeSavedAtExitKeepTheProgramOpen) {
    exec("insert into abons (Id, Name1) values (1, 'Старое')");
    TForm1 form;
    start(form);
    ClientDataSet& ds = form.ClientDataSet1;
    ds.afterPost = nullptr;
    ds.afterEdit = nullptr;
    ds.first();
    ds.setValue(QStringLiteral("Name1"), QStringLiteral("Новое"));
    ds.post();
    exec("drop table abons");  // the apply step fails
    dialogs.clear();
    dialogs.answer(Answer::Yes);

    EXPECT_FALSE(form.close());

    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(dialogs.calls().size(), 2u);
    EXPECT_EQ(dialogs.calls()[1].kind, test::DialogCall::Message);
    EXPECT_EQ(dialogs.calls()[1].icon, Icon::Error);
    EXPECT_GT(ds.changeCount(), 0);
    EXPECT_EQ(savedValues().size(), 18);
}

TEST_F(MainWindowStartTest, SavedLayoutIsRestored) {
    QList<qint32> values{40, 50, 900, 500};
    for (int c = 0; c < TForm1::ColumnCount; ++c) values << 30 + c;
    struct Case {
        int count;
        bool windowPlaced;
        int columnsRestored;
    } cases[] = {{18, true, 14}, {17, true, 13}, {3, true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        writeFile("resize.dat", int32s(values.mid(0, c.count)));
        TForm1 form;
        EXPECT_EQ(form.pos(), QPoint(40, 50));
        EXPECT_EQ(form.width(), 900);
        QHeaderView* header = form.cxGrid2->horizontalHeader();
        for (int col = 0; col < TForm1::ColumnCount; ++col) {
            if (col < c.columnsRestored) EXPECT_EQ(header->sectionSize(col), 30 + col) << col;
            else EXPECT_NE(header->sectionSize(col), 30 + col) << col;  // the design width
        }
        // Each filter box lies under its column and is as wide as it.
        int left = 0;
        const QList<QWidget*> boxes{form.cxMaskEdit1, form.cxTextEdit1, form.cxTextEdit2, form.cxTextEdit3,
                                    form.cxTextEdit4, form.cxTextEdit5, form.cxTextEdit6, form.cxTextEdit7,
                                    form.cxTextEdit8, form.cxTextEdit9, form.cxDateEdit1, form.cxComboBox1,
                                    form.cxMaskEdit2, form.cxTextEdit10};
        for (int col = 0; col < TForm1::ColumnCount; ++col) {
            EXPECT_EQ(boxes[col]->x(), left) << col;
            EXPECT_EQ(boxes[col]->width(), header->sectionSize(col)) << col;
            left += header->sectionSize(col);
        }
        for (QPushButton* b : {form.Button4, form.Button5}) {
            EXPECT_EQ(b->x(), form.cxMaskEdit2->x() + 4);
            EXPECT_EQ(b->width(), form.cxDateEdit1->width() + form.cxComboBox1->width());
        }
    }
}

TEST_F(MainWindowStartTest, DamagedLayoutIsIgnoredRatherThanApplied) {
    QList<qint32> values{-90000, 90000, -5, 0};
    for (int c = 0; c < TForm1::ColumnCount; ++c) values << -1;
    writeFile("resize.dat", int32s(values));
    TForm1 form;
    EXPECT_EQ(form.pos(), QPoint(30, 30));
    EXPECT_GT(form.width(), 500);
    for (int col = 0; col < TForm1::ColumnCount; ++col) EXPECT_GT(form.cxGrid2->horizontalHeader()->sectionSize(col), 4);
}

TEST_F(MainWindowStartTest, MenuVersionAndProgressLine) {
    TForm1 form;
    EXPECT_FALSE(form.N13->isVisible());
    form.N11->trigger();
    EXPECT_EQ(dialogs.messages(), QStringList{"Версия 2.18 от 26.02.2013"});

    form.show();
    form.Label1->show();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(form.Label1, &press);
    QCoreApplication::sendEvent(form.Label1, &release);
    EXPECT_FALSE(form.Label1->isVisible());
}

}  // namespace
