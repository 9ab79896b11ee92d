// The register on the main window: posting a pending row when the focus leaves the grid, and the reload's
// progress line.
#include "RegisterFixture.h"

#include "data/Datasets.h"
#include "startup/DatabaseConnection.h"
#include "ui/TForm1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace kavrin;
using namespace kavrin::test;

namespace {

// Counts the times a widget was shown.
class ShowCounter : public QObject {
public:
    int shown = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show) ++shown;
        return false;
    }
};

}  // namespace

class RegisterWindowTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        previous_ = QDir::currentPath();
        QFile conf(work_.filePath(QStringLiteral("kavrin.conf")));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
        conf.write("127.0.0.1\n");
        conf.close();
        QDir::setCurrent(work_.path());
        const DbParams p = testDbParams();
        DatabaseConnection::shared().setPort(p.port);
        DatabaseConnection::shared().setLogin(p.user, p.password);
    }
    void TearDown() override {
        form.reset();
        Screens::shared() = Screens();
        Datasets::shared().closeAll();
        QDir::setCurrent(previous_);
    }
    // The main window, connected and showing the register.
    void openWindow() {
        form = std::make_unique<TForm1>();
        Screens::shared().Form1 = form.get();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitFor([] { return Datasets::shared().abons.isOpen(); }, 5000));
    }

    ScriptedDialogs dialogs;
    QTemporaryDir work_;
    QString previous_;
    std::unique_ptr<TForm1> form;
};

TEST_F(RegisterWindowTest, LeavingTheGridPostsTheRowBeingEdited) {
    insertSubscriber(5, 1, 0);
    insertSlot(1, 1, 5);
    openWindow();
    ClientDataSet& abons = Datasets::shared().abons;
    form->cxGrid2->setFocus();
    abons.setValue(QStringLiteral("Tel"), QStringLiteral("77-77"));
    form->cxTextEdit1->setFocus();  // a filter box of the same window
    QApplication::processEvents();
    EXPECT_EQ(abons.state(), ClientDataSet::State::Browse);
    EXPECT_EQ(scalar(QStringLiteral("select Tel from abons where Id=5")).toString(), QStringLiteral("77-77"));
    EXPECT_EQ(queuedTasks(), std::vector<TaskRow>{fullRecord(1, 5, 1, {}, 0)});
}

TEST_F(RegisterWindowTest, ReloadShowsItsProgressLineOnlyWhileItRuns) {
    openWindow();
    ShowCounter label;
    form->Label1->installEventFilter(&label);
    form->N6Click();  // an empty register: no progress line at all
    EXPECT_EQ(label.shown, 0);

    for (int id : {1, 2, 3}) insertSubscriber(id, id == 2 ? 0 : 1, 10 * id);
    Datasets::shared().abons.refresh();
    form->N6Click();
    EXPECT_EQ(label.shown, 1);
    EXPECT_EQ(form->Label1->text(), QStringLiteral("Задача: Перезагрузка базы"));
    EXPECT_TRUE(form->Label1->isHidden());
    EXPECT_TRUE(form->Gauge1->isHidden());
    EXPECT_EQ(form->Gauge1->maximum(), 3);
    EXPECT_EQ(slotMap().size(), 3u);
    EXPECT_EQ(queuedTasks()[1], allOffRecord(2, 2, 2, 20));
}
