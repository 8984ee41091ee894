#pragma once

#include "Burrowlight/Models/AdvancedFieldsModel.h"
#include "TunnelKit/AskPass.h"

#include <QWidget>
#include <functional>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace burrowlight {

class FileField;
class ManualCache;
class OptionsList;
class WrappingCheckBox;

// The less common settings of the draft in one labelled grid: jump hosts, key and certificate
// files, the secrets the keyring remembers (each with Forget), tags, pin, connect at launch,
// reconnecting and its attempts, the log file, the extra ssh options and the note.
class AdvancedFields : public QWidget {
    Q_OBJECT

  public:
    using Forget = std::function<void(const tunnelkit::SecretKey&)>;

    AdvancedFields(TunnelDraft& draft, ManualCache& manual, QString homeDirectory, Forget forget,
                   QWidget* parent = nullptr);

    AdvancedFieldsModel& model() { return model_; }
    // The caller's list, in its order; the rows follow each new list.
    void setSavedSecrets(const std::vector<tunnelkit::SecretKey>& secrets);
    // Without a tray, pinning promises the top of the list only.
    void setHasTray(bool hasTray);

    QLineEdit& jumpHosts() const { return *jumpHosts_; }
    FileField& identityFile() const { return *identity_; }
    FileField& certificateFile() const { return *certificate_; }
    FileField& logFile() const { return *log_; }
    QLineEdit& tags() const { return *tags_; }
    QCheckBox& pinned() const { return *pinned_; }
    QCheckBox& connectsAtLaunch() const { return *connectsAtLaunch_; }
    QCheckBox& reconnects() const { return *reconnects_; }
    QLineEdit& attempts() const { return *attempts_; }
    OptionsList& options() const { return *options_; }
    QPlainTextEdit& note() const { return *note_; }

    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void placeRows();
    int widestTitle() const;
    int widestField() const;
    void refresh();
    void addRow(const QString& title, QWidget& content);
    QWidget& reconnectLine();

    AdvancedFieldsModel model_;
    QString homeDirectory_;
    Forget forget_;
    // A field and its title, if it has one.
    struct Row {
        QLabel* title;
        QWidget* field;
    };

    QGridLayout* grid_;
    std::vector<Row> rows_;
    bool titlesBeside_ = true;
    // The draft's note changed while the fields were not shown (a closed Advanced card): the field
    // takes it when they show, since a note of 200,000 characters takes a while to lay out.
    bool noteStale_ = false;
    WrappingCheckBox* pinnedRow_;
    QWidget* secrets_;
    QLineEdit* jumpHosts_;
    FileField* identity_;
    FileField* certificate_;
    FileField* log_;
    QLineEdit* tags_;
    QCheckBox* pinned_;
    QCheckBox* connectsAtLaunch_;
    QCheckBox* reconnects_;
    QLabel* attemptsLabel_;
    QLineEdit* attempts_;
    OptionsList* options_;
    QPlainTextEdit* note_;
};

} // namespace burrowlight
