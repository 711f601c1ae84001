// The two popup menus, the volume popup, the About box and the file info dialog, driven by the mouse
// and Ctrl+I. (The search window is searched with real keys on a real X server.)
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>

#include "windows/frmAbout.h"
#include "windows/frmTag.h"
#include "ui/RegionMask.h"
#include "core/VolumePopup.h"
#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

class MenusTest : public QObject {
  Q_OBJECT

 private slots:
  // The check marks show the core's last balance and rate; which files take a rate is the core's.
  void checkMarksFollowTheChoice() {
    Started t({"/m/a.mp3"});
    QMenu* main = t.forms().playlist().menus().mnupopupmain();
    const auto checked = [&](std::initializer_list<const char*> names) {
      QStringList on;
      for (const char* n : names)
        if (child<QAction>(*main, n)->isChecked()) on << n;
      return on;
    };
    const auto items = {"Mnuleftbal", "mnumiddle", "mnuright", "mnu25", "mnu5", "mnu1", "mnu2"};
    QCOMPARE(checked(items), (QStringList{"mnumiddle", "mnu1"}));
    child<QAction>(*main, "mnuright")->trigger();
    t.engine().open("/m/a.mp3");
    child<QAction>(*main, "mnu5")->trigger();
    QCOMPARE(checked(items), (QStringList{"mnuright", "mnu5"}));
    QCOMPARE(std::pair(t.engine().balance, t.engine().rate), std::pair(10000L, 0.5));
  }

  // The song menu opens only over a real row, which it chooses first (the main menu's right click
  // is the shapes test's).
  void aRightClickOpensTheSongMenu() {
    Started t({"/music/track0.mp3", "/music/track1.mp3", "/music/track2.mp3"});
    QMenu* song = t.forms().playlist().menus().mnupopup();
    const QRect second = view(t).visualRect(view(t).model()->index(1, 0));
    QTest::mouseClick(view(t).viewport(), Qt::RightButton, {}, QPoint(5, second.bottom() + 40));
    QVERIFY(!song->isVisible());
    QTest::mouseClick(view(t).viewport(), Qt::RightButton, {}, second.center());
    QVERIFY(song->isVisible());
    QCOMPARE(coreSelection(t), std::vector<int>{1});
    child<QAction>(*song, "mnuplay")->trigger();
    QCOMPARE(t.engine().lastOpened(), std::string("/music/track1.mp3"));
    song->hide();
  }

  // The core's crescent is the window's mask; a click along it and Mute reach the core and the fill.
  void volumePopupRegionClicksAndMenu() {
    Started t;
    frmvol& vol = t.forms().vol();
    QVERIFY(vol.isVisible());
    QCOMPARE(vol.mask(), maskOf(crescentRegion(312, 213)));
    QWidget* fill = child(vol, "Image1");
    QTest::mouseClick(&vol, Qt::LeftButton, {}, QPoint(150, 15));
    QCOMPARE(std::pair(t.engine().volume, fill->width()), std::pair(7853L - 10000, 150));
    child<QAction>(t.forms().playlist(), "mnumute")->trigger();
    QCOMPARE(std::pair(t.engine().volume, fill->width()), std::pair(-10000L, 0));
  }

  // The About box: one at a time, made afresh after closing; "system info" really starts the tool
  // the core finds on PATH.
  void aboutBoxAndSystemInfo() {
    Started t;
    child<QAction>(t.forms().playlist(), "mnuabout")->trigger();
    QPointer<frmAbout> about = t.forms().about();
    QVERIFY(about && about->isVisible());
    QTest::mouseClick(child(t.forms().playlist(), "Image4"), Qt::LeftButton);
    QCOMPARE(t.forms().about(), about.data());

    QTemporaryDir bin;
    const QString marker = bin.filePath("started");
    QFile stub(bin.filePath("hardinfo"));
    QVERIFY(stub.open(QIODevice::WriteOnly));
    stub.write(QByteArray("#!/bin/sh\n/usr/bin/touch '") + marker.toUtf8() + "'\n");
    stub.close();
    stub.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8());
    QTest::mouseClick(child(*about, "cmdSysInfo"), Qt::LeftButton);
    qputenv("PATH", path);
    QTRY_VERIFY(QFile::exists(marker));

    QTest::mouseClick(child(*about, "CMDOK"), Qt::LeftButton);
    QTRY_VERIFY(!about);
    child<QAction>(t.forms().playlist(), "mnuabout")->trigger();
    QVERIFY(t.forms().about() && t.forms().about()->isVisible());
  }

  // Ctrl+I on the list shows the focused file's tag boxes and header captions; the tag's bytes show
  // as Latin-1. Each showing is built afresh: the file without a tag, shown second, would show
  // anything carried over. The ok button closes the dialog. A reader hears the texts as it opens.
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
      seen << d->accessibleDescription().split('\n');
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
    const QStringList noTag{QStringLiteral("This MP3 doesn't contain ID3 Tag")};
    const QStringList heard = QStringList{QStringLiteral("Title: Caf\u00E9"), QStringLiteral("Artist: A")} + mpeg;
    QCOMPARE(seen, QStringList{QStringLiteral("Caf\u00E9|A")} + mpeg + heard + noTag + mpeg + noTag + mpeg);
  }
};

QTEST_MAIN(MenusTest)
#include "tst_menus.moc"
