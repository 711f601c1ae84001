// The two popup menus, the volume popup, the search window and the About box, driven as a user of
// the mouse, the keyboard or a screen reader would drive them.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleEditableTextInterface>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <functional>

#include "windows/frmAbout.h"
#include "windows/frmsearch.h"
#include "windows/frmvol.h"
#include "ui/RegionMask.h"
#include "core/VolumePopup.h"
#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

namespace {

// "name caption" of every item, submenu items indented by two spaces; separators are "name -".
QStringList itemTree(const QMenu* menu, const QString& indent = {}) {
  QStringList lines;
  for (const QAction* a : menu->actions()) {
    lines << indent + a->objectName() + " " + (a->isSeparator() ? QStringLiteral("-") : a->text());
    if (a->menu()) lines += itemTree(a->menu(), indent + "  ");
  }
  return lines;
}

QAction* action(QMenu* menu, const char* name) {
  auto* found = menu->findChild<QAction*>(QLatin1String(name));
  if (!found) qFatal("no menu item %s", name);
  return found;
}

// Depth-first search of the accessibility tree.
QAccessibleInterface* accessible(QAccessibleInterface* node,
                                 const std::function<bool(QAccessibleInterface*)>& wanted) {
  if (!node) return nullptr;
  if (wanted(node)) return node;
  for (int i = 0; i < node->childCount(); ++i)
    if (QAccessibleInterface* found = accessible(node->child(i), wanted)) return found;
  return nullptr;
}

QAccessibleInterface* accessibleNamed(QWidget* window, const QString& name) {
  return accessible(QAccessible::queryAccessibleInterface(window), [&](QAccessibleInterface* n) {
    return n->text(QAccessible::Name) == name;
  });
}

}  // namespace

class MenusTest : public QObject {
  Q_OBJECT

 private slots:
  void itemTreesAndCaptions() {
    Started t;
    QCOMPARE(itemTree(t.forms().playlist().menus().mnupopup()),
             (QStringList{"mnuplay &Play ", "mnupause &Pause", "mnustop Stop", "mnugap1 -",
                          "mnufileinfo File Info", "mnuplaylistentry Playlistentry",
                          "mnublank -", "mnusearch &Search", "mnugap -",
                          "mnudeletesel Delete Selectedfile(s)",
                          "  mnudelfromlist Sel fromplaylist", "  mnudelfromdisk Selfrom Harddisk",
                          "mnudelall Delete Allfiles", "  mnudelfromplaylist Allfrom Playlist",
                          "  mnudelfromharddisk Allfrom Harddisk",
                          "mnuinvalid Delete invalid files from playlist", "mnucrop Crop files"}));
    QCOMPARE(itemTree(t.forms().playlist().menus().mnupopupmain()),
             (QStringList{"mnuopen Open", "  mnufiles File(s)", "  mnudir Dir",
                          "mnuload Load Playlist", "mnusave Save Playlist", "mnugap2 -",
                          "mnuvol Volume", "  mnupeakvol Peak", "  mnumute Mute", "Mnubal Balance",
                          "  Mnuleftbal Left", "  mnumiddle Middle", "  mnuright Right",
                          "mnupitch Pitch", "  mnu25 .25", "  mnu5 .5", "  mnu75 .75", "  mnu9 .9",
                          "  mnu1 1", "  mnu11 1.1", "  mnu125 1.25", "  mnu15 1.5",
                          "  mnu175 1.75", "  mnu2 2", "mnugap3 -", "mnuabout About Sonavex",
                          "mnuexit Exit"}));
  }

