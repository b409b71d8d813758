#pragma once
#include <QObject>

class SavePathTest : public QObject {
    Q_OBJECT
private slots:
    void lastDotPos_data();
    void lastDotPos();
    void savePathWithExtension_data();
    void savePathWithExtension();
};

class WorkPathsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void privateFolder_isCreatedWithMode0700();
    void fallsBackToTmpdirWithUid();
    void secondWindow_takesAFolderOfItsOwn();
    void symbolicLinkFolder_isRefused();
};

class DocumentFilesTest : public QObject {
    Q_OBJECT
private slots:
    void loadPlain_decodesAndSplitsLines_data();
    void loadPlain_decodesAndSplitsLines();
    void missingFile_givesReason();
    void savePlain_isUtf8WithLf();
    void saveOverLongerFile_leavesNoTail();
    void failedSave_givesReasonAndLeavesNoFile();
    void saveRich_writesRtf();
};

class WorkFileChainTest : public QObject {
    Q_OBJECT
private slots:
    void readWorkFile_splitsAsThePassesReader();
    void stages_writeWorkFilesOnlyWhenComplete();
};
