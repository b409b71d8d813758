// The settings file: what the start-up load makes of it, saving every option in one write (all
// of them or none), values that must come back exactly, and the window's place.

#include "faultsupport.h"
#include "settings/settingsstore.h"

#include <QTemporaryDir>
#include <QTest>

using namespace quorvik;
using namespace quorvik::faults;

class SettingsStoreTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString ini() const { return dir_.filePath(QStringLiteral("zelbrin.ini")); }
    SettingsStore storeWith(const QByteArray& contents)
    {
        QFile::remove(ini());
        if (!contents.isNull())
            WriteBytes(ini(), contents);
        return SettingsStore(ini());
    }

private slots:
    // Whatever the file holds (truncated, garbage, binary bytes, invalid UTF-8), the values
    // load as the start-up load reads them, the defaults where a value is unusable.
    void load_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("textLen");
        QTest::addColumn<QString>("cellSep");  // as the conversion uses it
        QTest::addColumn<QString>("bullet");
        QTest::addColumn<QString>("links");    // web, mail, news
        QTest::newRow("no file") << QByteArray() << 80 << "," << "*" << "000";
        QTest::newRow("empty") << QByteArray("") << 80 << "," << "*" << "000";
        QTest::newRow("72.5 rounds to even") << QByteArray("[Startup]\nTextLen=72.5") << 72 << "," << "*" << "000";
        QTest::newRow("73.5 rounds to even") << QByteArray("[Startup]\nTextLen=73.5") << 74 << "," << "*" << "000";
        QTest::newRow("hexadecimal") << QByteArray("[Startup]\nTextLen=&H40") << 64 << "," << "*" << "000";
        QTest::newRow("garbage values") << QByteArray("[Startup]\nTextLen=lots\nWWWLinks=yes\nMailLinks=&Hzz\n"
                                                      "NewsLinks=--1\nBulletChar=\n") << 80 << "," << "" << "000";
        QTest::newRow("beyond 16 bits") << QByteArray("[Startup]\nTextLen=32768\nWWWLinks=1e9\nMailLinks=7\n"
                                                      "NewsLinks=99999") << 80 << "," << "*" << "070";
        QTest::newRow("none is one space") << QByteArray("[Startup]\nTableCellSep=none") << 80 << " " << "*" << "000";
        QTest::newRow("None is literal") << QByteArray("[Startup]\nTableCellSep=None") << 80 << "None" << "*" << "000";
        QTest::newRow("empty delimiter") << QByteArray("[Startup]\nTableCellSep=") << 80 << "" << "*" << "000";
        QTest::newRow("case of keys and sections") << QByteArray("; c\r\n[startup]\r\n  textlen = 66 \r\nwwwLINKS=1\r\n")
                                                   << 66 << "," << "*" << "100";
        QTest::newRow("other section") << QByteArray("[Window]\nTextLen=10\nWWWLinks=1") << 80 << "," << "*" << "000";
        QTest::newRow("truncated") << QByteArray("[Startup]\nTextLen=60") << 60 << "," << "*" << "000";
        QTest::newRow("truncated in quotes") << QByteArray("[Startup]\nBulletChar=\"-") << 80 << "," << "\"-" << "000";
        QTest::newRow("truncated header") << QByteArray("[Start") << 80 << "," << "*" << "000";
        QTest::newRow("binary bytes") << QByteArray("[Startup]\nTextLen=40\n\0\xff\xfe garbage", 30) << 80 << ","
                                      << "*" << "000";
        QTest::newRow("invalid UTF-8") << QByteArray("[Startup]\nTextLen=40\nBulletChar=\xff\xfe\n") << 40 << ","
                                       << QStringLiteral("\ufffd\ufffd") << "000";
    }
    void load()
    {
        QFETCH(QByteArray, file);
        const SettingValues v = LoadSettingValues(storeWith(file));
        QTEST(v.TextLen, "textLen");
        QTEST(TableCellSepValue(v.TableCellSep), "cellSep");
        QTEST(v.BulletChar, "bullet");
        QTEST(QStringLiteral("%1%2%3").arg(v.LinkSettings[0]).arg(v.LinkSettings[1]).arg(v.LinkSettings[2]), "links");
    }

    // One entry per key, whatever letter case the file had; other sections and comments stay.
    // Blanks at the ends, quotes, backslashes, line breaks, tabs, INI syntax and other scripts:
    // a value comes back exactly as it was saved, and an empty one stays empty.
    void saveValues_replacesEveryKeyOnce()
    {
        SettingsStore store = storeWith("; mine\n[Other]\nTextLen=10\n[STARTUP]\nnewsLinks=0\nNEWSLINKS=0\n");
        SettingValues v;
        v.TextLen = 60;
        v.TableCellSep = QString();
        v.BulletChar = QStringLiteral("  \"a\" C:\\x\\n\r\n\tb =;#[x] \u2022\u00e9 ");
        v.LinkSettings = {0, 1, 1};
        v.sCleanChar[3] = QStringLiteral("&nbsp;");
        v.Readable = true;
        QVERIFY(SaveSettingValues(store, v, nullptr));
        const SettingValues back = LoadSettingValues(SettingsStore(ini()));
        QCOMPARE(back.TextLen, 60);
        QCOMPARE(back.TableCellSep, QString());  // not the default
        QCOMPARE(back.BulletChar, v.BulletChar);
        QCOMPARE(back.LinkSettings, v.LinkSettings);
        QCOMPARE(back.sCleanChar, v.sCleanChar);
        QVERIFY(back.Readable);
        const QByteArray bytes = ReadBytes(ini());
        QVERIFY(bytes.startsWith("; mine\n[Other]\nTextLen=10\n"));
        for (const KeyInfo& key : kSettingKeys) {
            if (QByteArray(key.section) == "Startup")
                QCOMPARE(bytes.toLower().count(QByteArray(key.name).toLower() + '='), key.key == Key::TextLen ? 2 : 1);
        }
    }

    // A write that fails part way (a full disk) leaves the file as it was: no option is saved.
    void failedSave_keepsEveryOldValue()
    {
        storeWith("[Startup]\nTextLen=40\nBulletChar=-\n");
        const QByteArray before = ReadBytes(ini());
        const int status = RunWithFileSizeLimit(before.size() + 40, [this] {
            SettingsStore store(ini());
            SettingValues v;
            v.sCleanChar[3] = QString(200, u'x');
            QString reason;
            const bool ok = SaveSettingValues(store, v, &reason);
            return !ok && !reason.isEmpty() ? 0 : 1;
        });
        QCOMPARE(status, 0);
        QCOMPARE(ReadBytes(ini()), before);
        QString reason;
        SettingsStore blocked(dir_.filePath(QStringLiteral("zelbrin.ini/inner.ini")));
        QVERIFY(!SaveSettingValues(blocked, SettingValues(), &reason));
        QVERIFY(!reason.isEmpty());
    }

    // The window's place loads only when every number can be read and the size is not empty.
    void windowPlacement_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QRect>("geometry");  // null: none saved
        QTest::newRow("never saved") << QByteArray("[Startup]\nTextLen=40") << QRect();
        QTest::newRow("saved, maximized") << QByteArray("[window]\nleft=-5\nTop=20\nWidth=700\nHeight=500\nMaximized=1")
                                          << QRect(-5, 20, 700, 500);
        QTest::newRow("a number unreadable") << QByteArray("[Window]\nLeft=5\nTop=x\nWidth=700\nHeight=500") << QRect();
        QTest::newRow("no size") << QByteArray("[Window]\nLeft=5\nTop=5\nWidth=0\nHeight=500") << QRect();
    }
    void windowPlacement()
    {
        QFETCH(QByteArray, file);
        QFETCH(QRect, geometry);
        const WindowPlacement p = LoadWindowPlacement(storeWith(file));
        QCOMPARE(p.saved, !geometry.isNull());
        if (p.saved)
            QCOMPARE(p.geometry, geometry);
        QCOMPARE(p.maximized, p.saved);
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "settingsstore_test.moc"
