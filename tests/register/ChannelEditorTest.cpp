// The subscriber channel editor on the real database: what its opening shows and what its save stores.
#include "RegisterFixture.h"

#include "data/ClientDataSet.h"
#include "register/ChannelNames.h"
#include "ui/ChannelMatrix.h"
#include "ui/TForm2.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>

using namespace kavrin;
using namespace kavrin::test;

namespace {

// A channel table row for the stream, its positions named by `names` ("-" where missing).
void insertStream(int stream, const QStringList& names) {
    QStringList columns{QStringLiteral("NStream")};
    QStringList marks{QStringLiteral("?")};
    for (int j = 0; j < names.size(); ++j) {
        columns << QStringLiteral("kan_%1").arg(j);
        marks << QStringLiteral("?");
    }
    QSqlQuery q;
    q.prepare(QStringLiteral("insert into kanals (%1) values (%2)").arg(columns.join(','), marks.join(',')));
    q.addBindValue(stream);
    for (const QString& n : names) q.addBindValue(n);
    ASSERT_TRUE(q.exec());
}

int word(int id, int stream) {
    return scalar(QStringLiteral("select `64_%1` from abons where Id=%2").arg(stream).arg(id)).toInt();
}

}  // namespace

class ChannelEditorTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        insertStream(1, {"Первый", "Второй", "-", "Спорт"});
        insertStream(2, {"Кино"});
        insertStream(5, {"Новости", "Музыка"});
    }
    // Opens the editor on subscriber `id`.
    void openOn(int id) {
        if (!ds->abons.isOpen()) openRegister();
        ASSERT_TRUE(ds->abons.locate(QStringLiteral("Id"), id));
        form = std::make_unique<TForm2>(*reg);
        form->show();
    }
    bool ticked(int stream, int position) const {
        return form->matrix->checkBox(16 * stream + position + 1)->isChecked();
    }
    void tick(int stream, int position, bool on = true) {
        form->matrix->checkBox(16 * stream + position + 1)->setChecked(on);
    }
    void choosePackage(int id) {
        const int index = form->DBLookupComboBox1->findData(id);
        ASSERT_GE(index, 0);
        form->DBLookupComboBox1->setCurrentIndex(index);
        emit form->DBLookupComboBox1->activated(index);
    }

    std::unique_ptr<TForm2> form;
};

