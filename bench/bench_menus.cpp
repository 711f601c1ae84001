// The search window over 100,000 entries, and how fast the menus, the search window and the About
// box open (the first time, and after it).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>

#include "WindowsKit.h"
#include "app/Forms.h"
#include "windows/frmAbout.h"
#include "windows/frmsearch.h"
#include "windows/PopupMenus.h"
#include "windows/frmplaylist.h"

namespace {

using namespace sonavex;
using bench::settle;
using bench::ShownWindows;



// Search text, then the search and the shown count; the drop-down is filled as its model.
void searchIn100000(benchmark::State& state, const char* text) {
  ShownWindows w(100000);
  w.forms->showSearch();
  frmsearch* search = w.forms->search();
  search->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QString::fromUtf8(text));
  std::size_t matches = 0;
  for (auto _ : state) {
    search->cmdsearch_Click();
    search->repaint();
    settle();
    matches = static_cast<std::size_t>(search->findChild<QComboBox*>()->count());
  }
  state.counters["matches"] = static_cast<double>(matches);
}

void BM_SearchEverything(benchmark::State& state) { searchIn100000(state, ""); }
BENCHMARK(BM_SearchEverything)->Unit(benchmark::kMillisecond);

void BM_SearchFewMatches(benchmark::State& state) { searchIn100000(state, "track 4242"); }
BENCHMARK(BM_SearchFewMatches)->Unit(benchmark::kMillisecond);

// Opens one window or menu and shows it. Argument 1 (run once): the first opening of this run;
// argument 0: every opening after the first.
template <class Open, class Close>
void opening(benchmark::State& state, Open open, Close close) {
  ShownWindows w(100);
  if (state.range(0) == 0) {
    open(w);
    settle();
    close(w);
    settle();
  }
  for (auto _ : state) {
    open(w);
    settle();
    state.PauseTiming();
    close(w);
    settle();
    state.ResumeTiming();
  }
}

void BM_OpenMainMenu(benchmark::State& state) {
  opening(
      state, [](ShownWindows& w) { w.forms->playlist().openMainMenu(QPoint(100, 100)); },
      [](ShownWindows& w) { w.forms->playlist().menus().mnupopupmain()->hide(); });
}
BENCHMARK(BM_OpenMainMenu)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenMainMenu)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_OpenSongMenu(benchmark::State& state) {
  opening(
      state, [](ShownWindows& w) { w.forms->playlist().openSongMenu(5, QPoint(100, 100)); },
      [](ShownWindows& w) { w.forms->playlist().menus().mnupopup()->hide(); });
}
BENCHMARK(BM_OpenSongMenu)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSongMenu)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_OpenSearch(benchmark::State& state) {
  opening(
      state, [](ShownWindows& w) { w.forms->showSearch(); },
      [](ShownWindows& w) {
        w.forms->search()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      });
}
BENCHMARK(BM_OpenSearch)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSearch)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_OpenAbout(benchmark::State& state) {
  opening(
      state, [](ShownWindows& w) { w.forms->showAbout(); },
      [](ShownWindows& w) {
        w.forms->about()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      });
}
BENCHMARK(BM_OpenAbout)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAbout)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return sonavex::bench::runQtBenchmarks(argc, argv); }
