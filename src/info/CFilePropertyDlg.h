#pragma once
// "File Properties": one file at a time, its name, folder, size and times and, for images,
// the camera's properties; Prev and Next step through several files.

#include <QDialog>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class CFilePropertyDlg : public QDialog {
    Q_OBJECT
public:
    explicit CFilePropertyDlg(QStringList paths, QWidget* parent = nullptr);
    ~CFilePropertyDlg() override;

    int current() const { return m_current; }
    void OnPrev();
    void OnNext();

    QLineEdit* field(const char* name) const;  // "Filename", "Location", "Size", "Created", ...
    QTreeWidget* list() const { return m_list; }
    QPushButton* prevButton() const { return m_prev; }
    QPushButton* nextButton() const { return m_next; }
    QLabel* counter() const { return m_counter; }
    // Whether a folder's size is still being added up.
    bool sizePending() const { return m_sizeWorker.joinable(); }

    // Opens the dialog modally for the paths; with a test hook installed, the hook gets the
    // filled dialog instead of the user. Returns the previous hook.
    static void show(const QStringList& paths, QWidget* parent);
    using TestHook = std::function<void(CFilePropertyDlg&)>;
    static TestHook setTestHook(TestHook hook);

protected:
    bool event(QEvent* event) override;

private:
    void fill();
    void stopSizeWorker();
    void updateButtons();

    QStringList m_paths;
    int m_current = 0;
    QLineEdit* m_name;
    QLineEdit* m_location;
    QLineEdit* m_size;
    QLineEdit* m_created;
    QLineEdit* m_modified;
    QLineEdit* m_accessed;
    QTreeWidget* m_list;
    QPushButton* m_prev;
    QPushButton* m_next;
    QLabel* m_counter;
    std::thread m_sizeWorker;
    std::shared_ptr<std::atomic<bool>> m_cancelSize;
    uint64_t m_generation = 0;
};
