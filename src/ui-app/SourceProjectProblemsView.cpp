#include "ui-app/SourceProjectProblemsView.h"

#include <optional>
#include <utility>

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui-app/LineLimitedLabel.h"
#include "ui-app/PaneScrollArea.h"
#include "ui-app/ViewStyle.h"
#include "ui-kit/LxColor.h"

namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 300;
constexpr int kHeaderPadding = 8;
constexpr int kSectionTopPadding = 15;
constexpr int kRowPadding = 3;
constexpr int kBulletSpacing = 2;
constexpr int kProblemLines = 2;

QString localized(const char* key) {
    return QCoreApplication::translate("SourceProjectProblemsView", key);
}

void addText(std::vector<ProblemSection>& sections, const char* title,
             const std::optional<std::string>& text) {
    if (text) {
        sections.push_back({title, {*text}});
    }
}

void addList(std::vector<ProblemSection>& sections, const char* title,
             const std::optional<std::vector<std::string>>& texts) {
    if (texts) {
        sections.push_back({title, *texts});
    }
}

QWidget* problemList(const CombineSource::ValidationResult& result, int margin) {
    auto* list = new QWidget;
    auto* layout = new QVBoxLayout(list);
    layout->setContentsMargins(margin, 0, margin, 0);
    layout->setSpacing(0);
    for (const ProblemSection& section : problemSections(result)) {
        layout->addWidget(
            new SourceProjectProblemsSectionView(QString::fromStdString(section.title)));
        for (const std::string& problem : section.problems) {
            layout->addWidget(new SourceProjectProblemsRowView(QString::fromStdString(problem)));
        }
    }
    layout->addStretch(1);
    return list;
}

}  // namespace

// Presence decides, not emptiness: a present empty text still names a disagreement.
std::vector<ProblemSection> problemSections(const CombineSource::ValidationResult& result) {
    std::vector<ProblemSection> sections;
    addText(sections, "CURRENCY", result.currency);
    addText(sections, "DAILY WORKING HOURs", result.dialyWorkingHours);
    addList(sections, "PROJECT TEAM (resource)", result.resources);
    addList(sections, "CALENDAR (working and non-working days)", result.calendars);
    addText(sections, "DATE POLICY", result.datePolicy);
    addText(sections, "LINK TYPE", result.linkType);
    return sections;
}

SourceProjectProblemsView::SourceProjectProblemsView(
    const CombineSource::ValidationResult& validationResult, platform::qt::Dismiss dismiss,
    QWidget* parent)
    : QWidget(parent) {
    setFixedSize(kWidth, kHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* header = new QLabel(localized("Some issues found:"));
    header->setTextFormat(Qt::PlainText);
    header->setContentsMargins(kHeaderPadding, kHeaderPadding, kHeaderPadding, kHeaderPadding);
    lx::setTextColor(header,
                     lx::readableTextColor(LxColor::systemRed(), lx::sheetBackground(this)));
    layout->addWidget(header);

    auto* scroll = new PaneScrollArea;
    scroll->setObjectName("problemList");
    scroll->setWidget(problemList(validationResult, kHeaderPadding));
    layout->addWidget(scroll, 1);

    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(0, kHeaderPadding, 0, kHeaderPadding);
    footer->addStretch(1);
    auto* close = new QPushButton(localized("Close"));
    close->setObjectName("problemsCloseButton");
    close->setDefault(true);
    QObject::connect(close, &QPushButton::clicked, this, [dismiss = std::move(dismiss)] {
        if (dismiss) {
            dismiss();
        }
    });
    footer->addWidget(close);
    footer->addSpacing(lx::defaultPadding(this));
    layout->addLayout(footer);
}

SourceProjectProblemsSectionView::SourceProjectProblemsSectionView(const QString& title,
                                                                   QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, kSectionTopPadding, 0, 0);
    QLabel* label = lx::verbatimLabel(title);
    lx::setTextColor(label,
                     lx::readableTextColor(LxColor::secondaryLabel(), lx::sheetBackground(this)));
    layout->addWidget(label);
    layout->addStretch(1);
}

SourceProjectProblemsRowView::SourceProjectProblemsRowView(const QString& problem, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, kRowPadding, 0, kRowPadding);
    layout->setSpacing(kBulletSpacing);
    auto* bullet = new QLabel(localized("・"));
    bullet->setTextFormat(Qt::PlainText);
    layout->addWidget(bullet, 0, Qt::AlignTop);
    // Not aligned: an aligned item keeps its natural width instead of wrapping to the row's.
    layout->addWidget(new LineLimitedLabel(problem, kProblemLines, Qt::ElideRight), 1);
}
