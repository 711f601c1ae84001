#pragma once
// Keeps what screen readers hold of the program's objects current. Qt's accessibility bridge sends
// a change of a name, a description, a state or the children only while some reader has asked the
// accessibility registry for that kind of change. Every AT-SPI client keeps the names, states and
// children of the objects it has met; one that never asked for their changes, or whose asking
// ended when another reader stopped asking, goes on reading old values (a title two tracks back).
// So the program asks for them itself, on a connection of its own to the accessibility bus, for as
// long as it runs; a bus that comes later (a reader started after the player) is asked then.
class QObject;

namespace sonavex {

void keepReaderCachesCurrent(QObject* owner);

}  // namespace sonavex
