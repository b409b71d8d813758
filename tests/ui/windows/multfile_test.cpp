// The multiple file selection window: lists that follow each other, Command1, and the batch
// conversion with its result lines, its question about existing files and its refusals.

#include "ui/windows/multfile.h"
#include "ui/scripteddialogs.h"
#include "support/files.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace quorvik;
using namespace quorvik::testing;

namespace {

const char* const kBadDrive = "/quorvik-no-such-drive";

QStringList Items(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

}  // namespace

class TestMultFile : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString docs_;
    QString out_;
    SettingValues values_;
    FixedLinkSwitches links_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<MultFile> window_;

    template <typename T>
    T* child(const char* name) { return window_->findChild<T*>(QLatin1String(name)); }
    QListWidget* files() { return child<QListWidget>("File1"); }
    QListWidget* folders() { return child<QListWidget>("Dir1"); }
    QStringList resultLines() { return Items(child<QListWidget>("ResultList")); }

private slots:
    void init()
    {
        dialogs_.reset();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QDir root(dir_->path());
        QVERIFY(root.mkpath("docs/sub") && root.mkpath("out"));
        docs_ = QDir(root.filePath("docs")).canonicalPath();
        out_ = QDir(root.filePath("out")).canonicalPath();
        QVERIFY(WriteBytes(docs_ + "/a.html", "<html><title>Alpha</title><p>First</p></html>\r\n"));
        QVERIFY(WriteBytes(docs_ + "/b.htm", "<p>Second</p>\r\n"));
        QVERIFY(WriteBytes(docs_ + "/c.html", "<p>Third</p>\r\n"));
        QVERIFY(WriteBytes(docs_ + "/notes.txt", "plain\r\n"));
        QVERIFY(WriteBytes(docs_ + "/sub/inner.html", "<p>Inner</p>\r\n"));
        const QList<Drive> drives{{"/", "/"}, {kBadDrive, kBadDrive}, {dir_->path(), "temporary"}};
        window_ = std::make_unique<MultFile>(values_, links_, dialogs_, nullptr, drives, docs_);
        window_->setOutputFolder(out_);
        window_->show();
    }
    void cleanup()
    {
        window_.reset();
        QVERIFY2(dialogs_.unexpected().isEmpty(), qPrintable(dialogs_.unexpected().join(u'\n')));
        QVERIFY2(dialogs_.leftover().isEmpty(), qPrintable(dialogs_.leftover().join(u'\n')));
    }

