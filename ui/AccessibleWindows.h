#pragma once
// What a screen reader finds in the program's own windows: only the controls that are shown. A
// window keeps some controls hidden beside their shown twins (the lit close image, the panel for a
// file without a tag); those stay out of the accessibility tree, so nothing hidden can be read out
// or pressed. Call once before any window is made.
namespace sonavex {

void installAccessibleWindows();

}  // namespace sonavex
