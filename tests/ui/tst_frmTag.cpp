// The file info dialog: tag and header captions, files without a tag, files that are not MPEG
// and files that cannot be read.
#include <fcntl.h>
#include <unistd.h>

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "mediainfo/frmTag.h"
#include "playlist/core/Random.h"
#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

namespace {
using Bytes = std::vector<unsigned char>;
const Bytes kHeader = {0xFF, 0xFB, 0x90, 0x64};

// Writes a sparse file of the given size with its first and last bytes set.
void writeSparse(const std::string& path, off_t size, const Bytes& head, const Bytes& tail = {}) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  QVERIFY(fd >= 0);
  QCOMPARE(::ftruncate(fd, size), 0);
  QCOMPARE(::pwrite(fd, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
  const off_t at = size - static_cast<off_t>(tail.size());
  QCOMPARE(::pwrite(fd, tail.data(), tail.size(), at), static_cast<ssize_t>(tail.size()));
  ::close(fd);
}

Bytes tag(const std::string& title, const std::string& year) {
  Bytes t(128, ' ');
  std::copy_n("TAG", 3, t.begin());
  std::copy(title.begin(), title.end(), t.begin() + 3);
  std::copy(year.begin(), year.end(), t.begin() + 93);
  return t;
}

QString caption(QWidget* dialog, const char* name) { return child<QLabel>(*dialog, name)->text(); }
QString box(QWidget* dialog, const char* name) { return child<QLineEdit>(*dialog, name)->text(); }

// A core whose focused entry is `path`, with recorded message boxes.
struct OneEntry {
  FakeMediaEngine engine;
  SeededRandom random{1};
  Core core{engine, random};
  ScriptedMessages messages;
  explicit OneEntry(const std::string& path) {
    core.platform.messages = &messages;
    core.list.appendEntry(path);
    core.list.markEntry(0);
  }
};

// Runs the File Info command; while its dialog is open, inspect() sees it and then it is closed by
// the window's own close command. Returns how many dialogs were shown.
int runFileInfo(Core& core, const std::function<void(frmTag*)>& inspect) {
  int dialogs = 0;
  QTimer watcher;
  watcher.setInterval(0);
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<frmTag*>(QApplication::activeModalWidget())) {
      ++dialogs;
      inspect(dialog);
      dialog->close();
    }
  });
  watcher.start();
  showFileInfoDialog(core, nullptr);
  QCoreApplication::processEvents();
  return dialogs;
}
}  // namespace

class tst_frmTag : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  std::string file(const char* name) { return (dir.path() + "/" + name).toStdString(); }

 private slots:
  void initTestCase() { QVERIFY(dir.isValid()); }

  void taggedFileShowsTagAndHeaderCaptions() {
    const std::string path = file("song.mp3");
    Bytes t = tag(std::string("Caf\xE9", 4) + std::string(26, '\0'), "");
    t[33] = 'A';  // artist "A"
    writeSparse(path, 4'000'000, kHeader, t);
    frmTag dialog(buildFileInfoTexts(probeFile(path)));

    QCOMPARE(dialog.windowTitle(), QString("MPEG File Info Box + ID3 Tag Editor"));
    QCOMPARE(box(&dialog, "Title"), QString::fromUtf8("Café"));
    QCOMPARE(box(&dialog, "Artist"), QString("A"));
    QCOMPARE(box(&dialog, "Year"), QString());
    const std::pair<const char*, const char*> captions[] = {
        {"labSize", "Size: 4000000 bytes"},
        {"labLength", "Length: 250 seconds"},
        {"labLayer", "MPEG 1.0 layer 3"},
        {"labBitRate", "128Kbit"},
        {"labFreqChan", "44100 Hz  Joint Stereo"},
        {"labCRC", "CRCs:No"},
        {"labCopy", "Copyrighted: No"},
        {"labOriginal", "Original: Yes"},
        {"labEmphasis", "Emphasis: None"}};
    for (const auto& [name, expected] : captions)
      QCOMPARE(caption(&dialog, name), QString(expected));
    QVERIFY(!child(dialog, "frmID3")->isHidden() && !child(dialog, "frmButtons")->isHidden());
    QCOMPARE(child<QLineEdit>(dialog, "Comment")->maxLength(), 30);

    dialog.show();
    auto* year = child<QLineEdit>(dialog, "Year");
    year->setFocus();
    QTest::keyClicks(year, "199912");
    QCOMPARE(year->text(), QString("1999"));
    auto* ok = child<QPushButton>(dialog, "cmdCancel");
    QCOMPARE(ok->text(), QString("ok"));
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
  }

  void noTagHidesTagAndButtonPanels() {
    const std::string path = file("untagged.mp3");
    writeSparse(path, 10'000, kHeader);
    frmTag dialog(buildFileInfoTexts(probeFile(path)));
    QVERIFY(child(dialog, "frmID3")->isHidden() && child(dialog, "frmButtons")->isHidden());
    QVERIFY(!child(dialog, "frmNoTag")->isHidden());
    QCOMPARE(caption(&dialog, "labNoTag"), QString("This MP3 doesn't contain ID3 Tag"));
    QCOMPARE(box(&dialog, "Title"), QString());
  }

  void notMpegMessageComesBeforeDialogWithOnlySize() {
    const std::string path = file("text.mp3");
    writeSparse(path, 500, Bytes(100, 'a'));
    OneEntry e(path);
    QStringList seen;
    const int dialogs = runFileInfo(e.core, [&](frmTag* d) {
      for (const char* name :
           {"labSize", "labLength", "labLayer", "labBitRate", "labFreqChan", "labCRC"})
        seen << caption(d, name);
    });
    QCOMPARE(dialogs, 1);
    QCOMPARE(e.messages.shown.size(), size_t{1});
    const ScriptedMessages::Box& message = e.messages.shown[0];
    QCOMPARE(message.text, std::string("Not a MP3 file..."));
    QCOMPARE(message.title, std::string("Error..."));
    QVERIFY(message.icon == MsgIcon::Critical);
    QVERIFY(!message.overAModalDialog);
    QCOMPARE(seen, (QStringList{"Size: 500 bytes", "Length: ", " ", "", " ", "CRCs:"}));
  }

  void showingTwiceGivesSameCaptions() {
    const std::string path = file("twice.mp3");
    writeSparse(path, 4'000'000, kHeader, tag("Twice", "2020"));
    OneEntry e(path);
    QStringList first, second;
    auto grab = [](QStringList& into) {
      return [&into](frmTag* d) {
        into << caption(d, "labSize") << caption(d, "labLength") << caption(d, "labCRC")
             << box(d, "Title");
      };
    };
    QCOMPARE(runFileInfo(e.core, grab(first)), 1);
    QCOMPARE(runFileInfo(e.core, grab(second)), 1);
    QCOMPARE(first,
             (QStringList{"Size: 4000000 bytes", "Length: 250 seconds", "CRCs:No", "Twice"}));
    QCOMPARE(second, first);
    QCOMPARE(e.core.shared.fileinfopath, path);
  }

  void unreadableFileGivesMessageAndNoDialog() {
    const std::string path = file("vanished.mp3");
    OneEntry e(path);
    QCOMPARE(runFileInfo(e.core, [](frmTag*) {}), 0);
    QCOMPARE(e.messages.shown.size(), size_t{1});
    QVERIFY(e.messages.shown[0].text.find(path) != std::string::npos);
  }
};

QTEST_MAIN(tst_frmTag)
#include "tst_frmTag.moc"
