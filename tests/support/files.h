#pragma once
// Files in a test's scratch folder.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quorvik::testing {

// The file's bytes; empty when it cannot be read.
QByteArray ReadBytes(const QString& path);
// Writes the whole file; false when that fails.
bool WriteBytes(const QString& path, const QByteArray& bytes);
// Names in `folder` other than `keep`: a temporary file left behind shows up here.
QStringList StrayFiles(const QString& folder, const QStringList& keep);

}  // namespace quorvik::testing
