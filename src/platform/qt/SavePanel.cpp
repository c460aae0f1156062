#include "platform/qt/SavePanel.h"

#include <memory>
#include <system_error>
#include <utility>

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "platform/foundation/StandardFolders.h"
#include "platform/qt/Sheet.h"

namespace platform::qt {

namespace {

// Qt's dialog adds its default suffix only to a name with no dot at all, so "v1.2" or
// "plan.txt" would leave as they are; the name is put right before the dialog accepts it, so
// that its replace confirmation asks about the file that will really be written. Qt's own
// dialog rather than the desktop's: only its acceptance can be corrected this way.
class SaveFileDialog final : public QFileDialog {
public:
    SaveFileDialog(QWidget* window, SavePanelOptions options, const std::filesystem::path& folder)
        : QFileDialog(window, sheetWindowFlags()), options_(std::move(options)) {
        setOption(QFileDialog::DontUseNativeDialog);
        setDirectory(QFile::decodeName(QByteArray::fromStdString(folder.string())));
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

// Where the panel opens: the folder of the last save, else the user's documents, else home.
std::filesystem::path startFolder(const std::optional<std::filesystem::path>& lastSaveFolder) {
    std::error_code error;
    for (const std::optional<std::filesystem::path>& folder :
         {lastSaveFolder, std::optional(userFolder(UserFolder::documents))}) {
        if (folder && std::filesystem::is_directory(*folder, error)) {
            return *folder;
        }
    }
    return homeFolder();
}

}  // namespace

// The panel remembers the folder of its last save for as long as it lives: the run of the
// application that made it.
SavePanel fileDialogSavePanel() {
    auto lastSaveFolder = std::make_shared<std::optional<std::filesystem::path>>();
    return [lastSaveFolder](QWidget* window, const SavePanelOptions& options,
                            SavePanelCompletion completion) {
        auto* dialog = new SaveFileDialog(window, options, startFolder(*lastSaveFolder));
        QObject::connect(
            dialog, &QDialog::finished, dialog,
            [dialog, lastSaveFolder, completion = std::move(completion)](int result) {
                const QStringList chosen = dialog->selectedFiles();
                if (result != QDialog::Accepted || chosen.isEmpty()) {
                    completion(std::nullopt);
                    return;
                }
                const std::filesystem::path saved(QFile::encodeName(chosen.front()).toStdString());
                *lastSaveFolder = saved.parent_path();
                completion(saved);
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
