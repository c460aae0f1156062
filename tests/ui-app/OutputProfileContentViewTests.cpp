#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Project/OrbProjectMember.h"
#include "app/manager/CombineOutput.h"
#include "folder/LxFolder.h"
#include "platform/qt/ViewBindings.h"
#include "support/QtApplicationTest.h"
#include "ui-app/OutputProfileContentView.h"
#include "ui-app/OutputProfileRowView.h"
#include "ui-app/ViewTestSupport.h"

namespace {

using Layout = CombineOutput::SourceProjectLayoutOption;
using Profile = CombineOutput::Profile;

CombineOutput::Member memberWithEmails(const std::string& name,
                                       const std::vector<std::optional<std::string>>& emails) {
    CombineOutput::Member member{name, {}};
    std::int64_t id = 1;
    for (const auto& email : emails) {
        const CombineSource::Project project{0, "/drops/a.orb", OrbProject::create("uid", "A"),
                                             LxFolder("/tmp/work", false)};
        member.sources.push_back(
            {project, OrbProjectMember::create(id++, name, std::nullopt, email)});
    }
    return member;
}

Profile sampleProfile() {
    Profile profile;
    profile.name = "Combined Project";
    profile.currency = "EUR";
    profile.dailyWorkingHours = 8.0f;
    profile.defaultChargeRate = 7.5f;
    profile.members = {memberWithEmails("Anna", {std::nullopt, "anna@example.org"}),
                       memberWithEmails("<i>Kato</i>", {"  "})};
    profile.onlyScheduleTasksAtWorkingDays = true;
    profile.taskLinkType = OrbTaskLinkType::linkingList;
    profile.maxOutlineLevel = 2;
    return profile;
}

// A content view over a real output, kept up to date as the pane does it.
class OutputProfileContentViewTest : public QtApplicationTest {
protected:
    void show(const Profile& profile) {
        output_->setProfile(profile);
        view_ = std::make_unique<OutputProfileContentView>(
            *output_->profile(), projectNameBinding(output_),
            sourceProjectLayoutOptionBinding(output_));
        OutputProfileContentView* view = view_.get();
        platform::qt::bindPublisher(view, output_->profilePublisher(),
                                    [view](const std::optional<Profile>& profile) {
                                        if (profile) {
                                            view->setProfile(*profile);
                                        }
                                    });
        view_->resize(520, 480);
        view_->show();
        processEvents();
    }

    void TearDown() override {
        view_.reset();
        processEvents();
        QtApplicationTest::TearDown();
    }

    // The texts of the rows, title then content, in order.
    std::vector<std::pair<QString, QString>> rows() const {
        std::vector<std::pair<QString, QString>> texts;
        for (const OutputProfileRowView* row : descendants<OutputProfileRowView>(*view_)) {
            const auto labels = row->findChildren<QLabel*>();
            if (labels.size() == 2) {
                texts.emplace_back(labels[0]->text(), labels[1]->text());
            }
        }
        return texts;
    }

    QRadioButton* option(const char* name) const { return view_->findChild<QRadioButton*>(name); }
    QLineEdit* nameEdit() const { return view_->findChild<QLineEdit*>("projectNameEdit"); }

    const std::shared_ptr<CombineOutput> output_ = CombineOutput::create();
    std::unique_ptr<OutputProfileContentView> view_;
};

TEST(ContactEmailTest, TheFirstEmailThatIsNotBlankAsStored) {
    struct Case {
        const char* name;
        std::vector<std::optional<std::string>> emails;
        std::string expected;
    };
    for (const Case& row : {
             Case{"absent, spaces, real", {std::nullopt, "   ", "a@x"}, "a@x"},
             Case{"only blanks", {std::nullopt, "", " \t"}, ""},
             Case{"not trimmed", {" b@y "}, " b@y "},
             Case{"empty, then real", {"", "c@z"}, "c@z"},
         }) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(contactEmail(memberWithEmails("Anna", row.emails)), row.expected);
    }
}