    void convertedName_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("converted");
        QTest::newRow("html") << "/x/page.html" << "page.txt";
        QTest::newRow("two dots") << "/x/a.b.htm" << "a.b.txt";
        QTest::newRow("no extension") << "/x/README" << "README.txt";
        QTest::newRow("dot file") << "/x/.profile" << ".profile.txt";
        QTest::newRow("dot in folder only") << "/x.d/page" << "page.txt";
    }
    void convertedName()
    {
        QFETCH(QString, document);
        QTEST(ConvertedName(document), "converted");
    }

    void lists_followTheFolder()
    {
        QCOMPARE(window_->folderPath(), docs_);
        QCOMPARE(Items(files()), (QStringList{"a.html", "b.htm", "c.html", "notes.txt"}));
        QVERIFY(Items(folders()).last().trimmed() == "sub");
        QCOMPARE(child<QComboBox>("Drive1")->currentIndex(), 2);  // the temporary folder's drive

        // Opening the sub-folder moves the file list with it.
        QListWidgetItem* sub = folders()->item(folders()->count() - 1);
        emit folders()->itemActivated(sub);
        QCOMPARE(window_->folderPath(), docs_ + "/sub");
        QCOMPARE(Items(files()), QStringList{"inner.html"});
    }

    void driveChange_movesToTheDrive_orStaysWhenNotReady()
    {
        auto* drive = child<QComboBox>("Drive1");
        drive->setCurrentIndex(1);
        window_->Drive1_Change();
        QCOMPARE(window_->folderPath(), docs_);
        QCOMPARE(drive->currentIndex(), 2);
        QVERIFY(dialogs_.shown().empty());

        drive->setCurrentIndex(0);
        window_->Drive1_Change();
        QCOMPARE(window_->folderPath(), QString("/"));
        QCOMPARE(drive->currentIndex(), 0);
    }

    void command1_composesThePath()
    {
        files()->setCurrentRow(1);
        QCOMPARE(window_->Command1_Click(), docs_ + "/b.htm");
        // The folder entry at the list's current index, as the list shows it highlighted.
        folders()->setCurrentRow(folders()->currentRow() - 1);
        QCOMPARE(window_->Command1_Click(), QFileInfo(docs_).absolutePath() + "/b.htm");
        files()->setCurrentRow(-1);
        QCOMPARE(window_->Command1_Click(), QString());
        QVERIFY(QDir(out_).isEmpty());
    }

    // A batch: one result line per chosen file in the order of the file list, then the count;
    // existing outputs asked about once; outputs that must not be written, and refusals.
    void batch_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<int>("answer");         // to the question about existing outputs; -1: none
        QTest::addColumn<QStringList>("lines");  // each result line starts so; one line: a refusal
        const QStringList abc{"c.html", "a.html", "b.htm"};
        QTest::newRow("one file gone") << "gone" << abc << -1
                                       << QStringList{"a.html: converted to a.txt", "b.htm: converted to b.txt",
                                                      "c.html: not converted - "};
        QTest::newRow("existing replaced") << "old" << abc << int(Answer::Yes)
                                           << QStringList{"a.html: converted", "b.htm: converted", "c.html: converted"};
        QTest::newRow("existing kept") << "old" << abc << int(Answer::No)
                                       << QStringList{"a.html: skipped - a.txt already exists",
                                                      "b.htm: skipped - b.txt already exists", "c.html: converted"};
        QTest::newRow("two documents, one name") << "twins" << QStringList{"a.html", "a.htm"} << -1
                                                 << QStringList{"a.htm: converted",
                                                                "a.html: not converted - a.txt is already written by a.htm"};
        QTest::newRow("the document itself") << "itself" << QStringList{"notes.txt"} << -1
                                             << QStringList{"notes.txt: not converted - notes.txt would replace the "
                                                            "document itself"};
        QTest::newRow("a folder of that name") << "folder" << QStringList{"a.html"} << -1
                                               << QStringList{"a.html: not converted - a.txt is a folder"};
        QTest::newRow("no file chosen") << "" << QStringList() << -1 << QStringList{"Choose one or more files"};
        QTest::newRow("no output folder") << "nowhere" << abc << -1 << QStringList{"does not exist"};
    }
    void batch()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, chosen);
        QFETCH(int, answer);
        QFETCH(QStringList, lines);
        if (setup == "gone") {
            window_->selectFiles(chosen);
            QVERIFY(QFile::remove(docs_ + "/c.html"));  // between choosing and converting
        } else if (setup == "old") {
            QVERIFY(WriteBytes(out_ + "/a.txt", "old") && WriteBytes(out_ + "/b.txt", "old"));
        } else if (setup == "twins") {
            QVERIFY(WriteBytes(docs_ + "/a.htm", "<p>Other</p>\r\n"));
            window_->setFolderPath(docs_);
        } else if (setup == "itself") {
            window_->setOutputFolder(docs_);
        } else if (setup == "folder") {
            QVERIFY(QDir(out_).mkdir("a.txt"));
        } else if (setup == "nowhere") {
            window_->setOutputFolder(docs_ + "/notes.txt");
        }
        window_->selectFiles(chosen);
        if (answer >= 0)
            dialogs_.answerMessage(Answer(answer));
        const bool refused = setup.isEmpty() || setup == "nowhere";
        if (refused)
            dialogs_.answerMessage(Answer::Ok);
        const QList<BatchResult> results = window_->Convert();
        QCOMPARE(ReadBytes(docs_ + "/notes.txt"), QByteArray("plain\r\n"));
        if (refused) {
            QVERIFY(results.isEmpty());
            QVERIFY2(dialogs_.shownTexts().value(0).contains(lines[0]), qPrintable(dialogs_.shownTexts().value(0)));
            QVERIFY(QDir(out_).isEmpty());
            return;
        }
        QCOMPARE(results.size(), lines.size());
        for (int i = 0; i < lines.size(); ++i)
            QVERIFY2(results[i].line.startsWith(lines[i]), qPrintable(results[i].line));
        int converted = 0;
        for (const BatchResult& r : results)
            converted += r.converted ? 1 : 0;
        QCOMPARE(resultLines().last(), QString("%1 of %2 files converted into %3.").arg(converted).arg(lines.size())
                                           .arg(window_->outputFolder()));
        QCOMPARE(child<QProgressBar>("ConvertProgress")->value(), lines.size());
        if (answer >= 0) {  // asked once, naming every existing output
            QCOMPARE(dialogs_.shownTexts().size(), 1);
            QVERIFY(dialogs_.shownTexts()[0].contains("a.txt") && dialogs_.shownTexts()[0].contains("b.txt"));
            QCOMPARE(ReadBytes(out_ + "/a.txt") == "old", answer == int(Answer::No));
        } else {
            QVERIFY(dialogs_.shown().empty());
        }
        const QByteArray a = setup == "twins" ? "Other" : answer == int(Answer::No) ? "old" : "First";
        if (setup != "itself" && setup != "folder")
            QVERIFY(ReadBytes(window_->outputFolder() + "/a.txt").contains(a));
    }

    void outputFolder_isChosenThroughTheFolderChooser()
    {
        dialogs_.answerFolder(docs_ + "/sub");
        QTest::mouseClick(child<QPushButton>("cmdOutputFolder"), Qt::LeftButton);
        QCOMPARE(window_->outputFolder(), docs_ + "/sub");
        dialogs_.cancelFolder();
        QTest::mouseClick(child<QPushButton>("cmdOutputFolder"), Qt::LeftButton);  // cancelled
        QCOMPARE(window_->outputFolder(), docs_ + "/sub");
        // A chosen output folder no longer follows the folder list.
        window_->setFolderPath(out_);
        QCOMPARE(window_->outputFolder(), docs_ + "/sub");
    }
};

QTEST_MAIN(TestMultFile)
#include "multfile_test.moc"
