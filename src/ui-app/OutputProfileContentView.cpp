#include "ui-app/OutputProfileContentView.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include <QButtonGroup>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui-app/OutputProfileRowView.h"
#include "ui-app/OutputProfileTeamView.h"
#include "ui-app/ViewStyle.h"
#include "ui-kit/LxColor.h"
#include "utility/NumberConversions.h"
#include "utility/StringExtensions.h"

namespace {

using LayoutOption = CombineOutput::SourceProjectLayoutOption;

constexpr int kTitleWidth = OutputProfileRowView::kTitleWidth;
constexpr int kSectionPadding = 20;
constexpr int kRowSpacing = 1;
constexpr std::int64_t kGroupLayoutOutlineLimit = 4;

struct LayoutChoice {
    LayoutOption option;
    const char* text;
    const char* objectName;
};

const std::array<LayoutChoice, 3> kLayoutChoices = {{
    {LayoutOption::direct, "Copy tasks directly from source projects", "layoutOptionDirect"},
    {LayoutOption::group, "Copy source project as task groups at the first outline level",
     "layoutOptionGroup"},
    {LayoutOption::subProject, "Copy source project as sub-projects at the first outline level",
     "layoutOptionSubProject"},
}};

QString localized(const char* key) {
    return QCoreApplication::translate("OutputProfileContentView", key);
}

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

// One section: its title, then its rows, one point apart, so that the background shows between
// them as thin lines.
struct Section {
    QWidget* widget;
    QVBoxLayout* rows;
};

Section makeSection(const char* title) {
    auto* widget = new QWidget;
    auto* rows = new QVBoxLayout(widget);
    rows->setSpacing(kRowSpacing);
    rows->setContentsMargins(0, kSectionPadding, 0, 0);
    rows->addWidget(new OutputProfileSegmentView(QString::fromUtf8(title)));
    return {widget, rows};
}

QLabel* addValueRow(QVBoxLayout* rows, const char* title) {
    QLabel* value = lx::verbatimLabel(QString());
    rows->addWidget(new OutputProfileRowView(QString::fromUtf8(title), kTitleWidth, value));
    return value;
}

OutputProfileTeamModel::Team teamOf(const CombineOutput::Profile& profile) {
    OutputProfileTeamModel::Team team;
    team.reserve(profile.members.size());
    for (const CombineOutput::Member& member : profile.members) {
        team.emplace_back(member.name, contactEmail(member));
    }
    return team;
}

// Whether `team` is the team of `profile` already (shown or still being measured), compared in
// place: the profile changes at every key typed into the name, its team seldom, and a team of
// thousands is not copied for it.
bool isTeamOf(const OutputProfileTeamModel::Team& team, const CombineOutput::Profile& profile) {
    return std::ranges::equal(
        team, profile.members, [](const auto& row, const CombineOutput::Member& member) {
            return row.first == member.name && row.second == contactEmail(member);
        });
}

// The layout and what decides which layouts may be chosen: the list shows the team and nothing
// reads it back, so a team of thousands is not copied once more at every change.
CombineOutput::Profile layoutRuleOf(const CombineOutput::Profile& profile) {
    CombineOutput::Profile rule;
    rule.sourceProjectLayoutOption = profile.sourceProjectLayoutOption;
    rule.maxOutlineLevel = profile.maxOutlineLevel;
    rule.includeSubProject = profile.includeSubProject;
    return rule;
}

}  // namespace

std::string_view contactEmail(const CombineOutput::Member& member) {
    for (const CombineOutput::Member::Source& source : member.sources) {
        const std::optional<std::string>& email = source.member->email();
        if (!lx::isBlank(email)) {
            return *email;
        }
    }
    return {};
}

bool isChoosable(const CombineOutput::Profile& profile, LayoutOption option) {
    switch (option) {
        case LayoutOption::direct:
            return true;
        case LayoutOption::group:
            return profile.maxOutlineLevel < kGroupLayoutOutlineLimit;
        case LayoutOption::subProject:
            return !profile.includeSubProject;
    }
    return false;
}

QString datePolicyText(bool onlyScheduleTasksAtWorkingDays) {
    return onlyScheduleTasksAtWorkingDays ? localized("Working-days Only")
                                          : localized("All the days");
}

QString linkTypeText(OrbTaskLinkType taskLinkType) {
    return taskLinkType == OrbTaskLinkType::finishToStart ? localized("Finish to Start")
                                                          : localized("Simple List");
}

platform::qt::Binding<std::string> projectNameBinding(
    const std::shared_ptr<CombineOutput>& output) {
    return {[output] { return output->projectName(); },
            [output](std::string name) { output->setProjectName(std::move(name)); },
            output->profilePublisher().map([](const CombineOutput::SharedProfile& profile) {
                return profile ? profile->name : std::string();
            })};
}

platform::qt::Binding<LayoutOption> sourceProjectLayoutOptionBinding(
    const std::shared_ptr<CombineOutput>& output) {
    return {[output] { return output->sourceProjectLayoutOption(); },
            [output](LayoutOption option) { output->setSourceProjectLayoutOption(option); },
            output->profilePublisher().map([](const CombineOutput::SharedProfile& profile) {
                return profile ? profile->sourceProjectLayoutOption : LayoutOption::direct;
            })};
}

