// kavrin.conf and resize.dat: what the client makes of good, missing, damaged and foreign files.
#include "startup/ResizeFile.h"
#include "startup/ServerAddressFile.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace kavrin;
using kavrin::test::ScriptedDialogs;

namespace {

class StartupFilesTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    void writeBytes(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readBytes(const QString& name) {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QByteArray int32s(const QList<qint32>& values) {
        QByteArray bytes(values.size() * 4, '\0');
        for (int i = 0; i < values.size(); ++i) qToLittleEndian<qint32>(values[i], bytes.data() + i * 4);
        return bytes;
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
};

TEST_F(StartupFilesTest, MissingConfIsCreatedWithTheLocalAddressAndANote) {
    const ServerAddress a = readServerAddress(dir.path());
    EXPECT_EQ(a.host, "127.0.0.1");
    EXPECT_FALSE(a.closeWindow);
    EXPECT_TRUE(dialogs.calls().empty());
    const QString expected = QStringLiteral(
        "127.0.0.1\r\n\r\n// В первой строке этого файла должен быть указан ip-адрес сервера MySQL. Если сервер стоит "
        "на локальной машине, то нужно указывать адрес \"127.0.0.1\"\r\n");
    EXPECT_EQ(QString::fromUtf8(readBytes("kavrin.conf")), expected);
    // The file just written reads back as the same address, silently.
    EXPECT_EQ(readServerAddress(dir.path()).host, "127.0.0.1");
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(StartupFilesTest, ConfFirstLineChoosesTheHost) {
    struct Case {
        QByteArray content;
        QString host;
        bool closeWindow;
        QString message;
    } cases[] = {
        {"10.0.0.5\r\nignored.line\r\n", "10.0.0.5", false, {}},
        {"db.example.org", "db.example.org", false, {}},
        {"\xEF\xBB\xBF 192.168.1.2 \n", "192.168.1.2", false, {}},  // a BOM and spaces from a Windows editor
        {"dbserver\r\n", "dbserver", true, kWrongAddressMessage},
        {"\r\n127.0.0.1\r\n", "", true, kWrongAddressMessage},
        {"", "127.0.0.1", false, kUnreadableConfMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content.toStdString());
        dialogs.clear();
        writeBytes("kavrin.conf", c.content);
        const ServerAddress a = readServerAddress(dir.path());
        EXPECT_EQ(a.host, c.host);
        EXPECT_EQ(a.closeWindow, c.closeWindow);
        EXPECT_EQ(dialogs.messages(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
    }
}

TEST_F(StartupFilesTest, DamagedConfNeverCrashesAndReadsOnlyALine) {
    QByteArray junk(1 << 20, '\x9A');  // a megabyte without a line end, not valid UTF-8
    junk[10] = '.';
    writeBytes("kavrin.conf", junk);
    const ServerAddress a = readServerAddress(dir.path());
    EXPECT_LT(a.host.size(), 2048);
    EXPECT_TRUE(a.host.contains(QLatin1Char('.')));
}

TEST_F(StartupFilesTest, UnreadableConfFallsBackToTheLocalServer) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("kavrin.conf"));  // exists, but cannot be read as a file
    const ServerAddress a = readServerAddress(dir.path());
    EXPECT_EQ(a.host, "127.0.0.1");
    EXPECT_FALSE(a.closeWindow);
    EXPECT_EQ(dialogs.messages(), QStringList{kUnreadableConfMessage});
}

TEST_F(StartupFilesTest, ConfThatCannotBeCreatedKeepsTheDesignHost) {
    const ServerAddress a = readServerAddress(path("no/such/folder"), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(a.host, "127.0.0.1");
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].text, "Ошибка при создании файла \"kavrin.conf\".");
    EXPECT_EQ(dialogs.calls()[0].icon, Icon::Error);
}

TEST_F(StartupFilesTest, ResizeFileKeepsWhatWasReadWhole) {
    QList<qint32> all;
    for (int i = 0; i < 18; ++i) all << 100 + i;
    struct Case {
        QByteArray bytes;
        int values;
    } cases[] = {
        {int32s(all), 18},
        {int32s(all.mid(0, 17)), 17},         // older files lack the last width
        {int32s(all.mid(0, 3)), 3},
        {int32s(all.mid(0, 3)) + "\x01\x02", 3},  // a torn last value is not used
        {int32s(all) + int32s({7, 8}), 18},   // anything after the 18 values is ignored
        {QByteArray(), 0},
    };
    for (const Case& c : cases) {
        writeBytes("resize.dat", c.bytes);
        const auto values = readResizeFile(path("resize.dat"));
        ASSERT_TRUE(values.has_value());
        EXPECT_EQ(*values, all.mid(0, c.values));
    }
    EXPECT_FALSE(readResizeFile(path("missing.dat")).has_value());
}

TEST_F(StartupFilesTest, ResizeFileRoundTripIsLittleEndian) {
    std::array<int, kResizeColumnCount> widths{};
    for (int i = 0; i < kResizeColumnCount; ++i) widths[i] = 40 + i;
    const QList<qint32> values = resizeValues(-5, 30, 1060, 617, widths);
    ASSERT_TRUE(writeResizeFile(path("resize.dat"), values));
    const QByteArray bytes = readBytes("resize.dat");
    ASSERT_EQ(bytes.size(), 72);
    EXPECT_EQ(bytes.left(8), QByteArray::fromHex("fbffffff1e000000"));
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 12), 600);  // client height minus 17
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 68), 53);   // "Коммент"
    EXPECT_EQ(readResizeFile(path("resize.dat")).value(), values);
}

TEST_F(StartupFilesTest, ResizeFileThatCannotBeWrittenIsReported) {
    EXPECT_FALSE(writeResizeFile(path("no/such/folder/resize.dat"), {1, 2, 3}));
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].text, "Ошибка при создании файла \"resize.dat\".");
    EXPECT_EQ(dialogs.calls()[0].icon, Icon::Error);
}

TEST_F(StartupFilesTest, InsaneResizeValuesAreNotApplied) {
    const QRect desktop(0, 0, 1280, 1024);
    QList<qint32> values{40, 50, 900, 500};
    for (int i = 0; i < kResizeColumnCount; ++i) values << 60;
    SavedLayout good = saneLayout(values, desktop);
    EXPECT_EQ(good.left, 40);
    EXPECT_EQ(good.top, 50);
    EXPECT_EQ(good.clientWidth, 900);
    for (const auto& w : good.columnWidths) EXPECT_EQ(w, 60);

    values[0] = 30000;       // far right of the desktop
    values[1] = -2000;       // above it
    values[2] = -1;
    values[4] = -61;         // negative width
    values[5] = 0x7FFFFFFF;  // absurdly wide
    SavedLayout bad = saneLayout(values, desktop);
    EXPECT_FALSE(bad.left);
    EXPECT_FALSE(bad.top);
    EXPECT_FALSE(bad.clientWidth);
    EXPECT_FALSE(bad.columnWidths[0]);
    EXPECT_FALSE(bad.columnWidths[1]);
    EXPECT_EQ(bad.columnWidths[2], 60);

    SavedLayout shortFile = saneLayout(values.mid(0, 17), desktop);
    EXPECT_EQ(shortFile.columnWidths[12], 60);
    EXPECT_FALSE(shortFile.columnWidths[13]);
}

}  // namespace
