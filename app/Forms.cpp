#include "app/Forms.h"

#include <QApplication>
#include <QLocale>
#include <QScreen>
#include <QShortcut>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "app/FileWriterThread.h"
#include "app/ListWakeNotifier.h"
#include "app/MprisService.h"
#include "app/NetworkFiles.h"
#include "core/Command.h"
#include "core/EngineEvents.h"
#include "core/FileDrop.h"
#include "core/LastPlaylist.h"
#include "core/ListWork.h"
#include "core/SoundSettings.h"
#include "core/model/PlayerShape.h"
#include "core/model/ToggleButton.h"
#include "ui/AccessibleWindows.h"
#include "ui/FocusChain.h"
#include "ui/Fonts.h"
#include "ui/QtBusyPointer.h"
#include "ui/QtFileDialog.h"
#include "ui/QtMessageBoxes.h"
#include "ui/QtProgramStarter.h"
#include "ui/ScreenFit.h"
#include "ui/StartupProbe.h"
#include "ui/Twips.h"
#include "ui/modFolderBrowse.h"
#include "windows/PlaylistView.h"
#include "windows/frmAbout.h"
#include "windows/frmMain.h"
#include "windows/frmaddress.h"
#include "windows/frmbutton.h"
#include "windows/frmeq.h"
#include "windows/frmmenu.h"
#include "windows/frmplaylist.h"
#include "windows/frmsearch.h"
#include "windows/frmvol.h"

