#include "core/PopupMenus.h"

namespace sonavex {

namespace {
bool isEntry(const Core& core, Index i) { return i >= 0 && i < core.list.count(); }
}  // namespace

void mnuplay_Click(Core& core) {
  const Index chosen = core.list.listIndex1();
  if (isEntry(core, chosen)) core.mp1.open(core.list.path(chosen));
}

void mnuplaylistentry_Click(Core& core) {
  const Index chosen = core.list.listIndex1();
  if (!isEntry(core, chosen) || !core.platform.messages) return;
  core.platform.messages->show("path of selected song : " + core.list.path(chosen), "Sonavax",
                               MsgButtons::Ok, MsgIcon::Information);
}

}  // namespace sonavex
