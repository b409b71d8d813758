// The help window: where it finds the document, the pages it shows, and links that can be read
// in a dark palette.

#include "ui/contrast.h"
#include "ui/scripteddialogs.h"
#include "ui/windows/helpviewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QRegularExpression>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QUrl>
#include <memory>

using namespace quorvik;

namespace {

QString ReadHelp(const QString& file)
{
    QFile f(QDir(DefaultHelpFolder()).filePath(file));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void PlaceContents(const QString& folder)
{
    QVERIFY(QDir().mkpath(folder));
    QFile f(QDir(folder).filePath(HelpContentsFile()));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<html><body>Contents</body></html>");
}

}  // namespace

class TestHelp : public QObject {
    Q_OBJECT

private:
    ScriptedDialogs dialogs_;
    std::unique_ptr<QMainWindow> owner_;
    std::unique_ptr<HelpViewer> viewer_;

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

    // The shipped document: the contents lead to every numbered topic, and every link leads to
    // a page that exists.
    void document_isWhole()
    {
        const QString contents = ReadHelp(HelpContentsFile());
        for (int topic : HelpTopicNumbers())
            QVERIFY2(contents.contains(QStringLiteral("href=\"%1\"").arg(HelpTopicFile(topic))), qPrintable(HelpTopicFile(topic)));
        const QDir folder(DefaultHelpFolder());
        const QRegularExpression href(QStringLiteral("href=\"([^\"#:]+)(#[^\"]*)?\""));
        for (const QString& page : folder.entryList({"*.html"}, QDir::Files)) {
            auto it = href.globalMatch(ReadHelp(page));
            while (it.hasNext()) {
                const QString target = it.next().captured(1);
                QVERIFY2(folder.exists(target), qPrintable(page + " -> " + target));
            }
        }
    }

    // Beside the program (the build tree) first, then share/quorvik/help of an installed program.
    void findsTheDocument_data()
    {
        QTest::addColumn<bool>("beside");
        QTest::addColumn<bool>("shared");
        QTest::addColumn<QString>("expected");  // relative to the prefix
        QTest::newRow("build tree") << true << false << "bin/help";
        QTest::newRow("installed") << false << true << "share/quorvik/help";
        QTest::newRow("both: beside first") << true << true << "bin/help";
        QTest::newRow("nowhere") << false << false << "bin/help";
    }
    void findsTheDocument()
    {
        QFETCH(bool, beside);
        QFETCH(bool, shared);
        QFETCH(QString, expected);
        QTemporaryDir prefix;
        const QDir root(prefix.path());
        QVERIFY(root.mkpath(QStringLiteral("bin/help")));  // an empty folder beside does not count
        if (beside)
            PlaceContents(root.filePath(QStringLiteral("bin/help")));
        if (shared)
            PlaceContents(root.filePath(QStringLiteral("share/quorvik/help")));
        HelpViewer viewer(owner_.get(), dialogs_, FindHelpFolder(root.filePath(QStringLiteral("bin"))));
        QCOMPARE(viewer.helpFolder(), QDir::cleanPath(root.filePath(expected)));
        const QString contents = QDir::cleanPath(root.filePath(expected + QStringLiteral("/index.html")));
        if (!beside && !shared) {  // told where it was looked for first
            dialogs_.answerMessage(Answer::Ok);
            QVERIFY(!viewer.ShowContents());
            QVERIFY(!viewer.window());
            QVERIFY(dialogs_.shownTexts().value(0).contains(QDir::toNativeSeparators(contents)));
            return;
        }
        QVERIFY(viewer.ShowContents());
        QCOMPARE(viewer.window()->source().toLocalFile(), contents);
    }

    // An unknown topic shows the contents; the one help window is reused.
    void unknownTopic_showsTheContentsInTheSameWindow()
    {
        QVERIFY(viewer_->ShowTopic(40));
        HelpWindow* first = viewer_->window();
        QVERIFY(viewer_->ShowTopic(7));
        QCOMPARE(viewer_->window(), first);
        QCOMPARE(QFileInfo(first->source().toLocalFile()).fileName(), QString("index.html"));
    }

    // With a dark palette (Qt's own link colour left as it is) every link of a page keeps a
    // contrast of at least 4.5:1 against the page, also after the palette changes.
    void links_canBeReadInEitherPalette()
    {
        const QPalette before = QApplication::palette();
        QVERIFY(viewer_->ShowContents());
        auto* browser = viewer_->window()->findChild<QTextBrowser*>();
        for (bool dark : {true, false}) {
            QPalette palette = QApplication::style()->standardPalette();
            if (dark) {
                palette.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
                palette.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
                palette.setColor(QPalette::WindowText, Qt::white);
                palette.setColor(QPalette::Text, Qt::white);
            }
            QApplication::setPalette(palette);
            QCoreApplication::processEvents();
            const QColor page = browser->palette().color(QPalette::Base);
            int links = 0;
            for (QTextBlock b = browser->document()->begin(); b.isValid(); b = b.next()) {
                for (auto it = b.begin(); !it.atEnd(); ++it) {
                    const QTextCharFormat f = it.fragment().charFormat();
                    if (!f.isAnchor())
                        continue;
                    ++links;
                    const double ratio = ContrastRatio(f.foreground().color(), page);
                    QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1 on %2: %3").arg(f.foreground().color().name(),
                                                                                       page.name()).arg(ratio)));
                }
            }
            QVERIFY(links > 5);
        }
        QApplication::setPalette(before);
    }
};

QTEST_MAIN(TestHelp)
#include "helpviewer_test.moc"