  // The check marks follow the last balance and (for .mp3 and .wav) the last rate chosen.
  void checkMarksFollowTheChoice() {
    Started t({"/m/a.mp3", "/m/b.wma"});
    QMenu* main = t.forms().playlist().menus().mnupopupmain();
    const auto checked = [&](std::initializer_list<const char*> names) {
      QStringList on;
      for (const char* n : names)
        if (action(main, n)->isChecked()) on << n;
      return on;
    };
    const auto balance = {"Mnuleftbal", "mnumiddle", "mnuright"};
    const auto rates = {"mnu25", "mnu5",  "mnu75",  "mnu9",   "mnu1",
                        "mnu11", "mnu125", "mnu15", "mnu175", "mnu2"};
    QCOMPARE(checked(balance), QStringList{"mnumiddle"});
    QCOMPARE(checked(rates), QStringList{"mnu1"});
    action(main, "mnuright")->trigger();
    QCOMPARE(checked(balance), QStringList{"mnuright"});
    QCOMPARE(t.engine().balance, 10000L);
    t.engine().open("/m/b.wma");
    action(main, "mnu5")->trigger();
    QCOMPARE(checked(rates), QStringList{"mnu1"});
    t.engine().open("/m/a.mp3");
    action(main, "mnu5")->trigger();
    QCOMPARE(checked(rates), QStringList{"mnu5"});
    QCOMPARE(t.engine().rate, 0.5);
  }

  // The song menu opens only over a real row, which it chooses first; the main menu opens on the
  // right button's release over the player window.
  void rightClicksOpenTheMenus() {
    Started t({"/music/track0.mp3", "/music/track1.mp3", "/music/track2.mp3"});
    QMenu* song = t.forms().playlist().menus().mnupopup();
    const QRect second = view(t).visualRect(view(t).model()->index(1, 0));
    QTest::mouseClick(view(t).viewport(), Qt::RightButton, {}, QPoint(5, second.bottom() + 40));
    QVERIFY(!song->isVisible());
    QTest::mouseClick(view(t).viewport(), Qt::RightButton, {}, second.center());
    QVERIFY(song->isVisible());
    QCOMPARE(coreSelection(t), std::vector<int>{1});
    action(song, "mnuplay")->trigger();
    QCOMPARE(t.engine().lastOpened(), std::string("/music/track1.mp3"));
    song->hide();
    QTest::mouseClick(&t.forms().main(), Qt::RightButton, {}, QPoint(120, 30));
    QVERIFY(t.forms().playlist().menus().mnupopupmain()->isVisible());
    t.forms().playlist().menus().mnupopupmain()->hide();

    // The menu key opens them too: the song menu for the focused row.
    view(t).setCurrentIndex(view(t).model()->index(2, 0));
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(view(t).viewport(), &key);
    QVERIFY(song->isVisible());
    QCOMPARE(coreSelection(t), std::vector<int>{2});
    song->hide();
    QApplication::sendEvent(&t.forms().main(), &key);
    QVERIFY(t.forms().playlist().menus().mnupopupmain()->isVisible());
    t.forms().playlist().menus().mnupopupmain()->hide();
  }

  // The crescent is the window's mask; a click along it sets the volume, Mute and Peak the fill.
  void volumePopupRegionClicksAndMenu() {
    Started t;
    frmvol& vol = t.forms().vol();
    QVERIFY(vol.isVisible());
    QCOMPARE(t.engine().volume, 0L);
    QCOMPARE(vol.mask(), maskOf(crescentRegion(312, 213)));
    QWidget* fill = child(vol, "Image1");
    QTest::mouseClick(&vol, Qt::LeftButton, {}, QPoint(150, 15));
    QCOMPARE(t.engine().volume, 7853L - 10000);
    QCOMPARE(fill->width(), 150);
    QMenu* main = t.forms().playlist().menus().mnupopupmain();
    action(main, "mnumute")->trigger();
    QCOMPARE(t.engine().volume, -10000L);
    QCOMPARE(fill->width(), 0);
    action(main, "mnupeakvol")->trigger();
    QCOMPARE(t.engine().volume, 0L);
    QCOMPARE(fill->width(), 191);
  }

