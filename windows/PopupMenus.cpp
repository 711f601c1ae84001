// The playlist window's two context menus and their handlers. Items that only forward run the
// named command and nothing else.
#include <QAction>
#include <QMenu>

#include "app/Forms.h"
#include "ui/Skin.h"
#include "core/Core.h"
#include "core/AudioMenus.h"
#include "core/PopupMenus.h"
#include "windows/frmmenu.h"
#include "core/VolumePopup.h"
#include "windows/frmMain.h"
#include "windows/frmvol.h"
#include "windows/PlaylistView.h"
#include "core/ListActions.h"
#include "core/PlaylistFile.h"
#include "windows/frmplaylist.h"

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

void frmplaylist::buildMenus() {
  mnupopup_ = new QMenu(QStringLiteral("popup song"), this);
  mnupopup_->setObjectName(QStringLiteral("mnupopup"));
  QMenu* song = mnupopup_;
  item(song, "mnuplay", "&Play ", [this] { mnuplay_Click(); });
  item(song, "mnupause", "&Pause", [this] { mnupause_Click(); });
  item(song, "mnustop", "Stop", [this] { mnustop_Click(); });
  separator(song, "mnugap1");
  item(song, "mnufileinfo", "File Info", [this] { mnufileinfo_Click(); });
  item(song, "mnuplaylistentry", "Playlistentry", [this] { mnuplaylistentry_Click(); });
  separator(song, "mnublank");
  item(song, "mnusearch", "&Search", [this] { mnusearch_Click(); });
  separator(song, "mnugap");
  QMenu* selected = submenu(song, "mnudeletesel", "Delete Selectedfile(s)");
  item(selected, "mnudelfromlist", "Sel fromplaylist", [this] { mnudelfromlist_Click(); });
  item(selected, "mnudelfromdisk", "Selfrom Harddisk", [this] { mnudelfromdisk_Click(); });
  QMenu* all = submenu(song, "mnudelall", "Delete Allfiles");
  item(all, "mnudelfromplaylist", "Allfrom Playlist", [this] { mnudelfromplaylist_Click(); });
  item(all, "mnudelfromharddisk", "Allfrom Harddisk", [this] { mnudelfromharddisk_Click(); });
  item(song, "mnuinvalid", "Delete invalid files from playlist", [this] { mnuinvalid_Click(); });
  item(song, "mnucrop", "Crop files", [this] { mnucrop_Click(); });

  mnupopupmain_ = new QMenu(QStringLiteral("popupmain"), this);
  mnupopupmain_->setObjectName(QStringLiteral("mnupopupmain"));
  QMenu* main = mnupopupmain_;
  for (QMenu* menu : {song, main}) menu->setStyleSheet(skinMenuStyle());
  QMenu* open = submenu(main, "mnuopen", "Open");
  item(open, "mnufiles", "File(s)", [this] { mnufiles_Click(); });
  item(open, "mnudir", "Dir", [this] { mnudir_Click(); });
  item(main, "mnuload", "Load Playlist", [this] { mnuload_Click(); });
  item(main, "mnusave", "Save Playlist", [this] { mnusave_Click(); });
  separator(main, "mnugap2");
  QMenu* volume = submenu(main, "mnuvol", "Volume");
  item(volume, "mnupeakvol", "Peak", [this] { mnupeakvol_Click(); });
  item(volume, "mnumute", "Mute", [this] { mnumute_Click(); });
  balanceItems_ = checkGroup(submenu(main, "Mnubal", "Balance"), kBalanceItems,
                             [this](int i) { balanceItem_Click(i); });
  rateItems_ = checkGroup(submenu(main, "mnupitch", "Pitch"), kRateItems,
                          [this](int i) { rateItem_Click(i); });
  separator(main, "mnugap3");
  item(main, "mnuabout", "About Sonavex", [this] { mnuabout_Click(); });
  item(main, "mnuexit", "Exit", [this] { mnuexit_Click(); });
  renderChecks();
}

void frmplaylist::renderChecks() {
  showCheck(balanceItems_, core_.checks.balance);
  showCheck(rateItems_, core_.checks.rate);
}

void frmplaylist::openSongMenu(double y, const QPoint& at) {
  const Index row = rowUnderPointer(y, core_.list.topIndex(), core_.list.count());
  if (row == kNone) return;  // a right click outside the rows does nothing
  core_.list.markEntry(row);
  afterCoreChange();
  mnupopup_->popup(at);
}

void frmplaylist::openMainMenu(const QPoint& at) {
  renderChecks();
  mnupopupmain_->popup(at);
}

void frmplaylist::mnuplay_Click() {
  sonavex::mnuplay_Click(core_);
  afterCoreChange();
}

void frmplaylist::mnupause_Click() { forms_.main().cmdpause_Click(); }

void frmplaylist::mnustop_Click() { forms_.main().cmdstop_Click(); }

void frmplaylist::mnufileinfo_Click() { showFileInfo(); }

void frmplaylist::mnuplaylistentry_Click() { sonavex::mnuplaylistentry_Click(core_); }

void frmplaylist::mnusearch_Click() { forms_.showSearch(); }

void frmplaylist::mnudelfromlist_Click() { forms_.menu().cmdsel_Click(); }

void frmplaylist::mnudelfromplaylist_Click() { forms_.menu().cmdall_Click(); }

void frmplaylist::mnufiles_Click() { forms_.menu().cmdfile_Click(); }

void frmplaylist::mnudir_Click() { forms_.menu().cmddir_Click(); }

void frmplaylist::mnuload_Click() {
  cmdload_Click(core_);
  afterCoreChange();
}

void frmplaylist::mnusave_Click() { cmdsave_Click(core_); }

void frmplaylist::mnupeakvol_Click() {
  sonavex::mnupeakvol_Click(core_, forms_.vol().width());
  forms_.vol().render();
}

void frmplaylist::mnumute_Click() {
  sonavex::mnumute_Click(core_);
  forms_.vol().render();
}

void frmplaylist::balanceItem_Click(int item) {
  sonavex::balanceItem_Click(core_, item);
  renderChecks();
}

void frmplaylist::rateItem_Click(int item) {
  sonavex::rateItem_Click(core_, item);
  renderChecks();
}

void frmplaylist::mnuabout_Click() { forms_.showAbout(); }

}  // namespace sonavex
