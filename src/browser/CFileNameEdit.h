#pragma once
// The edit used for renaming: characters a file name must not hold are refused with a beep.

#include <QLineEdit>

#include <functional>

class CFileNameEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CFileNameEdit(QWidget* parent = nullptr);

    static bool isRefused(QChar c);
    // Tests replace the beep to count refusals.
    void setBeep(std::function<void()> beep) { m_beep = std::move(beep); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    std::function<void()> m_beep;
};
