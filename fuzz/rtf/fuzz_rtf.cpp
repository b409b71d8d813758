// libFuzzer entry for the RTF reader: any bytes must read without a crash, a sanitizer
// report or a hang, and an RTF document that was read must write out and read back as
// the same text.

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

#include "rtf/rtf.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(*argc, *argv);  // QTextDocument's fonts need one
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QTextDocument document;
  quorvik::rtf::ReadRtf(input, document);

  // Plain-text files keep characters RTF cannot carry (controls), so only RTF input is
  // held to the round trip.
  if (!input.trimmed().startsWith("{\\rtf")) return 0;
  QTextDocument again;
  quorvik::rtf::ReadRtf(quorvik::rtf::WriteRtf(document), again);
  if (again.toPlainText() != document.toPlainText()) std::abort();
  return 0;
}
