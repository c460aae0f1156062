#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include <QWidget>

#include "app/manager/CombineOutput.h"
#include "folder/LxFile.h"
#include "reactive/LxRxToogleState.h"
#include "ui-app/AppServices.h"

class OutputProfileContentView;
class QPushButton;
class QStackedWidget;

// The right pane of the main window: the header "Output" with "Combine" while there is an
// output profile, the profile's content below it (an empty area without one), and the result
// sheet after a combined project was saved.
//
// "Combine" asks for the busy overlay ("Combining ..."), combines on the background queue, has
// the overlay dismissed, and then reports "Combining failed" or opens the save panel on the
// main window (only "orb" files, named after the profile or "Project"). The chosen file is
// replaced only once the whole package is copied there and the copy reads back whole; a failed
// copy leaves it as it was and reports "Failed to save!". A successful save puts its path into
// `savedOrbFile`, which shows the result sheet. "Combine" pressed while a combine runs does
// nothing. The temporary package is left where the engine made it. Main thread only.
//
// Example:
//   auto* output = new OutputProfileView(AppServices::shared());
//   layout->addWidget(output);
class OutputProfileView final : public QWidget {
public:
    using SavedOrbFile = LxRxToogleState<std::string>;

    explicit OutputProfileView(AppServices services, QWidget* parent = nullptr);

    const std::shared_ptr<SavedOrbFile>& savedOrbFile() const { return savedOrbFile_; }

    // At least 520 wide, and as wide as the profile's content needs in the pane's font, with or
    // without a profile shown, so that the pane neither clips its content nor grows when a
    // profile appears.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* makeHeader();
    void showProfile(const CombineOutput::SharedProfile& profile);
    void combineProjects();
    void finishCombine(const std::optional<LxFile>& file);
    void presentSavePanel(const LxFile& file);
    void copyCombinedFile(const LxFile& file, const std::filesystem::path& destination);

    const AppServices services_;
    const std::shared_ptr<SavedOrbFile> savedOrbFile_ = SavedOrbFile::create();
    QWidget* header_ = nullptr;
    QPushButton* combineButton_ = nullptr;
    QStackedWidget* body_ = nullptr;
    OutputProfileContentView* content_ = nullptr;
    bool combining_ = false;
    mutable std::optional<int> contentMinimumWidth_;
};

// The name the save panel offers for a profile named `profileName`: the name as it stands, or
// "Project" when it is blank.
std::string defaultSaveName(const std::string& profileName);
