#pragma once

#include "Burrowlight/Core/TunnelDraft.h"
#include "Burrowlight/Models/MenuEntry.h"
#include "TunnelKit/SSHOption.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <optional>

namespace burrowlight {

// The extra ssh options of a tunnel draft: the "Add Option" menu of the catalogue by group, one row
// per option with the editor its kind asks for, and the edits, all written into the draft. Whether
// the options are valid is the draft's to say.
class OptionsListModel : public QObject {
    Q_OBJECT

  public:
    // How one option row shows and edits its value.
    struct Row {
        enum class Editor { choice, integer, text };

        tunnelkit::Uuid id;
        // The catalogue's spelling for a known option; otherwise as typed.
        QString name;
        QString value;
        // None for a name the catalogue does not know: no help, no warning, a text editor.
        const tunnelkit::SSHOption* entry = nullptr;
        Editor editor = Editor::text;
        // A choice's values, and a value from elsewhere that is none of them last.
        QStringList choices;
        bool runsPrograms = false;
    };

    explicit OptionsListModel(TunnelDraft& draft, QObject* parent = nullptr);

    std::vector<Row> rows() const;
    static Row row(const tunnelkit::SSHOptionValue& option);

    // One submenu per group that has options the user may add.
    Menu addMenu();
    // A new row for the entry, with its first choice or an empty value; the same option twice makes
    // two rows.
    tunnelkit::Uuid add(const tunnelkit::SSHOption& entry);
    void remove(const tunnelkit::Uuid& id);
    void setValue(const tunnelkit::Uuid& id, const QString& value);

  signals:
    void changed();

  private:
    QPointer<TunnelDraft> draft_;
};

} // namespace burrowlight
