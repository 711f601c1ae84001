#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <string>
#include <vector>

#include "app/core/Core.h"
#include "engine/core/FakeMediaEngine.h"
#include "mediainfo/frmTag.h"
#include "playlist/core/Random.h"

using namespace sonavex;

namespace {

using Bytes = std::vector<unsigned char>;

// Writes a sparse file of the given size with its first and last bytes set.
void writeSparse(const std::string& path, off_t size, const Bytes& head, const Bytes& tail) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  QVERIFY(fd >= 0);
  QCOMPARE(::ftruncate(fd, size), 0);
  QCOMPARE(::pwrite(fd, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
  if (!tail.empty()) {
    QCOMPARE(::pwrite(fd, tail.data(), tail.size(), size - static_cast<off_t>(tail.size())),
             static_cast<ssize_t>(tail.size()));
  }
  ::close(fd);
}

Bytes tag(const std::string& title, const std::string& year) {
  Bytes t(128, ' ');
  t[0] = 'T';
  t[1] = 'A';
  t[2] = 'G';
  for (size_t k = 0; k < title.size(); ++k) t[3 + k] = static_cast<unsigned char>(title[k]);
  for (size_t k = 0; k < year.size(); ++k) t[93 + k] = static_cast<unsigned char>(year[k]);
  return t;
}

const Bytes kHeader = {0xFF, 0xFB, 0x90, 0x64};

class RecordingMessages : public MessageBoxes {
 public:
  struct Box {
    std::string text, title;
    MsgIcon icon;
    bool dialogAlreadyOpen;
  };
  std::vector<Box> shown;
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons,
                 MsgIcon icon) override {
    shown.push_back({text, title, icon, QApplication::activeModalWidget() != nullptr});
    return MsgAnswer::Ok;
  }
};

QString caption(QWidget* dialog, const char* name) {
  auto* label = dialog->findChild<QLabel*>(name);
  return label ? label->text() : QStringLiteral("<missing %1>").arg(name);
}

QString box(QWidget* dialog, const char* name) {
  auto* edit = dialog->findChild<QLineEdit*>(name);
  return edit ? edit->text() : QStringLiteral("<missing %1>").arg(name);
}

}  // namespace