TEST_F(OutputProfileContentViewTest, TheProfileIsShownInItsSectionsVerbatim) {
    show(sampleProfile());
    const std::vector<std::pair<QString, QString>> expected = {
        {"Currency", "EUR"},
        {"Daily Working Hours", "8.0"},
        {"Default Cost Rate", "7.5"},
        {"Anna", "anna@example.org"},
        {"<i>Kato</i>", ""},
        {"Allow to Schedule Task at", "Working-days Only"},
        {"Task Link Type", "Simple List"},
    };
    EXPECT_EQ(rows(), expected);
    for (const QLabel* label : view_->findChildren<QLabel*>()) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
    }
    EXPECT_EQ(nameEdit()->text(), "Combined Project");
    EXPECT_TRUE(option("layoutOptionDirect")->isChecked());
    renderAndKeep(*view_, "output-profile");

    Profile changed = sampleProfile();
    changed.members.clear();
    changed.onlyScheduleTasksAtWorkingDays = false;
    changed.taskLinkType = OrbTaskLinkType::finishToStart;
    changed.dailyWorkingHours = 7.5f;
    output_->setProfile(changed);
    EXPECT_EQ(rows(), (std::vector<std::pair<QString, QString>>{
                          {"Currency", "EUR"},
                          {"Daily Working Hours", "7.5"},
                          {"Default Cost Rate", "7.5"},
                          {"Allow to Schedule Task at", "All the days"},
                          {"Task Link Type", "Finish to Start"},
                      }));
}

TEST_F(OutputProfileContentViewTest, OnlyALayoutTheProfileAllowsCanBeChosen) {
    struct Case {
        const char* name;
        std::int64_t maxOutlineLevel;
        bool includeSubProject;
        Layout current;
        const char* clicked;
        Layout expected;
    };
    for (const Case& row : {
             Case{"group at 4 levels", 4, false, Layout::direct, "layoutOptionGroup",
                  Layout::direct},
             Case{"group at 3 levels", 3, false, Layout::direct, "layoutOptionGroup",
                  Layout::group},
             Case{"sub-projects among sub-projects", 0, true, Layout::direct,
                  "layoutOptionSubProject", Layout::direct},
             Case{"sub-projects without", 0, false, Layout::group, "layoutOptionSubProject",
                  Layout::subProject},
             Case{"direct always", 9, true, Layout::group, "layoutOptionDirect", Layout::direct},
         }) {
        SCOPED_TRACE(row.name);
        Profile profile = sampleProfile();
        profile.maxOutlineLevel = row.maxOutlineLevel;
        profile.includeSubProject = row.includeSubProject;
        profile.sourceProjectLayoutOption = row.current;
        show(profile);
        QRadioButton* button = option(row.clicked);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
        EXPECT_EQ(output_->profile()->sourceProjectLayoutOption, row.expected);
        for (QRadioButton* shown : view_->findChildren<QRadioButton*>()) {
            EXPECT_EQ(shown->isChecked(),
                      shown == option(row.expected == Layout::direct  ? "layoutOptionDirect"
                                      : row.expected == Layout::group ? "layoutOptionGroup"
                                                                      : "layoutOptionSubProject"));
        }
    }
}

// A merge can leave a layout the profile no longer allows; it is shown as it is.
TEST_F(OutputProfileContentViewTest, ALayoutNoLongerAllowedShowsCheckedAndGreyed) {
    Profile profile = sampleProfile();
    profile.maxOutlineLevel = 5;
    profile.sourceProjectLayoutOption = Layout::group;
    show(profile);
    EXPECT_TRUE(option("layoutOptionGroup")->isChecked());
    EXPECT_FALSE(option("layoutOptionGroup")->isEnabled());
}

TEST_F(OutputProfileContentViewTest, TypingInTheNameFieldEditsTheProfileInTheSameField) {
    show(sampleProfile());
    const QPointer<QLineEdit> edit = nameEdit();
    view_->activateWindow();
    edit->setFocus();

    edit->selectAll();
    QTest::keyClicks(edit, "Plan");
    EXPECT_EQ(output_->profile()->name, "Plan");
    ASSERT_FALSE(edit.isNull());
    EXPECT_EQ(nameEdit(), edit.data());
    EXPECT_EQ(edit->window()->focusWidget(), edit.data());
    EXPECT_EQ(edit->cursorPosition(), 4);

    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(output_->profile()->name, "");
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_EQ(edit->placeholderText(), "PROJECT NAME");
}

}  // namespace