TEST_F(ChannelEditorTest, OpeningLaysOutStreamsSideBySideAndNamesTheChannels) {
    insertSubscriber(1, 1, 0, {{1, 0b1010}, {5, 1}, {7, 4}});
    insertSlot(1, 1, 1);
    openOn(1);
    const int w = matrix_column_width(7);  // "Новости" is the longest name
    ChannelMatrix& m = *form->matrix;
    EXPECT_EQ(m.checkBox(17)->x(), 6);
    EXPECT_EQ(m.label(17)->x(), 26);
    EXPECT_EQ(m.checkBox(33)->x(), w + 6);
    EXPECT_EQ(m.checkBox(81)->x(), 2 * w + 6);
    EXPECT_EQ(m.label(81 + 15)->x(), 2 * w + 26);
    EXPECT_EQ(m.checkBox(17 + 3)->y() - m.checkBox(17)->y(), 48);

    EXPECT_EQ(m.label(18)->text(), QStringLiteral("Второй"));
    EXPECT_EQ(m.label(20)->text(), QStringLiteral("Спорт"));
    // A position named "-" shows a disabled box beside the untouched caption.
    EXPECT_FALSE(m.checkBox(19)->isEnabled());
    EXPECT_EQ(m.label(19)->text(), QStringLiteral("--------"));
    EXPECT_TRUE(m.checkBox(19)->isVisibleTo(form.get()));
    // Streams without a row stay hidden but keep their words.
    EXPECT_FALSE(m.checkBox(16 * 7 + 3)->isVisibleTo(form.get()));
    EXPECT_TRUE(ticked(7, 2));

    EXPECT_TRUE(ticked(1, 1) && ticked(1, 3) && !ticked(1, 0) && !ticked(1, 2));
    EXPECT_TRUE(ticked(5, 0));
    for (int s : {1, 2, 5, 62}) {
        EXPECT_TRUE(ticked(s, 15));
        EXPECT_FALSE(m.checkBox(16 * s + 16)->isEnabled());
    }
    EXPECT_EQ(form->DBText1->text(), QStringLiteral("1"));
    EXPECT_EQ(form->DBText2->text(), QStringLiteral("Абонент 1"));
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(ChannelEditorTest, AStreamWithAWrongNumberIsReportedAtEveryOpening) {
    insertStream(0, {"Ноль"});
    insertSubscriber(1, 1, 0);
    openOn(1);
    form->Button3Click();
    form->show();
    const QString text = QStringLiteral("Внимание! В базе каналов обнаружен ствол с неправильным номером!");
    EXPECT_EQ(dialogs.messages(), (QStringList{text, text}));
}

TEST_F(ChannelEditorTest, SavingNothingTickedStoresZeroWordsAndQueuesTheRecord) {
    insertSubscriber(1, 1, 300, {{1, 0x7FFF}, {2, 1}, {63, 5}});
    insertSlot(1, 1, 1);
    openOn(1);
    form->Button2Click();
    EXPECT_TRUE(ticked(1, 15) && !ticked(1, 0));
    form->Button4Click();

    EXPECT_FALSE(form->isVisible());
    for (int s : {1, 2, 40, 62}) EXPECT_EQ(word(1, s), 0);
    EXPECT_EQ(word(1, 63), 5);  // never written by the editor
    EXPECT_EQ(queuedTasks(), std::vector<TaskRow>{fullRecord(1, 1, 1, {{63, 5}}, 300)});
    EXPECT_EQ(ds->abons.changeCount(), 0);
    EXPECT_EQ(reg->edit_mode, 0);
}

TEST_F(ChannelEditorTest, SwitchedOffSubscriberIsSavedWithoutATask) {
    insertSubscriber(2, 0, 0);
    insertSlot(1, 1, 2);
    openOn(2);
    tick(5, 1);
    form->Button1Click();
    EXPECT_EQ(word(2, 5), 2);
    EXPECT_TRUE(queuedTasks().empty());
}

TEST_F(ChannelEditorTest, AddingTwoPackagesKeepsTheUnionAndEarlierTicks) {
    const int first = insertPackage(QStringLiteral("Первый"), {{1, 0b0001}, {5, 0b01}});
    const int second = insertPackage(QStringLiteral("Второй"), {{1, 0b1000}, {2, 0b1}});
    insertSubscriber(3, 0, 0, {{1, 0b0010}});
    openOn(3);
    choosePackage(first);
    form->Button5Click();
    choosePackage(second);
    form->Button5Click();
    EXPECT_TRUE(ticked(1, 0) && ticked(1, 1) && ticked(1, 3) && !ticked(1, 2));
    EXPECT_TRUE(ticked(2, 0) && ticked(5, 0));
    form->Button1Click();
    EXPECT_EQ(word(3, 1), 0b1011);
    EXPECT_EQ(word(3, 2), 1);
    EXPECT_EQ(word(3, 5), 1);
}

TEST_F(ChannelEditorTest, PackagePriorityIsShownOnReopeningAndOwnWordsKeepTheTicks) {
    insertPackage(QStringLiteral("Базовый"), {{1, 0b0100}});
    const int sport = insertPackage(QStringLiteral("Спорт"), {{2, 0b11}});
    insertSubscriber(4, 1, 50, {{1, 0b0001}});
    insertSlot(1, 1, 4);
    openOn(4);
    choosePackage(sport);
    form->cxCheckBox2->setChecked(true);
    tick(5, 1);
    form->Button4Click();

    QSqlQuery q = exec(QStringLiteral("select flag_packet_prioritet, id_selected_packet, selected_paket from abons"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
    EXPECT_EQ(q.value(1).toInt(), sport);
    EXPECT_EQ(q.value(2).toString(), QStringLiteral("Спорт"));
    EXPECT_EQ(word(4, 1), 1);
    EXPECT_EQ(word(4, 5), 2);
    EXPECT_EQ(queuedTasks(), std::vector<TaskRow>{fullRecord(1, 4, 1, {{2, 0b11}}, 50)});

    form->show();
    EXPECT_TRUE(form->cxCheckBox2->isChecked());
    EXPECT_EQ(form->DBLookupComboBox1->currentText(), QStringLiteral("Спорт"));
    EXPECT_TRUE(ticked(2, 0) && ticked(2, 1));
    EXPECT_FALSE(ticked(1, 0));
    EXPECT_FALSE(ticked(5, 1));
}

TEST_F(ChannelEditorTest, FeeIsWrittenIntoTheRowAndANegativeOneIsWarnedAbout) {
    insertSubscriber(6, 0, 0);
    openOn(6);
    EXPECT_FALSE(form->cxDBSpinEdit1->isEnabled());
    form->cxCheckBox1->setChecked(true);
    EXPECT_TRUE(form->cxDBSpinEdit1->isEnabled());
    form->cxDBSpinEdit1->setValue(-100);
    form->Button1Click();
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Внимание! Установлена абонплата меньше нуля!")});
    QSqlQuery q = exec(QStringLiteral("select flag_for_abonplata, abonplata from abons"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
    EXPECT_EQ(q.value(1).toInt(), -100);
}

TEST_F(ChannelEditorTest, OnlyTheExitButtonsClose) {
    insertSubscriber(7, 1, 0);
    openOn(7);
    form->close();
    form->reject();
    EXPECT_TRUE(form->isVisible());
    form->Button3Click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(queuedTasks().empty());
}
