// The help window: the shipped document beside the program, its topics, F1 on menu entries.

#include "ui/windows/helpviewer.h"
#include "ui/scripteddialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

using namespace quorvik;

class TestHelp : public QObject {
    Q_OBJECT

private:
    ScriptedDialogs dialogs_;
    std::unique_ptr<QMainWindow> owner_;
    std::unique_ptr<HelpViewer> viewer_;

    QString shownFile() const
    {
        return viewer_->window() ? QFileInfo(viewer_->window()->source().toLocalFile()).fileName() : QString();
    }
    static QString readHelp(const QString& file)
    {
        QFile f(QDir(DefaultHelpFolder()).filePath(file));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private slots:
    void init()
    {
        dialogs_.reset();
        owner_ = std::make_unique<QMainWindow>();
        viewer_ = std::make_unique<HelpViewer>(owner_.get(), dialogs_);
    }
    void cleanup()
    {
        viewer_.reset();
        owner_.reset();
        QVERIFY2(dialogs_.unexpected().isEmpty(), qPrintable(dialogs_.unexpected().join(u'\n')));
        QVERIFY2(dialogs_.leftover().isEmpty(), qPrintable(dialogs_.leftover().join(u'\n')));
    }

    void document_isBesideTheProgram()
    {
        QCOMPARE(viewer_->helpFolder(), QCoreApplication::applicationDirPath() + "/help");
        const QString contents = readHelp(HelpContentsFile());
        QVERIFY2(!contents.isEmpty(), qPrintable(DefaultHelpFolder()));
        // The contents page leads to every numbered topic, and every topic page names its number.
        for (int topic : HelpTopicNumbers()) {
            QVERIFY2(contents.contains(QStringLiteral("href=\"%1\"").arg(HelpTopicFile(topic))), qPrintable(HelpTopicFile(topic)));
            const QString page = readHelp(HelpTopicFile(topic));
            QVERIFY2(page.contains(QStringLiteral("Topic %1<").arg(topic)), qPrintable(HelpTopicFile(topic)));
        }
    }

    void document_linksLeadToPagesThatExist()
    {
        const QDir folder(DefaultHelpFolder());
        const QRegularExpression href(QStringLiteral("href=\"([^\"#:]+)(#[^\"]*)?\""));
        const QStringList pages = folder.entryList({"*.html"}, QDir::Files);
        QVERIFY(pages.size() >= 9);
        for (const QString& page : pages) {
            auto it = href.globalMatch(readHelp(page));
            while (it.hasNext()) {
                const QString target = it.next().captured(1);
                QVERIFY2(folder.exists(target), qPrintable(page + " -> " + target));
            }
        }
    }

    void showTopic_data()
    {
        QTest::addColumn<int>("topic");
        QTest::addColumn<QString>("file");
        for (int topic : HelpTopicNumbers())
            QTest::newRow(qPrintable(QString::number(topic))) << topic << QStringLiteral("topic%1.html").arg(topic);
        QTest::newRow("unknown number") << 7 << "index.html";
    }
    void showTopic()
    {
        QFETCH(int, topic);
        QFETCH(QString, file);
        QVERIFY(viewer_->ShowTopic(topic));
        QVERIFY(viewer_->window()->isVisible());
        QCOMPARE(shownFile(), file);
        QVERIFY(dialogs_.shown().empty());
    }

    void showContents_reusesTheWindow_andCloseClosesIt()
    {
        QVERIFY(viewer_->ShowTopic(3));
        HelpWindow* first = viewer_->window();
        QVERIFY(viewer_->ShowContents());
        QCOMPARE(viewer_->window(), first);
        QCOMPARE(shownFile(), QString("index.html"));
        viewer_->Close();
        QVERIFY(!viewer_->window() || !viewer_->window()->isVisible());
    }

    void missingDocument_isReported()
    {
        QTemporaryDir empty;
        HelpViewer viewer(owner_.get(), dialogs_, empty.path());
        dialogs_.answerMessage(Answer::Ok);
        QVERIFY(!viewer.ShowContents());
        QCOMPARE(dialogs_.shown().size(), std::size_t(1));
        QVERIFY(dialogs_.shown()[0].text.contains(QDir::toNativeSeparators(empty.filePath("index.html"))));
        QVERIFY(!viewer.window());
    }

    void assignTopics_byObjectName()
    {
        QMenuBar* bar = owner_->menuBar();
        QMenu* file = bar->addMenu("&File");
        QMenu* options = bar->addMenu("&Options");
        const QList<QPair<QString, int>> expected{{"NewMenu", -1},       {"OpenMenu", 1},  {"Multmen", 2},
                                                  {"SaveMenu", 3},       {"PrintMen", -1}, {"Exitmenu", 4},
                                                  {"Undomen", 5},        {"RemoveHTMLMen", 10},
                                                  {"RemoveBlankMen", 11}, {"RevCodeLinesMen", 40},
                                                  {"Optmen", -1}};
        for (const auto& e : expected) {
            QAction* a = (e.second >= 10 || e.first == "Optmen" ? options : file)->addAction(e.first);
            a->setObjectName(e.first);
        }
        QCOMPARE(AssignMenuHelpTopics(owner_.get()), 8);
        for (const auto& e : expected) {
            const QVariant topic = owner_->findChild<QAction*>(e.first)->property(kHelpTopicProperty);
            QCOMPARE(topic.isValid() ? topic.toInt() : -1, e.second);
        }
    }

    void f1_onHighlightedEntry_opensItsTopic_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("file");  // empty: F1 does nothing
        QTest::newRow("Open") << "OpenMenu" << "topic1.html";
        QTest::newRow("Remove Both") << "RevCodeLinesMen" << "topic40.html";
        QTest::newRow("entry without topic") << "NewMenu" << "";
    }
    void f1_onHighlightedEntry_opensItsTopic()
    {
        QFETCH(QString, entry);
        QFETCH(QString, file);
        QMenu* menu = owner_->menuBar()->addMenu("&File");
        for (const char* name : {"NewMenu", "OpenMenu", "RevCodeLinesMen"})
            menu->addAction(QString::fromLatin1(name))->setObjectName(QString::fromLatin1(name));
        AssignMenuHelpTopics(menu);
        InstallMenuHelp(owner_->menuBar(), *viewer_);
        owner_->show();
        QVERIFY(QTest::qWaitForWindowExposed(owner_.get()));

        menu->popup(owner_->geometry().center());
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        menu->setActiveAction(owner_->findChild<QAction*>(entry));
        QTest::keyClick(menu, Qt::Key_F1);
        if (file.isEmpty()) {
            QVERIFY(!viewer_->window());
            menu->close();
        } else {
            QCOMPARE(shownFile(), file);
            QVERIFY(viewer_->window()->isVisible());
            QTRY_VERIFY(!menu->isVisible());
        }
    }
};

QTEST_MAIN(TestHelp)
#include "helpviewer_test.moc"
