#pragma once

#include "Burrowlight/Models/FileChoice.h"

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace burrowlight {

// A path field with "Choose…": the text is stored as typed (none once empty); a file chosen in the
// dialog is stored with the home folder written as "~".
class FileField : public QWidget {
    Q_OBJECT

  public:
    using Read = std::function<std::optional<std::string>()>;
    using Write = std::function<void(const std::optional<std::string>&)>;

    FileField(const QString& title, const QString& prompt, FileChoice choice, QString homeDirectory,
              Read read, Write write, QWidget* parent = nullptr);

    QLineEdit& edit() const { return *edit_; }
    // Shows the stored path again, unless the user is typing in the field.
    void refresh();

  private:
    void choose();

    FileChoice choice_;
    QString homeDirectory_;
    Read read_;
    Write write_;
    QLineEdit* edit_;
};

} // namespace burrowlight
