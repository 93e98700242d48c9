#pragma once
// "Rename": one file's new name, typed in a file-name edit.

#include <QDialog>

class CFileNameEdit;

class CDlgRename : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxName = 260;
    explicit CDlgRename(const QString& path, QWidget* parent = nullptr);

    // The edited name after Ok.
    QString newName() const { return m_name; }
    CFileNameEdit* edit() const { return m_edit; }

    void accept() override;

private:
    CFileNameEdit* m_edit = nullptr;
    QString m_name;
};
