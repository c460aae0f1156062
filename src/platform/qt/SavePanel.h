#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

// The save panel: asks the user where a new file goes, as a sheet on a window.
namespace platform::qt {

struct SavePanelOptions {
    // Extensions without the dot; the chosen name ends in one of them.
    std::vector<std::string> allowedFileTypes;
    // Whether a name may end in an extension not listed (otherwise the first allowed one is
    // added to it).
    bool allowsOtherFileTypes = true;
    // The name offered in the name field.
    std::string nameFieldStringValue;

    bool operator==(const SavePanelOptions&) const = default;
};

// Receives the chosen path, or none when the user cancelled; called once, on the main thread.
using SavePanelCompletion = std::function<void(const std::optional<std::filesystem::path>&)>;

// Shows a save panel with `options` as a sheet on `window` and returns at once; the completion
// follows when the panel closes. A seam, so that views can be driven without a real panel.
using SavePanel =
    std::function<void(QWidget* window, const SavePanelOptions&, SavePanelCompletion)>;

// The panel of Qt's own file dialog: window-modal on the window, without minimise or maximise
// buttons, opened in the user's documents folder the first time and in the folder of the last
// save made through this panel after that; one filter of the allowed types, the name field filled,
// and confirmation before an existing file is replaced (asked for the name as it will be saved,
// extension included).
SavePanel fileDialogSavePanel();

// `fileName` as the panel saves it: unchanged when other types are allowed, there are none, or
// its extension is allowed (letter case ignored); else with ".<first allowed type>" added
// ("plan.txt" -> "plan.txt.orb").
QString withAllowedFileType(const QString& fileName, const SavePanelOptions& options);

}  // namespace platform::qt
