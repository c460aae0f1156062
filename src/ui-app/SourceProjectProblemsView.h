#pragma once

#include <string>
#include <vector>

#include <QWidget>

#include "app/manager/CombineSource.h"
#include "platform/qt/Sheet.h"

// The problems of one rejected source, by topic, under fixed titles.
struct ProblemSection {
    std::string title;
    std::vector<std::string> problems;

    bool operator==(const ProblemSection&) const = default;
};

// One section for each field of `result` that is present (an empty text or list included), in
// this order: "CURRENCY", "DAILY WORKING HOURs", "PROJECT TEAM (resource)", "CALENDAR (working and
// non-working days)", "DATE POLICY", "LINK TYPE". Texts are kept as they are, repeats included.
std::vector<ProblemSection> problemSections(const CombineSource::ValidationResult& result);

// The content of the problems sheet, 420 × 300: "Some issues found:", the sections in a
// scrolling list (each problem a bullet "・" and at most two lines of text) and "Close", which
// calls `dismiss` and nothing else.
//
// Example:
//   platform::qt::sheet(this, platform::qt::isSomeBinding(state), [state](auto dismiss) {
//       return new SourceProjectProblemsView(state->value().value_or({}), dismiss);
//   });
class SourceProjectProblemsView final : public QWidget {
public:
    SourceProjectProblemsView(const CombineSource::ValidationResult& validationResult,
                              platform::qt::Dismiss dismiss, QWidget* parent = nullptr);
};

// A section title of the problems sheet.
class SourceProjectProblemsSectionView final : public QWidget {
public:
    explicit SourceProjectProblemsSectionView(const QString& title, QWidget* parent = nullptr);
};

// One problem of the sheet: the bullet, then the text on at most two lines.
class SourceProjectProblemsRowView final : public QWidget {
public:
    explicit SourceProjectProblemsRowView(const QString& problem, QWidget* parent = nullptr);
};