class tst_frmTag : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir;
  std::string file(const char* name) { return (dir.path() + "/" + name).toStdString(); }

  // Runs the File Info command; while its dialog is open, inspect() sees it and then it is
  // closed by the window's own close command. Returns how many dialogs were shown.
  int runFileInfo(Core& core, const std::function<void(frmTag*)>& inspect) {
    int dialogs = 0;
    QTimer watcher;
    watcher.setInterval(0);
    connect(&watcher, &QTimer::timeout, [&] {
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

 private slots:
  void initTestCase() { QVERIFY(dir.isValid()); }

  void showsTagAndHeaderCaptions() {
    const std::string path = file("song.mp3");
    Bytes t = tag(std::string("Caf\xE9", 4) + std::string(26, '\0'), "");
    t[33] = 'A';  // artist "A"
    writeSparse(path, 4'000'000, kHeader, t);
    frmTag dialog(buildFileInfoTexts(probeFile(path)));

    QCOMPARE(dialog.windowTitle(), QString("MPEG File Info Box + ID3 Tag Editor"));
    QCOMPARE(box(&dialog, "Title"), QString::fromUtf8("Café"));
    QCOMPARE(box(&dialog, "Artist"), QString("A"));
    QCOMPARE(box(&dialog, "Year"), QString());
    QCOMPARE(caption(&dialog, "labSize"), QString("Size: 4000000 bytes"));
    QCOMPARE(caption(&dialog, "labLength"), QString("Length: 250 seconds"));
    QCOMPARE(caption(&dialog, "labLayer"), QString("MPEG 1.0 layer 3"));
    QCOMPARE(caption(&dialog, "labBitRate"), QString("128Kbit"));
    QCOMPARE(caption(&dialog, "labFreqChan"), QString("44100 Hz  Joint Stereo"));
    QCOMPARE(caption(&dialog, "labCRC"), QString("CRCs:No"));
    QCOMPARE(caption(&dialog, "labCopy"), QString("Copyrighted: No"));
    QCOMPARE(caption(&dialog, "labOriginal"), QString("Original: Yes"));
    QCOMPARE(caption(&dialog, "labEmphasis"), QString("Emphasis: None"));
    QVERIFY(!dialog.findChild<QGroupBox*>("frmID3")->isHidden());
    QVERIFY(!dialog.findChild<QWidget*>("frmButtons")->isHidden());
  }

  void fixedControlsAsDesigned() {
    const std::string path = file("plain.mp3");
    writeSparse(path, 10'000, kHeader, tag("x", "1999"));
    frmTag dialog(buildFileInfoTexts(probeFile(path)));
    for (const char* name : {"Title", "Artist", "Album", "Comment"}) {
      QCOMPARE(dialog.findChild<QLineEdit*>(name)->maxLength(), 30);
    }
    QCOMPARE(dialog.findChild<QLineEdit*>("Year")->maxLength(), 4);
    QCOMPARE(dialog.findChild<QComboBox*>("Genre")->count(), 0);
    QCOMPARE(dialog.findChild<QPushButton*>("cmdCancel")->text(), QString("ok"));
    QCOMPARE(caption(&dialog, "labComent"), QString("Comment"));
    QCOMPARE(caption(&dialog, "labNoMPEG"), QString("Probably not a MP3 file..."));
    QCOMPARE(dialog.findChild<QGroupBox*>("frmMPEG")->title(), QString("MPEG info"));
    QCOMPARE(dialog.findChild<QGroupBox*>("frmID3")->title(), QString("Tag info"));
  }

  void typingIsLimitedToFieldWidth() {
    const std::string path = file("typing.mp3");
    writeSparse(path, 10'000, kHeader, tag("", ""));
    frmTag dialog(buildFileInfoTexts(probeFile(path)));
    dialog.show();
    auto* year = dialog.findChild<QLineEdit*>("Year");
    year->setFocus();
    QTest::keyClicks(year, "199912");
    QCOMPARE(year->text(), QString("1999"));
  }

  void noTagHidesTagAndButtonPanels() {
    const std::string path = file("untagged.mp3");
    writeSparse(path, 10'000, kHeader, {});
    frmTag dialog(buildFileInfoTexts(probeFile(path)));
    QVERIFY(dialog.findChild<QGroupBox*>("frmID3")->isHidden());
    QVERIFY(dialog.findChild<QWidget*>("frmButtons")->isHidden());
    QVERIFY(!dialog.findChild<QGroupBox*>("frmNoTag")->isHidden());
    QCOMPARE(caption(&dialog, "labNoTag"), QString("This MP3 doesn't contain ID3 Tag"));
    QCOMPARE(box(&dialog, "Title"), QString());
  }

  void notMpegMessageComesBeforeDialogWithOnlySize() {
    const std::string path = file("text.mp3");
    writeSparse(path, 500, Bytes(100, 'a'), {});
    FakeMediaEngine engine;
    SeededRandom random(1);
    Core core(engine, random);
    RecordingMessages messages;
    core.platform.messages = &messages;
    core.list.appendEntry(path);
    core.list.markEntry(0);

    QStringList seen;
    const int dialogs = runFileInfo(core, [&](frmTag* d) {
      for (const char* name : {"labSize", "labLength", "labLayer", "labBitRate", "labFreqChan",
                               "labCRC"}) {
        seen << caption(d, name);
      }
    });
    QCOMPARE(dialogs, 1);
    QCOMPARE(messages.shown.size(), size_t{1});
    QCOMPARE(messages.shown[0].text, std::string("Not a MP3 file..."));
    QCOMPARE(messages.shown[0].title, std::string("Error..."));
    QVERIFY(messages.shown[0].icon == MsgIcon::Critical);
    QVERIFY(!messages.shown[0].dialogAlreadyOpen);
    QCOMPARE(seen, (QStringList{"Size: 500 bytes", "Length: ", " ", "", " ", "CRCs:"}));
  }

  void showingTwiceGivesSameCaptions() {
    const std::string path = file("twice.mp3");
    writeSparse(path, 4'000'000, kHeader, tag("Twice", "2020"));
    FakeMediaEngine engine;
    SeededRandom random(1);
    Core core(engine, random);
    core.list.appendEntry(path);
    core.list.markEntry(0);
    QStringList first, second;
    auto grab = [](QStringList& into) {
      return [&into](frmTag* d) {
        into << caption(d, "labSize") << caption(d, "labLength") << caption(d, "labCRC")
             << box(d, "Title");
      };
    };
    QCOMPARE(runFileInfo(core, grab(first)), 1);
    QCOMPARE(runFileInfo(core, grab(second)), 1);
    QCOMPARE(first, (QStringList{"Size: 4000000 bytes", "Length: 250 seconds", "CRCs:No", "Twice"}));
    QCOMPARE(second, first);
    QCOMPARE(core.shared.fileinfopath, path);
  }

  void unreadableFileGivesMessageAndNoDialog() {
    const std::string path = file("vanished.mp3");
    FakeMediaEngine engine;
    SeededRandom random(1);
    Core core(engine, random);
    RecordingMessages messages;
    core.platform.messages = &messages;
    core.list.appendEntry(path);
    core.list.markEntry(0);
    QCOMPARE(runFileInfo(core, [](frmTag*) {}), 0);
    QCOMPARE(messages.shown.size(), size_t{1});
    QVERIFY(messages.shown[0].text.find(path) != std::string::npos);
  }

  void okButtonClosesDialog() {
    const std::string path = file("ok.mp3");
    writeSparse(path, 10'000, kHeader, tag("Ok", ""));
    frmTag dialog(buildFileInfoTexts(probeFile(path)));
    dialog.show();
    QVERIFY(dialog.isVisible());
    QTest::mouseClick(dialog.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
  }
};

QTEST_MAIN(tst_frmTag)
#include "tst_frmTag.moc"
