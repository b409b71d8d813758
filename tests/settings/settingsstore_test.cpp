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
    void load_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("textLen");
        QTest::addColumn<QString>("cellSep");  // as the conversion uses it
        QTest::addColumn<int>("webLinks");
        QTest::newRow("no file") << QByteArray() << 80 << "," << 0;
        QTest::newRow("72.5 rounds to even") << QByteArray("[Startup]\nTextLen=72.5") << 72 << "," << 0;
        QTest::newRow("73.5 rounds to even") << QByteArray("[Startup]\nTextLen=73.5") << 74 << "," << 0;
        QTest::newRow("hexadecimal") << QByteArray("[Startup]\nTextLen=&H40") << 64 << "," << 0;
        QTest::newRow("not a number") << QByteArray("[Startup]\nTextLen=wide\nWWWLinks=yes") << 80 << "," << 0;
        QTest::newRow("beyond 16 bits") << QByteArray("[Startup]\nTextLen=32768\nWWWLinks=99999") << 80 << "," << 0;
        QTest::newRow("none is one space") << QByteArray("[Startup]\nTableCellSep=none") << 80 << " " << 0;
        QTest::newRow("None is literal") << QByteArray("[Startup]\nTableCellSep=None") << 80 << "None" << 0;
        QTest::newRow("empty delimiter") << QByteArray("[Startup]\nTableCellSep=") << 80 << "" << 0;
        QTest::newRow("case of keys and sections") << QByteArray("; c\r\n[startup]\r\n  textlen = 66 \r\nwwwLINKS=1\r\n")
                                                   << 66 << "," << 1;
        QTest::newRow("other section") << QByteArray("[Window]\nTextLen=10\nWWWLinks=1") << 80 << "," << 0;
    }
    void load()
    {
        QFETCH(QByteArray, file);
        const SettingValues v = LoadSettingValues(storeWith(file));
        QTEST(v.TextLen, "textLen");
        QTEST(TableCellSepValue(v.TableCellSep), "cellSep");
        QTEST(v.LinkSettings[0], "webLinks");
    }

    // One entry per key, whatever letter case the file had; other sections and comments stay.
    void saveValues_replacesEveryKeyOnce()
    {
        SettingsStore store = storeWith("; mine\n[Other]\nTextLen=10\n[STARTUP]\nnewsLinks=0\nNEWSLINKS=0\n");
        SettingValues v;
        v.TextLen = 60;
        v.TableCellSep = QStringLiteral("none");
        v.LinkSettings = {0, 1, 1};
        v.sCleanChar[3] = QStringLiteral("&nbsp;");
        QVERIFY(SaveSettingValues(store, v, nullptr));
        const SettingValues back = LoadSettingValues(store);
        QCOMPARE(back.TextLen, 60);
        QCOMPARE(back.TableCellSep, QStringLiteral("none"));
        QCOMPARE(back.LinkSettings, v.LinkSettings);
        QCOMPARE(back.sCleanChar, v.sCleanChar);
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

    // Blanks at the ends, quotes, backslashes, line breaks, tabs, INI syntax and other
    // scripts: a value comes back exactly as it was saved.
    void values_comeBackExactly()
    {
        const QString value = QStringLiteral("  \"a\" C:\\x\\n\r\n\tb =;#[x] \u2022\u00e9 ");
        SettingsStore store = storeWith({});
        QVERIFY(store.Save({{Key::BulletChar, value}, {Key::TableCellSep, QString()}}));
        QCOMPARE(SettingsStore(ini()).Get(Key::BulletChar), value);
        QCOMPARE(store.Get(Key::TableCellSep), QString());  // empty, not the default
    }

    void windowPlacement_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("never saved") << QByteArray("[Startup]\nTextLen=40") << false << QRect() << false;
        QTest::newRow("saved") << QByteArray("[window]\nleft=-5\nTop=20\nWidth=700\nHeight=500\nMaximized=1") << true
                               << QRect(-5, 20, 700, 500) << true;
        QTest::newRow("a number unreadable") << QByteArray("[Window]\nLeft=5\nTop=x\nWidth=700\nHeight=500") << false
                                             << QRect() << false;
        QTest::newRow("no size") << QByteArray("[Window]\nLeft=5\nTop=5\nWidth=0\nHeight=500") << false << QRect()
                                 << false;
    }
    void windowPlacement()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, saved);
        SettingsStore store = storeWith(file);
        const WindowPlacement p = LoadWindowPlacement(store);
        QCOMPARE(p.saved, saved);
        if (saved) {
            QTEST(p.geometry, "geometry");
            QTEST(p.maximized, "maximized");
            QVERIFY(SaveWindowPlacement(store, {true, QRect(1, 2, 3, 4), false}, nullptr));
            QCOMPARE(LoadWindowPlacement(store).geometry, QRect(1, 2, 3, 4));
            QCOMPARE(LoadSettingValues(store).TextLen, 80);
        }
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "settingsstore_test.moc"
