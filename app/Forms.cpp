#include "app/Forms.h"

#include <QCoreApplication>
#include <QLocale>
#include <QScreen>
#include <algorithm>
#include <iostream>
#include <stdexcept>

#include "ui/Fonts.h"
#include "app/MprisService.h"
#include "ui/QtBusyPointer.h"
#include "ui/Twips.h"
#include "ui/QtMessageBoxes.h"
#include "ui/QtProgramStarter.h"
#include "windows/frmAbout.h"
#include "windows/frmsearch.h"
#include "windows/frmvol.h"
#include "ui/QtFileDialog.h"
#include "windows/frmmenu.h"
#include "ui/modFolderBrowse.h"
#include "core/model/PlayerShape.h"
#include "windows/frmMain.h"
#include "windows/frmbutton.h"
#include "core/LastPlaylist.h"
#include "windows/frmplaylist.h"

namespace sonavex {

namespace {
void moveTo(QWidget& window, Point place) { window.move(place.x, place.y); }
}  // namespace

Forms::Forms(FormsOptions options)
    : options_(std::move(options)),
      messages_(std::make_unique<QtMessageBoxes>()),
      cd1_(std::make_unique<QtFileDialog>()),
      folders_(std::make_unique<QtFolderPicker>()),
      busy_(std::make_unique<QtBusyPointer>()),
      programs_(std::make_unique<QtProgramStarter>()) {
  if (!options_.quit) options_.quit = [] { QCoreApplication::exit(0); };
  mapDesignFonts();
}

Forms::~Forms() {
  mpris_.reset();
  delete search_;
  delete about_;
  button_.reset();
  vol_.reset();
  menu_.reset();
  main_.reset();
  playlist_.reset();
  core_.reset();
  engine_.reset();
}

void Forms::start(const std::vector<std::string>& openPaths) {
  placePlayer();
  main().show();
  // Shown in the normal state: the volume popup (which loads the playlist window) and the slide.
  main().Form_Resize();
  if (ending_) return;  // ended during the slide
  if (const RestoreResult& restored = playlist().restored(); !restored.readWhole) {
    core().platform.messages->show(
        lastPlaylistKeptNotice(options_.lastPlaylistFile, restored.reason), "Sonavex",
        MsgButtons::Ok, MsgIcon::Information);
  }
  if (ending_) return;  // ended while the notice was up
  if (!openPaths.empty()) playlist().openCommandLinePaths(openPaths);
}

void Forms::placePlayer() {
  // The player and the playlist window docked beside it are centred on the screen's free area. A
  // place given before the first show is one a window manager keeps.
  frmMain& player = main();
  const QScreen* screen = player.screen();
  if (!screen) return;
  const QRect free = screen->availableGeometry();
  const Point list = playlistDock({0, 0, player.width(), player.height()}, twipsPerPixel(player));
  const int groupWidth = list.x + frmplaylist::kClientWidth;
  player.move(free.left() + std::max(0, (free.width() - groupWidth) / 2),
              free.top() + std::max(0, (free.height() - player.height()) / 2));
}

frmMain& Forms::main() {
  if (!main_) main_ = std::make_unique<frmMain>(*this);
  return *main_;
}

frmplaylist& Forms::playlist() {
  if (!playlist_) {
    // An engine that cannot start reports it on its first open; there is no silent stand-in.
    engine_ = options_.makeEngine ? options_.makeEngine() : nullptr;
    if (!engine_) throw std::logic_error("Forms needs a media engine");
    core_ = std::make_unique<Core>(*engine_, rng_);
    core_->platform.messages = messages_.get();
    core_->platform.cd1 = cd1_.get();
    core_->platform.folders = folders_.get();
    core_->platform.busy = busy_.get();
    core_->platform.programs = programs_.get();
    // The time labels use the user's decimal separator (LC_NUMERIC, else LC_ALL or LANG).
    core_->decimalSeparator = QLocale::system().decimalPoint().toStdString();
    playlist_ = std::make_unique<frmplaylist>(*this, *core_);
  }
  return *playlist_;
}

frmmenu& Forms::menu() {
  if (!menu_) {
    frmplaylist& panel = playlist();
    menu_ = std::make_unique<frmmenu>(*core_);
    QObject::connect(menu_.get(), &frmmenu::commandDone, &panel, [this] {
      playlist().render();
      main().render();
    });
    menu_->placeBeside(panel);
  }
  return *menu_;
}

frmvol& Forms::vol() {
  if (!vol_) {
    vol_ = std::make_unique<frmvol>(core());
    QObject::connect(vol_.get(), &frmvol::volumeSet, vol_.get(), [this] { mediaStateChanged(); });
  }
  return *vol_;
}

void Forms::startMediaControls(const QString& instanceSuffix) {
  if (!mpris_) mpris_ = std::make_unique<MprisService>(*this, instanceSuffix);
}

void Forms::mediaStateChanged() {
  if (mpris_) mpris_->stateChanged();
}

void Forms::mediaRequest(const std::function<void(Core&)>& request) {
  request(core());
  playlist().render();
  vol().render();
  main().render();
}

void Forms::openAndPlay(const std::string& path) {
  const Index before = core().list.count();
  playlist().filedragging({path});
  if (core().list.count() == before) return;
  core().list.markEntry(before);
  main().cmdplay_Click();
}

void Forms::raisePlayer() {
  frmMain& player = main();
  if (player.isMinimized()) player.showNormal();
  player.show();
  player.raise();
  player.activateWindow();
  playlistmotion();
}

frmbutton& Forms::button() {
  if (!button_) button_ = std::make_unique<frmbutton>(*this);
  return *button_;
}

void Forms::showVolumePopup() {
  moveTo(vol(), volumeDock(outerRect(main()), twipsPerPixel(main())));
  vol().show();
}

void Forms::playlistmotion() { button().playlistmotion(); }

void Forms::showToggleButton() {
  moveTo(button(), toggleButtonDock(outerRect(main()), twipsPerPixel(main())));
  button().show();
  button().raise();
}

void Forms::dockCompanions() {
  const double tpp = twipsPerPixel(main());
  const WindowRect player = outerRect(main());
  moveTo(playlist(), playlistDock(player, tpp));
  moveTo(menu(), menuDock(outerRect(playlist()), tpp));
  moveTo(button(), toggleButtonDock(player, tpp));
  moveTo(vol(), volumeDock(player, tpp));
}

void Forms::hideCompanions() {
  if (about_) about_->hide();
  button().hide();
  menu().hide();
  vol().hide();
}

void Forms::showSearch() {
  if (!search_) {
    search_ = new frmsearch(core());
    QObject::connect(search_, &frmsearch::wentTo, &playlist(), [this] {
      playlist().render();
      main().render();
    });
    search_->placeBelow(playlist());
  }
  search_->show();
  search_->raise();
  search_->activateWindow();
}

frmsearch* Forms::search() const { return search_.data(); }

frmAbout* Forms::about() const { return about_.data(); }

void Forms::showAbout() {
  if (!about_) about_ = new frmAbout(core());
  about_->show();
  about_->raise();
  about_->activateWindow();
}

Core& Forms::core() {
  playlist();
  return *core_;
}

MediaEngine& Forms::mp1() {
  playlist();
  return *engine_;
}

void Forms::endProgram() {
  if (ending_) return;
  ending_ = true;
  savelastplaylist();
  options_.quit();
}

void Forms::savelastplaylist() {
  if (!options_.saveLastPlaylist || !core_ || !playlist_->restored().readWhole) return;
  // The program goes on (or ends) all the same; what went wrong is told where no window waits.
  std::string reason;
  if (!sonavex::savelastplaylist(*core_, options_.lastPlaylistFile, &reason)) {
    std::cerr << "sonavex: cannot save the playlist to \"" << options_.lastPlaylistFile
              << "\": " << reason << std::endl;
  }
}

}  // namespace sonavex
