#pragma once
// "Save Changes": Save, Save As..., Discard or Cancel for a modified image. "Save As..." runs
// the save dialog from here; cancelling that cancels the question.
#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class CDlgQuerySave : public QDialog {
    Q_OBJECT
public:
    using SaveFileStep = std::function<std::optional<QString>()>;
    CDlgQuerySave(QWidget* parent, SaveFileStep saveFile);
    const QString& chosenPath() const { return m_chosenPath; }

private:
    void onSaveAs();
    SaveFileStep m_saveFile;
    QString m_chosenPath;
};