namespace sonavex {

namespace {
void moveTo(QWidget& window, Point place) { window.move(place.x, place.y); }

// Pixels from the playlist's place to the equalizer's.
constexpr int kEqualizerGap = 6, kEqualizerInset = 7;

// The key that opens and puts away the equalizer, over the player and the playlist alike.
void equalizerKey(QWidget& window, std::function<void()> toggle) {
  auto* key = new QShortcut(QKeySequence(QStringLiteral("Ctrl+E")), &window);
  QObject::connect(key, &QShortcut::activated, &window, std::move(toggle));
}

// When `dialog` goes, the keyboard goes back to the window it came from, unless another has it:
// without a window manager nothing would have it.
void returnFocusWhenClosed(QWidget& dialog) {
  QPointer<QWidget> from = QApplication::activeWindow();
  if (!from || from == &dialog) return;
  QObject::connect(&dialog, &QObject::destroyed, from, [from] {
    if (from && from->isVisible() && !QApplication::activeWindow()) from->activateWindow();
  });
}
// The one window of its kind, made afresh after each close: directly below the playlist window,
// moved up or aside where that would not show whole on the playlist's screen.
template <class Window>
void showBelow(QPointer<Window>& held, Core& core, QWidget& playlist) {
  if (!held) {
    held = new Window(core);
    moveOntoScreen(*held, placeBelow(playlist), playlist.screen());
    returnFocusWhenClosed(*held);
  }
  held->show();
  held->raise();
  held->activateWindow();
}
}  // namespace

Forms::Forms(FormsOptions options)
    : options_(std::move(options)),
      messages_(std::make_unique<QtMessageBoxes>()),
      cd1_(std::make_unique<QtFileDialog>()),
      folders_(std::make_unique<QtFolderPicker>()),
      busy_(std::make_unique<QtBusyPointer>()),
      programs_(std::make_unique<QtProgramStarter>()),
      writer_(std::make_unique<FileWriterThread>()),
      remote_(std::make_unique<NetworkFiles>()),
      listWake_(std::make_unique<ListWakeNotifier>()) {
  if (!options_.quit) options_.quit = [] { QCoreApplication::exit(0); };
  mapDesignFonts();
  installAccessibleWindows();
  // An engine that cannot start reports it on its first open; there is no silent stand-in.
  engine_ = options_.makeEngine ? options_.makeEngine() : nullptr;
  if (!engine_) throw std::logic_error("Forms needs a media engine");
  core_ = std::make_unique<Core>(*engine_, rng_);
  Platform& platform = core_->platform;
  platform.messages = messages_.get();
  platform.cd1 = cd1_.get();
  platform.folders = folders_.get();
  platform.busy = busy_.get();
  platform.programs = programs_.get();
  platform.loop = this;
  platform.writer = writer_.get();
  platform.listWake = listWake_.get();
  platform.remote = remote_.get();
  connectListWork(*core_, options_.listJobsInBackground);
  // The time labels use the user's decimal separator (LC_NUMERIC, else LC_ALL or LANG).
  core_->decimalSeparator = QLocale::system().decimalPoint().toStdString();
  core_->lastPlaylist.path = options_.lastPlaylistFile;
  core_->lastPlaylist.saves = options_.saveLastPlaylist;
  loadSoundSettings(*core_, options_.soundSettingsFile);
  core_->observer = this;
  events_ = std::make_unique<EngineEvents>(*core_);
  // Not restarted by later changes: a list that keeps changing is still written every 2 s.
  autosave_.setSingleShot(true);
  autosave_.setInterval(kAutosaveDelayMs);
  QObject::connect(&autosave_, &QTimer::timeout,
                   [this] { perform(*core_, autosaveLastPlaylist); });
}

Forms::~Forms() {
  // List work under way stops; what it would have shown afterwards no longer runs.
  endListWork(*core_);
  core_->observer = nullptr;
  mpris_.reset();
  delete search_;
  delete address_;
  delete about_;
  button_.reset();
  eq_.reset();
  vol_.reset();
  menu_.reset();
  main_.reset();
  playlist_.reset();
  events_.reset();
  core_.reset();
  engine_.reset();
}

void Forms::start(const std::vector<std::string>& openPaths) {
  placePlayer();
  main().show();
  // Shown in the normal state: the volume popup (after the playlist window's load) and the slide.
  main().Form_Resize();
  if (core_->ending) return;  // ended during the slide
  // After the restore, which may still run: a list job's waiting commands keep their order.
  if (!openPaths.empty()) perform(*core_, openCommandLinePaths, openPaths);
}

void Forms::placePlayer() {
  // The player, the playlist window docked beside it and the flyout beside that are centred on the
  // screen's free area. A place given before the first show is one a window manager keeps.
  frmMain& player = main();
  const QScreen* screen = player.screen();
  if (!screen) return;
  const QRect free = screen->availableGeometry();
  const double tpp = twipsPerPixel(player);
  const Point list = playlistDock({0, 0, player.width(), player.height()}, tpp);
  const Point flyout = menuDock({list.x, list.y, frmplaylist::kClientWidth, 0}, tpp);
  const int groupWidth = flyout.x + frmmenu::kStripWidth;
  player.move(free.left() + std::max(0, (free.width() - groupWidth) / 2),
              free.top() + std::max(0, (free.height() - player.height()) / 2));
}

frmMain& Forms::main() {
  if (main_) return *main_;
  main_ = std::make_unique<frmMain>(*core_);
  QObject::connect(main_.get(), &frmMain::shownNormal, [this] {
    showVolumePopup();
    playlistmotion();
  });
  QObject::connect(main_.get(), &frmMain::minimised, [this] { hideCompanions(); });
  QObject::connect(main_.get(), &frmMain::moved, [this] { dockCompanions(); });
  equalizerKey(*main_, [this] { toggleEqualizer(); });
  QObject::connect(main_.get(), &frmMain::mainMenuRequested,
                   [this](const QPoint& at) { playlist().openMainMenu(at); });
  // Tab goes on from the player to the volume arc, and from there to the playlist window (or the
  // button that brings it back); Shift+Tab goes the other way round.
  QObject::connect(main_.get(), &frmMain::tabbedOut, [this](bool next) {
    if (next) {
      enterWindowByTab(vol(), next);
    } else {
      enterPlaylistByTab(next);
    }
  });
  return *main_;
}

frmplaylist& Forms::playlist() {
  if (playlist_) return *playlist_;
  playlist_ = std::make_unique<frmplaylist>(*core_);
  frmplaylist* list = playlist_.get();
  QObject::connect(list, &frmplaylist::flyoutRequested, [this](Flyout which) {
    menu().placeBeside(playlist());
    menu().showFlyout(which);
  });
  QObject::connect(list, &frmplaylist::flyoutEntered, [this](Flyout) {
    enterWindowByTab(menu(), true);
  });
  QObject::connect(list, &frmplaylist::flyoutDismissed, [this] {
    if (menu_) menu_->hide();
  });
  QObject::connect(list, &frmplaylist::flyoutButtonLeft, [this](Flyout) { withdrawFlyout(); });
  QObject::connect(list, &frmplaylist::tabbedOut, [this](bool next) {
    if (next) {
      enterWindowByTab(main(), next);
    } else {
      enterWindowByTab(vol(), next);
    }
  });
  QObject::connect(list, &frmplaylist::moved, [this] {
    if (menu_) menu_->placeBeside(playlist());
  });
  QObject::connect(list, &frmplaylist::putAway, [this] {
    if (menu_) menu_->hide();  // it would float alone beside nothing
    const bool hadKeyboard = playlist().isActiveWindow();
    showToggleButton();
    // The keyboard stays on something shown: the button that brings the panel back.
    if (hadKeyboard) enterWindowByTab(button(), true);
  });
  QObject::connect(list, &frmplaylist::searchRequested, [this] { showSearch(); });
  QObject::connect(list, &frmplaylist::addressRequested, [this] { showAddress(); });
  QObject::connect(list, &frmplaylist::aboutRequested, [this] { showAbout(); });
  QObject::connect(list, &frmplaylist::equalizerRequested, [this] { toggleEqualizer(); });
  equalizerKey(*list, [this] { toggleEqualizer(); });
  setKeyboardHome(list->list());
  return *playlist_;
}

frmmenu& Forms::menu() {
  if (!menu_) {
    menu_ = std::make_unique<frmmenu>(*core_);
    menu_->placeBeside(playlist());
    QObject::connect(menu_.get(), &frmmenu::left, [this](Flyout which) {
      menu_->hide();
      playlist().focusFlyoutButton(which);
    });
    QObject::connect(menu_.get(), &frmmenu::pointerLeft, [this] { withdrawFlyout(); });
    QObject::connect(menu_.get(), &frmmenu::addressRequested, [this] { showAddress(); });
  }
  return *menu_;
}

frmvol& Forms::vol() {
  // The engine's first use loads the playlist window, its host, before the popup's own load.
  playlist();
  if (!vol_) {
    vol_ = std::make_unique<frmvol>(*core_);
    QObject::connect(vol_.get(), &frmvol::tabbedOut, [this](bool next) {
      if (next) {
        enterPlaylistByTab(next);
      } else {
        enterWindowByTab(main(), next);
      }
    });
  }
  return *vol_;
}

frmbutton& Forms::button() {
  if (button_) return *button_;
  button_ = std::make_unique<frmbutton>();
  QObject::connect(button_.get(), &frmbutton::playlistRequested, [this] { playlistmotion(); });
  QObject::connect(button_.get(), &frmbutton::tabbedOut, [this](bool next) {
    if (next) {
      enterWindowByTab(main(), next);
    } else {
      enterWindowByTab(vol(), next);
    }
  });
  return *button_;
}

void Forms::startMediaControls(const QString& instanceSuffix) {
  if (!mpris_) {
    mpris_ = std::make_unique<MprisService>(*core_, [this] { raisePlayer(); }, instanceSuffix);
  }
}

void Forms::coreChanged() {
  if (main_) main_->render();
  if (playlist_) playlist_->render();
  if (vol_) vol_->render();
  if (eq_) eq_->render();
  if (mpris_) mpris_->stateChanged();
  if (lastPlaylistOutdated(*core_) && !autosave_.isActive()) autosave_.start();
}

void Forms::quit() { options_.quit(); }

void Forms::enterPlaylistByTab(bool next) {
  const bool putAway = button_ && button_->isVisible();
  enterWindowByTab(putAway ? static_cast<QWidget&>(button()) : playlist(), next);
}

void Forms::withdrawFlyout() {
  // Unless the pointer went on between the flyout and its button, or the keyboard is in it.
  if (!menu_ || !menu_->isVisible() || menu_->hasKeyboard() || menu_->underPointer()) return;
  if (playlist_ && playlist_->pointerOnFlyoutButton(menu_->shownFlyout())) return;
  menu_->hide();
}

void Forms::runPending() {
  // Not again from inside: a queue of media-control Nexts would otherwise nest one per call.
  if (pumping_) return;
  pumping_ = true;
  QCoreApplication::processEvents();
  pumping_ = false;
}

void Forms::raisePlayer() {
  frmMain& player = main();
  if (player.isMinimized()) player.showNormal();
  player.show();
  player.raise();
  player.activateWindow();
  playlistmotion();
}

void Forms::showVolumePopup() {
  moveTo(vol(), volumeDock(outerRect(main()), twipsPerPixel(main())));
  vol().show();
}

void Forms::playlistmotion() {
  // A slide already under way (a restore during it, say) brings the window in by itself.
  if (sliding_) return;
  sliding_ = true;
  probeMoment(ProbeMoment::SlideStart);
  frmMain& player = main();
  frmplaylist& list = playlist();
  const double tpp = twipsPerPixel(player);
  list.prepareSlideIn();
  if (menu_) menu_->hide();
  const WindowRect p = outerRect(player);
  const int top = playlistDock(p, tpp).y;
  const QScreen* screen = player.screen();
  const double screenRight = screen ? screen->geometry().right() + 1 : p.left + p.width;
  const double target = (p.left + p.width) * tpp + kPlaylistGapTwips;
  Slide slide(screenRight * tpp, target);
  list.move(static_cast<int>(std::lround(slide.left() / tpp)), top);
  list.show();
  list.activateWindow();
  list.setFocus();
  // The slide counts its own steps, so it ends even where the window system refuses a move.
  while (slide.step()) {
    list.move(static_cast<int>(std::lround(slide.left() / tpp)), top);
    QCoreApplication::processEvents();
  }
  list.move(static_cast<int>(std::lround(slide.left() / tpp)), top);
  sliding_ = false;
  probeMoment(ProbeMoment::SlideEnd);
}

void Forms::showToggleButton() {
  moveTo(button(), toggleButtonDock(outerRect(main()), twipsPerPixel(main())));
  button().show();
  button().raise();
}

void Forms::dockCompanions() {
  const double tpp = twipsPerPixel(main());
  const WindowRect player = outerRect(main());
  moveTo(playlist(), playlistDock(player, tpp));
  menu().placeBeside(playlist());
  moveTo(button(), toggleButtonDock(player, tpp));
  moveTo(vol(), volumeDock(player, tpp));
  if (eq_) placeEqualizer();
}

void Forms::placeEqualizer() {
  const Point list = playlistDock(outerRect(main()), twipsPerPixel(main()));
  equalizer().move(list.x + kEqualizerInset, list.y + frmplaylist::kClientHeight + kEqualizerGap);
}

void Forms::hideCompanions() {
  playlist().Image3_Click();
  // Wiped away it stays a window (a shape of nothing) that the desktop would still offer.
  playlist().hide();
  if (about_) about_->hide();
  button().hide();
  menu().hide();
  vol().hide();
  if (eq_) eq_->hide();
}

frmeq& Forms::equalizer() {
  if (!eq_) {
    eq_ = std::make_unique<frmeq>(*core_);
    QObject::connect(eq_.get(), &frmeq::putAway, [this] { toggleEqualizer(); });
    equalizerKey(*eq_, [this] { toggleEqualizer(); });
  }
  return *eq_;
}

void Forms::toggleEqualizer() {
  frmeq& window = equalizer();
  if (window.isVisible()) {
    window.hide();
    main().activateWindow();
    return;
  }
  placeEqualizer();
  window.show();
  window.raise();
  enterWindowByTab(window, true);
}

void Forms::showSearch() { showBelow(search_, *core_, playlist()); }

frmsearch* Forms::search() const { return search_.data(); }

void Forms::showAddress() { showBelow(address_, *core_, playlist()); }

frmaddress* Forms::address() const { return address_.data(); }

frmAbout* Forms::about() const { return about_.data(); }

void Forms::showAbout() {
  if (!about_) {
    about_ = new frmAbout(*core_);
    moveOntoScreen(*about_, placeCentredOver(*about_, main()), main().screen());
    returnFocusWhenClosed(*about_);
  }
  about_->show();
  about_->raise();
  about_->activateWindow();
}

}  // namespace sonavex
