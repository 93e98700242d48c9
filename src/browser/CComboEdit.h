#pragma once
// The address bar's edit: while the drop-down is closed, the keys that would step through
// the history (Page Up, Page Down, Up) and the wheel do nothing, so browsing never jumps by
// accident; Down opens the drop-down instead.

#include <QLineEdit>

class QComboBox;

class CComboEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CComboEdit(QComboBox* combo);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool popupOpen() const;
    QComboBox* m_combo;
};
