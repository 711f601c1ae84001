// The file info dialog, opened with Ctrl+I on the list: tag boxes and header captions, and files
// without a tag.
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "windows/frmTag.h"
#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

class tst_frmTag : public QObject {
  Q_OBJECT

 private slots:
  // The tag's bytes show as Latin-1. Each showing is built afresh: the file without a tag, shown
  // second, would show anything carried over. The ok button closes the dialog.
  void ctrlIOnTheListShowsTheFocusedFile() {
    QTemporaryDir dir;
    const auto file = [&dir](const char* name) { return dir.filePath(name).toStdString(); };
    const std::string header("\xFF\xFB\x90\x64", 4);
    std::string tag(128, '\0');
    tag.replace(0, 7, "TAGCaf\xE9").replace(33, 1, "A");
    writeBytes(file("a.mp3"), header + std::string(4'000'000 - 4 - 128, '\0') + tag);
    writeBytes(file("b.mp3"), header + std::string(4'000'000 - 4, '\0'));
    Started t({file("a.mp3"), file("b.mp3")});

    QStringList seen;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
      auto* d = qobject_cast<frmTag*>(QApplication::activeModalWidget());
      if (!d) return;
      const auto box = [d](const char* name) { return child<QLineEdit>(*d, name)->text(); };
      const bool hasTag = !child(*d, "frmID3")->isHidden();
      seen << (hasTag ? box("Title") + "|" + box("Artist") : child<QLabel>(*d, "labNoTag")->text());
      for (const char* name : {"labSize", "labLength", "labLayer", "labBitRate", "labFreqChan",
                               "labCRC", "labCopy", "labOriginal", "labEmphasis"})
        seen << child<QLabel>(*d, name)->text();
      if (hasTag) click(*d, "cmdCancel");
      if (hasTag && d->isVisible()) seen << "ok left it open";
      d->close();
    });
    watcher.start();
    for (Index row : {0, 1}) {
      t.core().list.markEntry(row);
      QTest::keyClick(&view(t), Qt::Key_I, Qt::ControlModifier);
    }

    const QStringList mpeg{"Size: 4000000 bytes", "Length: 250 seconds", "MPEG 1.0 layer 3", "128Kbit",
                           "44100 Hz  Joint Stereo", "CRCs:No", "Copyrighted: No", "Original: Yes", "Emphasis: None"};
    QCOMPARE(seen, QStringList{QStringLiteral("Caf\u00E9|A")} + mpeg +
                       QStringList{QStringLiteral("This MP3 doesn't contain ID3 Tag")} + mpeg);
  }
};

QTEST_MAIN(tst_frmTag)
#include "tst_frmTag.moc"
