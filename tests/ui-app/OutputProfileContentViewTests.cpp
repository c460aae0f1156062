#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QAbstractItemModel>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Project/OrbProjectMember.h"
#include "app/manager/CombineOutput.h"
#include "folder/LxFolder.h"
#include "platform/qt/ViewBindings.h"
#include "support/DrawnContrast.h"
#include "support/QtApplicationTest.h"
#include "ui-app/OutputProfileContentView.h"
#include "ui-app/OutputProfileRowView.h"
#include "ui-app/OutputProfileTeamView.h"
#include "ui-app/ViewStyle.h"
#include "ui-app/ViewTestSupport.h"
#include "ui-kit/LxColor.h"

namespace {

using Layout = CombineOutput::SourceProjectLayoutOption;
using Profile = CombineOutput::Profile;

CombineOutput::Member memberWithEmails(const std::string& name,
                                       const std::vector<std::optional<std::string>>& emails) {
    CombineOutput::Member member{name, {}};
    std::int64_t id = 1;
    for (const auto& email : emails) {
        const auto project = std::make_shared<const CombineSource::Project>(CombineSource::Project{
            0, "/drops/a.orb", OrbProject::create("uid", "A"), LxFolder("/tmp/work", false)});
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
                                    [view](const CombineOutput::SharedProfile& profile) {
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

    // The texts of the rows, title then content, in order: the titled rows, and the team's
    // rows where its list stands.
    std::vector<std::pair<QString, QString>> rows() const {
        std::vector<std::pair<QString, QString>> texts;
        for (QWidget* widget : view_->findChildren<QWidget*>()) {
            if (const auto* row = dynamic_cast<const OutputProfileRowView*>(widget)) {
                const auto labels = row->findChildren<QLabel*>();
                if (labels.size() == 2) {
                    texts.emplace_back(labels[0]->text(), labels[1]->text());
                }
            } else if (auto* team = dynamic_cast<OutputProfileTeamView*>(widget)) {
                const QAbstractItemModel& model = team->teamModel();
                for (int row = 0; row < model.rowCount(); ++row) {
                    const QModelIndex index = model.index(row, 0);
                    texts.emplace_back(index.data(Qt::DisplayRole).toString(),
                                       index.data(OutputProfileTeamModel::emailRole).toString());
                }
            }
        }
        return texts;
    }

    OutputProfileTeamView& team() const { return *view_->findChild<OutputProfileTeamView*>(); }

    // Handles events until every row of the team set last is measured and shown, and the
    // layouts have taken the list's new size.
    bool teamSettles() const {
        const bool measured = processEventsUntil([this] { return !team().isMeasuring(); });
        processEvents();
        return measured;
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

// The list is reset only when the team differs from the one shown: typing in the name field
// changes the profile at every key and keeps the list's rows and their measures.
TEST_F(OutputProfileContentViewTest, TheTeamListChangesOnlyWithTheTeam) {
    Profile profile = sampleProfile();
    show(profile);
    int resets = 0;
    QObject::connect(&team().teamModel(), &QAbstractItemModel::modelReset, [&resets] { ++resets; });

    profile.name = "Renamed";
    profile.dailyWorkingHours = 6.0f;
    output_->setProfile(profile);
    processEvents();
    EXPECT_EQ(resets, 0);

    profile.members[1] = memberWithEmails("<i>Kato</i>", {"  ", "kato@example.org"});
    output_->setProfile(profile);
    processEvents();
    EXPECT_EQ(resets, 1);
    const auto shown = rows();
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[4], std::make_pair(QString("<i>Kato</i>"), QString("kato@example.org")));
}

// Names that wrap, letters outside ASCII, text from right to left, no e-mail, an empty name.
Profile variedTeamProfile() {
    Profile profile = sampleProfile();
    profile.members = {
        memberWithEmails("Anna", {"anna@example.org"}),
        memberWithEmails("Maximilian Alexander von Hohenzollern-Sigmaringen", {"max@example.org"}),
        memberWithEmails("J\u00fcrgen \u00d6lund", {"j\u00f6@example.org"}),
        memberWithEmails("\u0633\u0627\u0631\u0629", {std::nullopt}),
        memberWithEmails("\u5f20\u4f1f", {"zhang@example.org"}),
        memberWithEmails("", {""}),
        memberWithEmails("Line\nbreak", {"two@example.org"}),
        memberWithEmails("Kato", {"a.very.long.address.of.kato@departments.example.org"}),
    };
    return profile;
}

TEST_F(OutputProfileContentViewTest, TeamsOfEveryKindOfNameRender) {
    show(variedTeamProfile());
    view_->resize(520, 760);
    processEvents();
    renderAndKeep(*view_, "output-profile-team");

    Profile large = sampleProfile();
    large.members.clear();
    for (int number = 0; number < 300; ++number) {
        large.members.push_back(memberWithEmails("Member " + std::to_string(number),
                                                 {"m" + std::to_string(number) + "@example.org"}));
    }
    output_->setProfile(large);
    ASSERT_TRUE(teamSettles());
    processEvents();
    view_->verticalScrollBar()->setValue(3000);
    processEvents();
    renderAndKeep(*view_, "output-profile-team-scrolled");
}

// Checks that the band of `row` looks as a titled row of the other sections would show the
// same texts: same height, same pixels. Answers the height of the row's item.
int expectBandLooksLikeTitledRow(OutputProfileTeamView& list, int row) {
    const QAbstractItemModel& model = list.teamModel();
    const QModelIndex index = model.index(row, 0);
    const QString name = index.data(Qt::DisplayRole).toString();
    SCOPED_TRACE(name.toStdString());
    const QRect item = list.visualRect(index);
    const bool last = row + 1 == model.rowCount();
    const QRect band(item.topLeft(), QSize(item.width(), item.height() - (last ? 0 : 1)));

    OutputProfileRowView titled(
        name, OutputProfileRowView::kTitleWidth,
        lx::verbatimLabel(index.data(OutputProfileTeamModel::emailRole).toString()));
    // On the background the list's rows stand on.
    titled.setPalette(list.viewport()->palette());
    titled.setFixedWidth(band.width());
    titled.adjustSize();
    EXPECT_EQ(titled.height(), band.height());
    const QImage drawn =
        list.viewport()->grab(band).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage expected = titled.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(drawn == expected);
    if (drawn != expected) {
        keepPicture(drawn, "team-row-" + std::to_string(row) + "-drawn");
        keepPicture(expected, "team-row-" + std::to_string(row) + "-expected");
    }
    return item.height();
}

TEST_F(OutputProfileContentViewTest, TeamRowsLookLikeTheTitledRows) {
    show(variedTeamProfile());
    view_->resize(520, 760);
    processEvents();
    OutputProfileTeamView& list = team();
    ASSERT_EQ(list.teamModel().rowCount(), 8);
    int height = 0;
    for (int row = 0; row < list.teamModel().rowCount(); ++row) {
        height += expectBandLooksLikeTitledRow(list, row);
    }
    EXPECT_EQ(list.height(), height);
}

// Thousands of members make no widget each; every member is there, and scrolling to the end of
// the content shows the last one.
TEST_F(OutputProfileContentViewTest, ALargeTeamIsOneListThatShowsEveryMember) {
    Profile profile = sampleProfile();
    const int widgetsForTwo = [&] {
        show(profile);
        return static_cast<int>(view_->findChildren<QWidget*>().size());
    }();
    profile.members.clear();
    for (int number = 0; number < 2000; ++number) {
        profile.members.push_back(memberWithEmails(
            "Member " + std::to_string(number), {"m" + std::to_string(number) + "@example.org"}));
    }
    output_->setProfile(profile);
    ASSERT_TRUE(teamSettles());

    EXPECT_EQ(static_cast<int>(view_->findChildren<QWidget*>().size()), widgetsForTwo);
    const auto shown = rows();
    ASSERT_EQ(shown.size(), 2005u);
    EXPECT_EQ(shown[3], std::make_pair(QString("Member 0"), QString("m0@example.org")));
    EXPECT_EQ(shown[2002], std::make_pair(QString("Member 1999"), QString("m1999@example.org")));

    view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
    processEvents();
    OutputProfileTeamView& list = team();
    const QRect last = list.visualRect(list.teamModel().index(1999, 0));
    const QRect shownArea(list.viewport()->mapFrom(view_->viewport(), QPoint(0, 0)),
                          view_->viewport()->size());
    EXPECT_TRUE(shownArea.contains(last)) << "the last member scrolls into view";
    renderAndKeep(*view_, "output-profile-large-team-end");
}

// A team too large to lay out in one turn keeps the rows shown before until its last row is
// measured, then shows whole: every row with its texts, drawn as a titled row, in a light and
// in a dark palette.
TEST_F(OutputProfileContentViewTest, ALargeTeamShowsWholeOnceEveryRowIsMeasured) {
    Profile large = sampleProfile();
    large.members.clear();
    for (int number = 0; number < 3000; ++number) {
        const std::string name =
            number % 500 == 7 ? "Maximilian Alexander von Hohenzollern " + std::to_string(number)
                              : "J\u00fcrgen " + std::to_string(number);
        large.members.push_back(memberWithEmails(name, {"m" + std::to_string(number) + "@x.org"}));
    }
    for (const Appearance& appearance : kAppearances) {
        SCOPED_TRACE(appearance.name);
        const ScopedApplicationPalette palette(appearance.palette());
        show(sampleProfile());

        output_->setProfile(large);
        EXPECT_TRUE(team().isMeasuring());
        EXPECT_EQ(rows()[3], std::make_pair(QString("Anna"), QString("anna@example.org")));
        EXPECT_EQ(team().teamModel().rowCount(), 2) << "the earlier team stays meanwhile";
        ASSERT_TRUE(teamSettles());

        const auto shown = rows();
        ASSERT_EQ(shown.size(), 3005u);
        for (int number = 0; number < 3000; ++number) {
            EXPECT_EQ(shown[3 + static_cast<std::size_t>(number)],
                      std::make_pair(QString::fromStdString(large.members[number].name),
                                     QString("m%1@x.org").arg(number)));
        }
        OutputProfileTeamView& list = team();
        int height = 0;
        for (int row = 0; row < list.teamModel().rowCount(); ++row) {
            height += row % 250 == 7 || row == 2999
                          ? expectBandLooksLikeTitledRow(list, row)
                          : list.visualRect(list.teamModel().index(row, 0)).height();
        }
        EXPECT_EQ(list.height(), height);
        view_.reset();
        processEvents();
    }
}

}  // namespace