  // A screen reader's user opens the song menu's Search, types, searches and goes to a track.
  void searchThroughTheAccessibilityInterface() {
    Started t({"/m/one.mp3", "/m/Two.mp3", "/m/three.mp3", "/m/TWO again.mp3"});
    QAccessible::setActive(true);
    QMenu* song = t.forms().playlist().menus().mnupopup();
    QAccessibleInterface* item = accessible(
        QAccessible::queryAccessibleInterface(song),
        [](QAccessibleInterface* n) { return n->text(QAccessible::Name) == "Search"; });
    QVERIFY(item && item->role() == QAccessible::MenuItem);
    item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    frmsearch* search = t.forms().search();
    QVERIFY(search);
    QCOMPARE(search->windowTitle(), QStringLiteral("Sonvex Search"));
    QCOMPARE(search->pos(), t.forms().playlist().frameGeometry().bottomLeft() + QPoint(0, 1));

    QAccessibleInterface* text = accessibleNamed(search, "Enter the string to be searched");
    QVERIFY(text && text->role() == QAccessible::EditableText);
    text->editableTextInterface()->insertText(0, QStringLiteral("two"));
    QAccessibleInterface* button = accessibleNamed(search, "Search");
    QVERIFY(button && button->role() == QAccessible::Button);
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    // A pressed button clicks a moment later, as it shows itself pressed first.
    QTRY_VERIFY(accessibleNamed(search, "[ 2 items are found ]"));

    // The keyboard picks the second match and Enter in the list goes there.
    auto* combo = child<QComboBox>(*search, "Combo1");
    QCOMPARE(combo->currentIndex(), -1);
    QTest::keyClick(combo, Qt::Key_Return);
    QVERIFY2(t.engine().opened.empty(), "nothing chosen yet");
    combo->setCurrentIndex(1);
    QTest::keyClick(combo, Qt::Key_Return);
    QCOMPARE(t.engine().opened, std::vector<std::string>{"/m/TWO again.mp3"});
    QCOMPARE(coreSelection(t), std::vector<int>{3});
    // Typing hides the results until the next search; a number beyond a shrunk list does nothing.
    QTest::keyClicks(child(*search, "Text1"), "x");
    QVERIFY(!child(*search, "Frame1")->isVisible());
    t.core().list.clear();
    search->cmdgoto_Click();
    QCOMPARE(t.engine().opened.size(), 1u);
    QAccessible::setActive(false);
  }

  // The About box: its caption, one at a time, made afresh after closing; "system info" starts the
  // first known tool found on PATH, or says it cannot.
  void aboutBoxAndSystemInfo() {
    Started t;
    child<QAction>(t.forms().playlist(), "mnuabout")->trigger();
    QPointer<frmAbout> about = t.forms().about();
    QVERIFY(about && about->isVisible());
    QCOMPARE(about->windowTitle(), QStringLiteral("About ") + QCoreApplication::applicationName());
    QCOMPARE(child<QLabel>(*about, "lblTitle")->text(), QStringLiteral("SONAVEX 3"));
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
    ScriptedMessages messages;
    t.core().platform.messages = &messages;
    qputenv("PATH", bin.path().toUtf8());
    QTest::mouseClick(child(*about, "cmdSysInfo"), Qt::LeftButton);
    QTRY_VERIFY(QFile::exists(marker));
    QVERIFY(messages.shown.empty());
    qputenv("PATH", "/nonexistent");
    QTest::mouseClick(child(*about, "cmdSysInfo"), Qt::LeftButton);
    qputenv("PATH", path);
    QCOMPARE(messages.shown.size(), 1u);
    QCOMPARE(messages.shown[0].text, std::string("System Information Is Unavailable At This Time"));

    QTest::mouseClick(child(*about, "CMDOK"), Qt::LeftButton);
    QTRY_VERIFY(!about);
    child<QAction>(t.forms().playlist(), "mnuabout")->trigger();
    QVERIFY(t.forms().about() && t.forms().about()->isVisible());
  }
};

QTEST_MAIN(MenusTest)
#include "tst_menus.moc"
