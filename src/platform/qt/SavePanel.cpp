#include "platform/qt/SavePanel.h"

#include <utility>

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace platform::qt {

namespace {

// Qt's dialog adds its default suffix only to a name with no dot at all, so "v1.2" or
// "plan.txt" would leave as they are; the name is put right before the dialog accepts it, so
// that its replace confirmation asks about the file that will really be written. Qt's own
// dialog rather than the desktop's: only its acceptance can be corrected this way.
class SaveFileDialog final : public QFileDialog {
public:
    SaveFileDialog(QWidget* window, SavePanelOptions options)
        : QFileDialog(window), options_(std::move(options)) {
        setOption(QFileDialog::DontUseNativeDialog);
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        if (!options_.allowedFileTypes.empty()) {
            QStringList patterns;
            for (const std::string& type : options_.allowedFileTypes) {
                patterns << "*." + QString::fromStdString(type);
            }
            setNameFilter(patterns.join(' '));
            setDefaultSuffix(QString::fromStdString(options_.allowedFileTypes.front()));
        }
        selectFile(QString::fromStdString(options_.nameFieldStringValue));
        setWindowModality(Qt::WindowModal);
        setAttribute(Qt::WA_DeleteOnClose);
    }

    void accept() override {
        const QStringList chosen = selectedFiles();
        if (chosen.size() == 1) {
            const QString saved = withAllowedFileType(chosen.front(), options_);
            if (saved != chosen.front()) {
                selectFile(saved);
            }
        }
        QFileDialog::accept();
    }

private:
    SavePanelOptions options_;
};

}  // namespace

SavePanel fileDialogSavePanel() {
    return [](QWidget* window, const SavePanelOptions& options, SavePanelCompletion completion) {
        auto* dialog = new SaveFileDialog(window, options);
        QObject::connect(
            dialog, &QDialog::finished, dialog,
            [dialog, completion = std::move(completion)](int result) {
                const QStringList chosen = dialog->selectedFiles();
                if (result != QDialog::Accepted || chosen.isEmpty()) {
                    completion(std::nullopt);
                    return;
                }
                completion(std::filesystem::path(QFile::encodeName(chosen.front()).toStdString()));
            });
        dialog->open();
    };
}

QString withAllowedFileType(const QString& fileName, const SavePanelOptions& options) {
    if (options.allowsOtherFileTypes || options.allowedFileTypes.empty()) {
        return fileName;
    }
    const QString extension = QFileInfo(fileName).suffix();
    for (const std::string& type : options.allowedFileTypes) {
        if (extension.compare(QString::fromStdString(type), Qt::CaseInsensitive) == 0) {
            return fileName;
        }
    }
    const QString added = QString::fromStdString(options.allowedFileTypes.front());
    return fileName.endsWith('.') ? fileName + added : fileName + '.' + added;
}

}  // namespace platform::qt
