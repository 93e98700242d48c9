#pragma once
// The address bar: the twenty most recent folders, newest first, kept in the history file
// between sessions; a typed folder path goes there.

#include "browser/HistoryFile.h"

#include <QComboBox>
#include <QFileIconProvider>

#include <functional>

class CComboEdit;
class ShellNamespace;

class CAddressComboEx : public QComboBox {
    Q_OBJECT
public:
    explicit CAddressComboEx(QString historyPath, QWidget* parent = nullptr);
    // The namespace that names the folders; must be set before entries are added.
    void setShell(const ShellNamespace* shell);
    // Writes the history file.
    ~CAddressComboEx() override;

    // Puts the folder at the top (see AddressHistory) and selects it; returns its index.
    int AddAddress(const ItemIdList& folder, std::uint32_t source);
    void LoadAddresses();
    void SaveAddresses() const;
    // Drops the entry (one that cannot be browsed any more); the selection goes to the top.
    void RemoveAddress(int index);

    const AddressHistory& history() const { return m_history; }
    // The selected entry's folder; nullptr when nothing is selected.
    const AddressEntry* selectedEntry() const;
    bool selectedNames(const ItemIdList& folder) const;
    CComboEdit* comboEdit() const { return m_edit; }

    // Enter in the edit: go to the typed folder or say why not.
    void browseToTypedPath();

signals:
    // The user chose an entry or typed a folder; the frame decides how to get there.
    void navigateRequested(const ItemIdList& folder);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void rebuildItems(int select);
    FolderKey folderKey() const;
    QString textFor(const ItemIdList& folder) const;
    QIcon iconFor(const ItemIdList& folder) const;

    const ShellNamespace* m_shell = nullptr;
    QString m_historyPath;
    AddressHistory m_history;
    CComboEdit* m_edit = nullptr;
    bool m_rebuilding = false;
    QFileIconProvider m_icons;
};
