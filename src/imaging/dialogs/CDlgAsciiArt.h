#pragma once
// "Ascii Art": the image as text art, read-only, with buttons that copy it to the clipboard
// and save it to a text file.
#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QPlainTextEdit;
class QPushButton;
class fipSuperImage;

class CDlgAsciiArt : public QDialog {
    Q_OBJECT
public:
    // The text holds at most this many characters with its terminating zero.
    static constexpr std::size_t kBufferSize = 10001;
    using PathChooser = std::function<std::optional<QString>(QWidget* parent)>;

    explicit CDlgAsciiArt(const fipSuperImage& image, QWidget* parent = nullptr);

    const QString& text() const { return m_text; }
    QPlainTextEdit* textEdit() const { return m_edit; }
    QPushButton* copyButton() const { return m_copy; }
    QPushButton* saveButton() const { return m_save; }
    // Replaces the save dialog (tests answer it).
    void setSavePathChooser(PathChooser chooser) { m_chooser = std::move(chooser); }

    void copyToClipboard() const;
    // Asks for a file and writes the text there; a failed write is reported.
    void saveToFile();

private:
    QString m_text;
    QPlainTextEdit* m_edit = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_save = nullptr;
    PathChooser m_chooser;
};
