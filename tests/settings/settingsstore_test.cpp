#include "settings/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace quorvik;

class SettingsStoreTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString iniPath() const { return dir_.filePath(QStringLiteral("cfg/zelbrin.ini")); }
    void writeFile(const QByteArray& bytes)
    {
        QFile f(dir_.filePath(QStringLiteral("raw.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void init() { QFile::remove(iniPath()); }

    void emptyStore_loadsDefaults()
    {
        const SettingValues v = LoadSettingValues(SettingsStore(iniPath()));
        QCOMPARE(v.TextLen, 80);
        QCOMPARE(v.TableCellSep, QStringLiteral(","));
        QCOMPARE(v.BulletChar, QStringLiteral("*"));
        for (const QString& s : v.sCleanChar)
            QVERIFY(s.isEmpty());
        QCOMPARE(v.LinkSettings, (std::array<int, 3>{0, 0, 0}));
        QVERIFY(!QFile::exists(iniPath()));  // reading writes nothing
    }

    void saveThenGet_keysIgnoreCase()
    {
        SettingsStore store(iniPath());
        QVERIFY(store.SaveSetting(QStringLiteral("NewsLinks"), QStringLiteral("0")));
        QVERIFY(store.SaveSetting(QStringLiteral("newsLinks"), QStringLiteral("1")));
        QCOMPARE(store.GetSetting(QStringLiteral("NEWSLINKS"), QStringLiteral("0")), QStringLiteral("1"));
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().toLower().count("newslinks"), 1);  // one entry, not two
        QCOMPARE(LoadSettingValues(store).LinkSettings[2], 1);
    }

    void values_roundTripExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << QStringLiteral("80");
        QTest::newRow("empty") << QString();
        QTest::newRow("one space") << QStringLiteral(" ");
        QTest::newRow("blanks at ends") << QStringLiteral("  - ");
        QTest::newRow("quotes") << QStringLiteral("\"a\" b \"");
        QTest::newRow("backslashes") << QStringLiteral("C:\\x\\n");
        QTest::newRow("line breaks and tab") << QStringLiteral("a\nb\r\tc");
        QTest::newRow("equals and semicolon") << QStringLiteral("=;#[x]");
        QTest::newRow("non-latin") << QStringLiteral("\u2022 \u00e9");
    }
    void values_roundTripExactly()
    {
        QFETCH(QString, value);
        SettingsStore store(iniPath());
        QVERIFY(store.SaveSetting(QStringLiteral("sCleanChar1"), value));
        QVERIFY(store.SaveSetting(QStringLiteral("BulletChar"), QStringLiteral("+")));
        QCOMPARE(SettingsStore(iniPath()).GetSetting(QStringLiteral("sCleanChar1"), QStringLiteral("default")), value);
        QCOMPARE(store.GetSetting(QStringLiteral("bulletchar"), QString()), QStringLiteral("+"));
    }

    void loadSettingValues_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("textLen");
        QTest::addColumn<QString>("cellSep");
        QTest::addColumn<int>("webLink");
        QTest::newRow("TextLen 72.5 rounds to even") << "TextLen" << "72.5" << 72 << "," << 0;
        QTest::newRow("TextLen 73.5 rounds to even") << "TextLen" << "73.5" << 74 << "," << 0;
        QTest::newRow("TextLen with blanks") << "TextLen" << " 6 0 " << 60 << "," << 0;
        QTest::newRow("TextLen zero") << "TextLen" << "0" << 0 << "," << 0;
        QTest::newRow("TextLen negative") << "TextLen" << "-5" << -5 << "," << 0;
        QTest::newRow("TextLen hex") << "TextLen" << "&H40" << 64 << "," << 0;
        QTest::newRow("TextLen garbage") << "TextLen" << "wide" << 80 << "," << 0;
        QTest::newRow("TextLen empty") << "TextLen" << "" << 80 << "," << 0;
        QTest::newRow("TextLen too big") << "TextLen" << "32768" << 80 << "," << 0;
        QTest::newRow("TextLen too small") << "TextLen" << "-32769" << 80 << "," << 0;
        QTest::newRow("TextLen huge exponent") << "TextLen" << "1e400" << 80 << "," << 0;
        QTest::newRow("none is one space") << "TableCellSep" << "none" << 80 << " " << 0;
        QTest::newRow("None is literal") << "TableCellSep" << "None" << 80 << "None" << 0;
        QTest::newRow("empty delimiter stays empty") << "TableCellSep" << "" << 80 << "" << 0;
        QTest::newRow("link 1") << "WWWLinks" << "1" << 80 << "," << 1;
        QTest::newRow("link 2 ticks too") << "wwwlinks" << "2" << 80 << "," << 2;
        QTest::newRow("link garbage is 0") << "WWWLinks" << "yes" << 80 << "," << 0;
        QTest::newRow("link beyond 16 bits is 0") << "WWWLinks" << "99999" << 80 << "," << 0;
    }
    void loadSettingValues()
    {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        SettingsStore store(iniPath());
        QVERIFY(store.SaveSetting(key, stored));
        const SettingValues v = LoadSettingValues(store);
        QTEST(v.TextLen, "textLen");
        QTEST(v.TableCellSep, "cellSep");
        QTEST(v.LinkSettings[0], "webLink");
    }

    void handWrittenFile_isRead()
    {
        QFile f(iniPath());
        QDir().mkpath(QFileInfo(iniPath()).absolutePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("; comment\r\n[Other]\r\nTextLen=10\r\n[startup]\r\n  textlen = 66 \r\nBulletChar=-\r\n");
        f.close();
        SettingsStore store(iniPath());
        const SettingValues v = LoadSettingValues(store);
        QCOMPARE(v.TextLen, 66);
        QCOMPARE(v.BulletChar, QStringLiteral("-"));
        // Saving keeps the other section and the comment.
        QVERIFY(store.SaveSetting(QStringLiteral("MailLinks"), QStringLiteral("1")));
        QCOMPARE(store.GetSetting(QStringLiteral("TextLen"), QString()), QStringLiteral("66"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.contains("; comment"));
        QVERIFY(bytes.contains("[Other]"));
        QVERIFY(bytes.contains("TextLen=10"));
    }

    void garbageFile_loadsDefaults()
    {
        QDir().mkpath(QFileInfo(iniPath()).absolutePath());
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        QByteArray junk(4096, '\0');
        for (int i = 0; i < junk.size(); ++i)
            junk[i] = static_cast<char>((i * 7919) & 0xff);
        f.write(junk);
        f.close();
        SettingsStore store(iniPath());
        QCOMPARE(LoadSettingValues(store).TextLen, 80);
        // Saving over it starts a clean store.
        QVERIFY(store.SaveSetting(QStringLiteral("TextLen"), QStringLiteral("70")));
        QCOMPARE(LoadSettingValues(store).TextLen, 70);
    }

    void unwritableStore_reportsReason()
    {
        QFile blocker(dir_.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        SettingsStore store(dir_.filePath(QStringLiteral("blocker/zelbrin.ini")));
        QString reason;
        QVERIFY(!store.SaveSetting(QStringLiteral("TextLen"), QStringLiteral("70"), &reason));
        QVERIFY(!reason.isEmpty());
        QCOMPARE(store.GetSetting(QStringLiteral("TextLen"), QStringLiteral("80")), QStringLiteral("80"));
    }

    void defaultLocation_isPerUserZelbrin()
    {
        QVERIFY(SettingsStore().path().endsWith(QStringLiteral("/zelbrin/zelbrin.ini")));
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "settingsstore_test.moc"
