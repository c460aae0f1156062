#pragma once

// Whether the kit's views animate their changes (fades, springs). Off, every change shows its
// end state at once: tests turn animations off, as a transaction without animation would.
namespace LxAnimation {

bool isEnabled();
void setEnabled(bool enabled);

}  // namespace LxAnimation
