#pragma once

#include <functional>

#include <QWidget>

#include "platform/qt/Binding.h"

// A sheet: a window-modal dialog over a view's window, shown while a flag holds.
namespace platform::qt {

// Closes the sheet it was handed by, as the user closing it would; does nothing once the sheet
// is gone.
using Dismiss = std::function<void()>;

// Builds a sheet's content; called each time the sheet is shown, never before.
using SheetContent = std::function<QWidget*(const Dismiss& dismiss)>;

// Shows a window-modal dialog over `host`'s window whenever `isPresented` turns true, with
// content made by `content` at that moment, and closes it when the flag turns false. Closing
// it in any other way (`dismiss`, Escape, the window's close button) writes false through the
// binding. While the sheet is up, true written again leaves it as it is. The tie ends with the
// host, which closes a sheet still up. Main thread only.
//
// While it is up the sheet keeps the keyboard: the window under it, activated (clicked), hands
// the activation back to the sheet. Return and Enter press the sheet's focused button, or its
// default one. The window's own shortcuts (QShortcut children of the window) still work in the
// sheet: they close the sheet first, then do what they do in the window.
//
// Example:
//   platform::qt::sheet(this, platform::qt::isSomeBinding(problems),
//                       [problems](const platform::qt::Dismiss& dismiss) {
//                           return new ProblemsView(problems->value().value_or({}), dismiss);
//                       });
void sheet(QWidget* host, Binding<bool> isPresented, SheetContent content);

// The window flags of a sheet or dialog: a title and a close button, no minimise or maximise
// button (the window manager is told which buttons to show).
Qt::WindowFlags sheetWindowFlags();

}  // namespace platform::qt