OutputProfileContentView::OutputProfileContentView(
    const CombineOutput::Profile& profile, platform::qt::Binding<std::string> projectName,
    platform::qt::Binding<LayoutOption> sourceProjectLayoutOption, QWidget* parent)
    : PaneScrollArea(parent),
      layoutRule_(layoutRuleOf(profile)),
      projectName_(std::move(projectName)),
      sourceProjectLayoutOption_(std::move(sourceProjectLayoutOption)) {
    setObjectName("profileContent");
    auto* content = new QWidget;
    content->setAutoFillBackground(false);
    auto* sections = new QVBoxLayout(content);
    sections->setContentsMargins(0, 0, 0, 0);
    sections->setSpacing(0);
    sections->addWidget(makeLayoutOptions());
    sections->addWidget(makeBasicProperties());
    sections->addWidget(makeTeam());

    Section datePolicy = makeSection("PROJECT DATE POLICY");
    datePolicy_ = addValueRow(datePolicy.rows, "Allow to Schedule Task at");
    sections->addWidget(datePolicy.widget);

    Section linkType = makeSection("PROJECT LINK TYPE");
    linkType.rows->setContentsMargins(0, kSectionPadding, 0, kSectionPadding);
    linkType_ = addValueRow(linkType.rows, "Task Link Type");
    sections->addWidget(linkType.widget);
    sections->addStretch(1);
    setWidget(content);

    setProfile(profile);
}

QWidget* OutputProfileContentView::makeLayoutOptions() {
    Section section = makeSection("COMBINING OPTIONs");
    auto* options = new QWidget;
    auto* column = new QVBoxLayout(options);
    column->setContentsMargins(0, 0, 0, 0);
    layoutOptions_ = new QButtonGroup(this);
    layoutOptions_->setExclusive(true);
    for (const LayoutChoice& choice : kLayoutChoices) {
        auto* button = new QRadioButton(QString::fromUtf8(choice.text));
        button->setObjectName(choice.objectName);
        layoutOptions_->addButton(button, static_cast<int>(choice.option));
        column->addWidget(button);
    }
    connect(layoutOptions_, &QButtonGroup::idClicked, this, [this](int id) { chooseLayout(id); });
    section.rows->addWidget(new OutputProfileRowView(std::nullopt, std::nullopt, options));
    return section.widget;
}

QWidget* OutputProfileContentView::makeBasicProperties() {
    Section section = makeSection("PROJECT BASIC PROPERTIES");
    projectNameEdit_ = new QLineEdit;
    projectNameEdit_->setObjectName("projectNameEdit");
    projectNameEdit_->setPlaceholderText(localized("PROJECT NAME"));
    // Only the user's edits go out, never the text set below from the profile.
    connect(projectNameEdit_, &QLineEdit::textEdited, this,
            [this](const QString& name) { projectName_.set(name.toStdString()); });
    section.rows->addWidget(
        new OutputProfileRowView(QString::fromUtf8("Project Name"), kTitleWidth, projectNameEdit_));
    currency_ = addValueRow(section.rows, "Currency");
    dailyWorkingHours_ = addValueRow(section.rows, "Daily Working Hours");
    defaultChargeRate_ = addValueRow(section.rows, "Default Cost Rate");
    return section.widget;
}

QWidget* OutputProfileContentView::makeTeam() {
    Section section = makeSection("PROJECT TEAM (resources)");
    team_ = new OutputProfileTeamView;
    section.rows->addWidget(team_);
    return section.widget;
}

int OutputProfileContentView::minimumWidthForContent() const {
    return widget()->minimumSizeHint().width() + verticalScrollBar()->sizeHint().width();
}

// Each assignment of the profile reaches this, also while the user types in the name field:
// everything is changed in place, and a text equal to the field's is not set again, so the
// field keeps its cursor.
void OutputProfileContentView::setProfile(const CombineOutput::Profile& profile) {
    layoutRule_ = layoutRuleOf(profile);
    const QString name = text(profile.name);
    if (projectNameEdit_->text() != name) {
        const QSignalBlocker blocker(projectNameEdit_);
        projectNameEdit_->setText(name);
    }
    // A layout the profile no longer allows (a merge can leave one) is shown as it is, checked
    // and greyed: it is what a combine will use.
    for (const LayoutChoice& choice : kLayoutChoices) {
        QAbstractButton* button = layoutOptions_->button(static_cast<int>(choice.option));
        button->setEnabled(isChoosable(profile, choice.option));
        if (choice.option == profile.sourceProjectLayoutOption) {
            button->setChecked(true);
        }
    }
    currency_->setText(text(profile.currency));
    dailyWorkingHours_->setText(text(lx::toString(profile.dailyWorkingHours)));
    defaultChargeRate_->setText(text(lx::toString(profile.defaultChargeRate)));
    datePolicy_->setText(datePolicyText(profile.onlyScheduleTasksAtWorkingDays));
    linkType_->setText(linkTypeText(profile.taskLinkType));
    if (!isTeamOf(team_->team(), profile)) {
        team_->setTeam(teamOf(profile));
    }
}

// The rule is checked here as well as by greying the option: a disabled button is one way to
// show it, not the guard.
void OutputProfileContentView::chooseLayout(int id) {
    const auto option = static_cast<LayoutOption>(id);
    if (isChoosable(layoutRule_, option)) {
        sourceProjectLayoutOption_.set(option);
        return;
    }
    layoutOptions_->button(static_cast<int>(layoutRule_.sourceProjectLayoutOption))
        ->setChecked(true);
}
