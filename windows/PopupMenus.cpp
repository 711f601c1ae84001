#include "windows/PopupMenus.h"

#include <QAction>
#include <QMenu>

#include "core/AddCommands.h"
#include "core/AudioMenus.h"
#include "core/EqualizerCommands.h"
#include "core/Command.h"
#include "core/LastPlaylist.h"
#include "core/PlaylistFile.h"
#include "core/PopupMenus.h"
#include "core/RemoveCommands.h"
#include "core/Transport.h"
#include "core/VolumePopup.h"
#include "ui/Skin.h"
#include "windows/frmTag.h"

namespace sonavex {

namespace {

QMenu* submenu(QMenu* parent, const char* name, const char* caption) {
  QMenu* menu = parent->addMenu(QString::fromUtf8(caption));
  menu->setObjectName(QLatin1String(name));
  menu->menuAction()->setObjectName(QLatin1String(name));
  return menu;
}

template <class Handler>
QAction* item(QMenu* menu, const char* name, const char* caption, Handler handler) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  action->setObjectName(QLatin1String(name));
  QObject::connect(action, &QAction::triggered, menu, handler);
  return action;
}

void separator(QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(name); }

// A group of checkable items from a table; choosing item i runs handler(i).
template <class Items, class Handler>
std::vector<QAction*> checkGroup(QMenu* menu, const Items& items, Handler handler) {
  std::vector<QAction*> group;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const int index = static_cast<int>(i);
    QAction* a = item(menu, items[i].name, items[i].caption, [handler, index] { handler(index); });
    a->setCheckable(true);
    group.push_back(a);
  }
  return group;
}

// The check mark on item `checked` of the group alone.
void showCheck(const std::vector<QAction*>& group, int checked) {
  for (std::size_t i = 0; i < group.size(); ++i) group[i]->setChecked(static_cast<int>(i) == checked);
}

}  // namespace

PopupMenus::PopupMenus(Core& core, QWidget* owner) : QObject(owner), core_(core) {
  buildSongMenu(owner);
  buildMainMenu(owner);
  for (QMenu* menu : {mnupopup_, mnupopupmain_}) menu->setStyleSheet(skinMenuStyle());
  render();
}

void PopupMenus::buildSongMenu(QWidget* owner) {
  // Items that run a command and nothing else.
  auto command = [this](void (*run)(Core&)) { return [this, run] { perform(core_, run); }; };
  QMenu* song = mnupopup_ = new QMenu(QStringLiteral("popup song"), owner);
  song->setObjectName(QStringLiteral("mnupopup"));
  item(song, "mnuplay", "&Play ", command(mnuplay_Click));
  item(song, "mnupause", "&Pause", command(cmdpause_Click));
  item(song, "mnustop", "Stop", command(cmdstop_Click));
  separator(song, "mnugap1");
  item(song, "mnufileinfo", "File Info", [this, owner] { perform(core_, showFileInfoDialog, owner); });
  item(song, "mnuplaylistentry", "Playlistentry", command(mnuplaylistentry_Click));
  separator(song, "mnublank");
  item(song, "mnusearch", "&Search", [this] { emit searchRequested(); });
  separator(song, "mnugap");
  QMenu* selected = submenu(song, "mnudeletesel", "Delete Selectedfile(s)");
  item(selected, "mnudelfromlist", "Sel fromplaylist", command(cmdsel_Click));
  item(selected, "mnudelfromdisk", "Selfrom Harddisk", command(mnudelfromdisk_Click));
  QMenu* all = submenu(song, "mnudelall", "Delete Allfiles");
  item(all, "mnudelfromplaylist", "Allfrom Playlist", command(cmdall_Click));
  item(all, "mnudelfromharddisk", "Allfrom Harddisk", command(mnudelfromharddisk_Click));
  item(song, "mnuinvalid", "Delete invalid files from playlist", command(mnuinvalid_Click));
  item(song, "mnucrop", "Crop files", command(mnucrop_Click));
}

void PopupMenus::buildMainMenu(QWidget* owner) {
  auto command = [this](void (*run)(Core&)) { return [this, run] { perform(core_, run); }; };
  QMenu* main = mnupopupmain_ = new QMenu(QStringLiteral("popupmain"), owner);
  main->setObjectName(QStringLiteral("mnupopupmain"));
  QMenu* open = submenu(main, "mnuopen", "Open");
  item(open, "mnufiles", "File(s)", command(cmdfile_Click));
  item(open, "mnudir", "Dir", command(cmddir_Click));
  item(main, "mnuaddress", "Add address...", [this] { emit addressRequested(); });
  item(main, "mnuload", "Load Playlist", command(cmdload_Click));
  item(main, "mnusave", "Save Playlist", command(cmdsave_Click));
  separator(main, "mnugap2");
  QMenu* volume = submenu(main, "mnuvol", "Volume");
  item(volume, "mnupeakvol", "Peak",
       [this] { perform(core_, mnupeakvol_Click, double{kVolumeClientWidth}); });
  item(volume, "mnumute", "Mute", command(mnumute_Click));
  balanceItems_ = checkGroup(submenu(main, "Mnubal", "Balance"), kBalanceItems,
                             [this](int i) { perform(core_, balanceItem_Click, i); });
  rateItems_ = checkGroup(submenu(main, "mnupitch", "Pitch"), kRateItems,
                          [this](int i) { perform(core_, rateItem_Click, i); });
  QMenu* replayGain = submenu(main, "mnureplaygain", "ReplayGain");
  replayGainItems_ = checkGroup(replayGain, kReplayGainItems, [this](int i) { perform(core_, replayGainItem_Click, i); });
  separator(replayGain, "mnurggap");
  replayGainPreampItems_ = checkGroup(submenu(replayGain, "mnurgpreamp", "Preamp"), kReplayGainPreampItems,
                                      [this](int i) { perform(core_, replayGainPreamp_Click, i); });
  replayGainFallbackItems_ = checkGroup(submenu(replayGain, "mnurgfallback", "Without tags"), kReplayGainFallbackItems,
                                        [this](int i) { perform(core_, replayGainFallback_Click, i); });
  QAction* equalizer = item(main, "mnuequalizer", "Equalizer", [this] { emit equalizerRequested(); });
  // Shown for the key that opens it from the player and the playlist; the menu itself is not its home.
  equalizer->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
  equalizer->setShortcutContext(Qt::WidgetShortcut);
  separator(main, "mnugap3");
  item(main, "mnuabout", "About Sonavex", [this] { emit aboutRequested(); });
  item(main, "mnuexit", "Exit", command(mnuexit_Click));
}

void PopupMenus::render() {
  showCheck(balanceItems_, core_.checks.balance);
  showCheck(rateItems_, core_.checks.rate);
  const ReplayGainSettings& replayGain = core_.sound.replayGain;
  showCheck(replayGainItems_, static_cast<int>(replayGain.mode));
  showCheck(replayGainPreampItems_, checkedGainItem(kReplayGainPreampItems, replayGain.preampDb));
  showCheck(replayGainFallbackItems_, checkedGainItem(kReplayGainFallbackItems, replayGain.fallbackDb));
}

void PopupMenus::openSongMenu(const QPoint& at) { mnupopup_->popup(at); }

void PopupMenus::openMainMenu(const QPoint& at) {
  render();
  mnupopupmain_->popup(at);
}

}  // namespace sonavex
