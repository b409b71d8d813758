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
        QFETCH(QString, converted);
        QCOMPARE(ConvertedName(document), converted);
    }

    void lists_followTheFolder()
    {
        QCOMPARE(window_->windowTitle(), QString("Multiple File Selection"));
        QCOMPARE(window_->folderPath(), docs_);
        QCOMPARE(Items(files()), (QStringList{"a.html", "b.htm", "c.html", "notes.txt"}));
        QCOMPARE(files()->selectionMode(), QAbstractItemView::ExtendedSelection);
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

    void batch_withOneUnreadableFile_convertsTheOthers()
    {
        window_->selectFiles({"a.html", "c.html", "b.htm"});
        QVERIFY(QFile::remove(docs_ + "/c.html"));  // gone between choosing and converting
        const QList<BatchResult> results = window_->Convert();

        // In the order of the file list, whatever the order of choosing.
        QCOMPARE(results.size(), 3);
        QVERIFY(results[0].converted);
        QVERIFY(results[1].converted);
        QVERIFY(!results[2].converted);
        QCOMPARE(results[0].line, QString("a.html: converted to a.txt"));
        QVERIFY2(results[2].line.startsWith("c.html: not converted - ") && results[2].line.contains("c.html:"),
                 qPrintable(results[2].line));
        QVERIFY(ReadBytes(out_ + "/a.txt").contains("First"));
        QVERIFY(ReadBytes(out_ + "/b.txt").contains("Second"));
        QVERIFY(!QFile::exists(out_ + "/c.txt"));
        QCOMPARE(resultLines().size(), 4);
        QCOMPARE(resultLines().last(), QString("2 of 3 files converted into %1.").arg(out_));
        auto* progress = child<QProgressBar>("ConvertProgress");
        QCOMPARE(progress->maximum(), 3);
        QCOMPARE(progress->value(), 3);
        QVERIFY(child<QPushButton>("cmdConvert")->isEnabled());
        QVERIFY(dialogs_.shown().empty());
    }

    void batch_existingOutputs_askOnce_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::newRow("replace") << true;
        QTest::newRow("keep") << false;
    }
    void batch_existingOutputs_askOnce()
    {
        QFETCH(bool, replace);
        QVERIFY(WriteBytes(out_ + "/a.txt", "old a"));
        QVERIFY(WriteBytes(out_ + "/b.txt", "old b"));
        window_->selectFiles({"a.html", "b.htm", "c.html"});
        dialogs_.answerMessage(replace ? Answer::Yes : Answer::No);
        const QList<BatchResult> results = window_->Convert();

        QCOMPARE(dialogs_.shown().size(), std::size_t(1));
        QCOMPARE(dialogs_.shown()[0].kind, QString("question"));
        QVERIFY(dialogs_.shown()[0].text.contains("a.txt") && dialogs_.shown()[0].text.contains("b.txt"));
        QCOMPARE(ReadBytes(out_ + "/a.txt") == "old a", !replace);
        QCOMPARE(ReadBytes(out_ + "/b.txt") == "old b", !replace);
        QVERIFY(ReadBytes(out_ + "/c.txt").contains("Third"));  // the new one is written either way
        QCOMPARE(results[0].converted, replace);
        if (!replace)
            QCOMPARE(results[0].line, QString("a.html: skipped - a.txt already exists"));
    }

    // Outputs that are not written, without the question about existing files.
    void batch_outputNotWritten_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("line");  // the result line of the first chosen file
        QTest::newRow("two documents, one name") << "twins" << "a.html: not converted - a.txt is already written by a.htm in this batch";
        QTest::newRow("the document itself") << "itself" << "notes.txt: not converted - notes.txt would replace the document itself";
        QTest::newRow("a folder of that name") << "folder" << "a.html: not converted - a.txt is a folder";
    }
    void batch_outputNotWritten()
    {
        QFETCH(QString, setup);
        QStringList chosen{"a.html"};
        if (setup == "twins") {
            QVERIFY(WriteBytes(docs_ + "/a.htm", "<p>Other</p>\r\n"));
            window_->setFolderPath(docs_);
            chosen = QStringList{"a.htm", "a.html"};
        } else if (setup == "itself") {
            window_->setOutputFolder(docs_);
            chosen = QStringList{"notes.txt"};
        } else {
            QVERIFY(QDir(out_).mkdir("a.txt"));
        }
        window_->selectFiles(chosen);
        const QList<BatchResult> results = window_->Convert();
        QVERIFY(dialogs_.shown().empty());
        QTEST(results.last().line, "line");
        QCOMPARE(ReadBytes(docs_ + "/notes.txt"), QByteArray("plain\r\n"));
        if (setup == "twins")
            QVERIFY(ReadBytes(out_ + "/a.txt").contains("Other"));
    }

    void batch_refusals_data()
    {
        QTest::addColumn<bool>("chooseFiles");
        QTest::addColumn<QString>("outFolder");
        QTest::addColumn<QString>("message");
        QTest::newRow("no file chosen") << false << "" << "Choose one or more files";
        QTest::newRow("no such output folder") << true << "/quorvik-missing-out" << "does not exist";
        QTest::newRow("output folder is a file") << true << "FILE" << "does not exist";
    }
    void batch_refusals()
    {
        QFETCH(bool, chooseFiles);
        QFETCH(QString, outFolder);
        QFETCH(QString, message);
        if (chooseFiles)
            window_->selectFiles({"a.html"});
        if (outFolder == "FILE")
            outFolder = docs_ + "/notes.txt";
        if (!outFolder.isEmpty())
            window_->setOutputFolder(outFolder);
        dialogs_.answerMessage(Answer::Ok);
        QVERIFY(window_->Convert().isEmpty());
        QCOMPARE(dialogs_.shown().size(), std::size_t(1));
        QVERIFY2(dialogs_.shown()[0].text.contains(message), qPrintable(dialogs_.shown()[0].text));
        QVERIFY(QDir(out_).isEmpty());
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
