#include "info/CFilePropertyDlg.h"

#include "imaging/fipSuperImage.h"
#include "info/ExifTexts.h"
#include "info/FileFacts.h"
#include "info/InfoEvents.h"
#include "info/PropertyItemSet.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace {

QLineEdit* readOnlyField(const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    return edit;
}

bool hasImageExtension(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    return !suffix.isEmpty() && fipSuperImage::isImageExtension(suffix);
}

}  // namespace

CFilePropertyDlg::CFilePropertyDlg(QStringList paths, QWidget* parent)
    : QDialog(parent),
      m_paths(std::move(paths)),
      m_name(readOnlyField("Filename", this)),
      m_location(readOnlyField("Location", this)),
      m_size(readOnlyField("Size", this)),
      m_created(readOnlyField("Created", this)),
      m_modified(readOnlyField("Modified", this)),
      m_accessed(readOnlyField("Accessed", this)),
      m_list(new QTreeWidget(this)),
      m_prev(new QPushButton(QStringLiteral("Prev"), this)),
      m_next(new QPushButton(QStringLiteral("Next"), this)),
      m_counter(new QLabel(this))
{
    setWindowTitle(QStringLiteral("File Properties"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Filename:"), m_name);
    form->addRow(QStringLiteral("Location:"), m_location);
    form->addRow(QStringLiteral("Size:"), m_size);
    form->addRow(QStringLiteral("Created:"), m_created);
    form->addRow(QStringLiteral("Modified:"), m_modified);
    form->addRow(QStringLiteral("Accessed:"), m_accessed);

    m_list->setAccessibleName(QStringLiteral("Image Properties"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    m_list->setColumnWidth(0, 100);
    m_list->setColumnWidth(1, 220);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setMinimumHeight(200);

    auto* steps = new QHBoxLayout;
    steps->addWidget(m_prev);
    steps->addWidget(m_next);
    steps->addWidget(m_counter, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    steps->addWidget(buttons);
    connect(m_prev, &QPushButton::clicked, this, &CFilePropertyDlg::OnPrev);
    connect(m_next, &QPushButton::clicked, this, &CFilePropertyDlg::OnNext);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("EXIF:"), this));
    layout->addWidget(m_list, 1);
    layout->addLayout(steps);

    const bool several = m_paths.size() > 1;
    m_prev->setVisible(several);
    m_next->setVisible(several);
    m_counter->setVisible(several);
    m_prev->setEnabled(false);
    m_next->setEnabled(several);
    fill();
}

CFilePropertyDlg::~CFilePropertyDlg()
{
    stopSizeWorker();
}

namespace {
CFilePropertyDlg::TestHook& testHook()
{
    static CFilePropertyDlg::TestHook hook;
    return hook;
}
}  // namespace

CFilePropertyDlg::TestHook CFilePropertyDlg::setTestHook(TestHook hook)
{
    return std::exchange(testHook(), std::move(hook));
}

void CFilePropertyDlg::show(const QStringList& paths, QWidget* parent)
{
    CFilePropertyDlg dialog(paths, parent);
    if (testHook())
        testHook()(dialog);
    else
        dialog.exec();
}

QLineEdit* CFilePropertyDlg::field(const char* name) const
{
    return findChild<QLineEdit*>(QString::fromLatin1(name));
}

void CFilePropertyDlg::OnPrev()
{
    if (m_current <= 0)
        return;
    --m_current;
    fill();
    updateButtons();
}

void CFilePropertyDlg::OnNext()
{
    if (m_current + 1 >= m_paths.size())
        return;
    ++m_current;
    fill();
    updateButtons();
}

void CFilePropertyDlg::updateButtons()
{
    m_prev->setEnabled(m_current > 0);
    m_next->setEnabled(m_current + 1 < m_paths.size());
}

void CFilePropertyDlg::stopSizeWorker()
{
    if (m_cancelSize)
        m_cancelSize->store(true);
    if (m_sizeWorker.joinable())
        m_sizeWorker.join();
    m_cancelSize.reset();
}

void CFilePropertyDlg::fill()
{
    stopSizeWorker();
    ++m_generation;
    setWindowTitle(QStringLiteral("Properties"));
    const QString path = m_paths.value(m_current);
    const QFileInfo info(path);
    m_name->setText(info.fileName());
    m_location->setText(info.path());
    if (const auto facts = filefacts::statPath(path)) {
        if (facts->isFolder) {
            // A large tree takes long to add up: the field fills in when the walk ends.
            m_size->clear();
            m_cancelSize = std::make_shared<std::atomic<bool>>(false);
            m_sizeWorker = std::thread([receiver = static_cast<QObject*>(this), path, cancel = m_cancelSize,
                                        generation = m_generation] {
                if (const auto size = filefacts::folderSize(path, *cancel))
                    QCoreApplication::postEvent(receiver, new FolderSizeEvent(generation, *size));
            });
        } else {
            m_size->setText(filefacts::sizeText(facts->size));
        }
        m_created->setText(facts->times.created);
        m_modified->setText(facts->times.modified);
        m_accessed->setText(facts->times.accessed);
    }
    m_counter->setText(QStringLiteral("%1 of %2 files").arg(m_current + 1).arg(m_paths.size()));
    m_list->clear();
    if (hasImageExtension(path)) {
        PropertyItemSet set;
        set.Load(path);
        for (const auto& [label, value] : exiftext::propertyRows(set))
            m_list->addTopLevelItem(new QTreeWidgetItem(QStringList{label, value}));
    }
}

bool CFilePropertyDlg::event(QEvent* event)
{
    if (event->type() == WM_FOLDER_SIZE_DONE) {
        auto* done = static_cast<FolderSizeEvent*>(event);
        // Walks for earlier paths were joined when the dialog moved on.
        if (done->generation == m_generation) {
            if (m_sizeWorker.joinable())
                m_sizeWorker.join();
            m_size->setText(filefacts::sizeText(done->size));
        }
        return true;
    }
    return QDialog::event(event);
}
