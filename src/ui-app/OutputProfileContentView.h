#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QString>

#include "LxOrbinDocument/Model/Task/OrbTaskLinkType.h"
#include "app/manager/CombineOutput.h"
#include "platform/qt/Binding.h"
#include "ui-app/PaneScrollArea.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class OutputProfileTeamView;

// The output profile in five sections, where the user edits the combined project's name and the
// layout of the copied sources; all else is shown read-only.
//
// Built once for a profile and kept up to date with `setProfile` (the owner calls it on every
// publication of the profile): the widgets change in place, so the name field keeps its focus
// and cursor while the user types. Edits go out through the two bindings; a layout option that
// the profile does not allow (`isChoosable`) is shown greyed and never chosen. Main thread only.
//
// Example:
//   auto* content = new OutputProfileContentView(*output->profile(), projectNameBinding(output),
//                                                sourceProjectLayoutOptionBinding(output));
//   platform::qt::bindPublisher(content, output->profilePublisher(), [content](const auto& p) {
//       if (p) content->setProfile(*p);
//   });
class OutputProfileContentView final : public PaneScrollArea {
public:
    // The narrowest the area can be with its content whole beside the scroll bar.
    int minimumWidthForContent() const;

    using LayoutOption = CombineOutput::SourceProjectLayoutOption;

    OutputProfileContentView(const CombineOutput::Profile& profile,
                             platform::qt::Binding<std::string> projectName,
                             platform::qt::Binding<LayoutOption> sourceProjectLayoutOption,
                             QWidget* parent = nullptr);

    void setProfile(const CombineOutput::Profile& profile);

private:
    QWidget* makeLayoutOptions();
    QWidget* makeBasicProperties();
    QWidget* makeTeam();
    void chooseLayout(int id);

    // The profile's layout and the fields that decide which layouts may be chosen.
    CombineOutput::Profile layoutRule_;
    platform::qt::Binding<std::string> projectName_;
    platform::qt::Binding<LayoutOption> sourceProjectLayoutOption_;

    QButtonGroup* layoutOptions_ = nullptr;
    QLineEdit* projectNameEdit_ = nullptr;
    QLabel* currency_ = nullptr;
    QLabel* dailyWorkingHours_ = nullptr;
    QLabel* defaultChargeRate_ = nullptr;
    QLabel* datePolicy_ = nullptr;
    QLabel* linkType_ = nullptr;
    OutputProfileTeamView* team_ = nullptr;
};

// The contact e-mail of `member`: the first of its sources' e-mails that is not blank, as
// stored (not trimmed); "" when there is none. A view of the e-mail where the source keeps it,
// good as long as `member`: a team of thousands is compared and listed without a copy each.
std::string_view contactEmail(const CombineOutput::Member& member);

// Whether the layout may be chosen for `profile`: `direct` always, `group` below 4 outline
// levels, `subProject` without sub-projects among the sources.
bool isChoosable(const CombineOutput::Profile& profile,
                 CombineOutput::SourceProjectLayoutOption option);

// "Working-days Only" or "All the days".
QString datePolicyText(bool onlyScheduleTasksAtWorkingDays);
// "Finish to Start" or "Simple List".
QString linkTypeText(OrbTaskLinkType taskLinkType);

// Bindings to the profile's name and layout of `output`, through its accessors.
platform::qt::Binding<std::string> projectNameBinding(const std::shared_ptr<CombineOutput>& output);
platform::qt::Binding<CombineOutput::SourceProjectLayoutOption> sourceProjectLayoutOptionBinding(
    const std::shared_ptr<CombineOutput>& output);
