#include "browser/CAddressComboEx.h"

#include "app/MessageBoxSeam.h"
#include "browser/AddressPath.h"
#include "browser/CComboEdit.h"
#include "platform/ShellNamespace.h"

#include <QAbstractItemView>
#include <QFileIconProvider>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

CAddressComboEx::CAddressComboEx(QString historyPath, QWidget* parent)
    : QComboBox(parent), m_historyPath(std::move(historyPath))
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxCount(AddressHistory::kMaxAddresses);
    setMaxVisibleItems(AddressHistory::kMaxAddresses);
    setAccessibleName(QStringLiteral("Address"));
    m_edit = new CComboEdit(this);
    m_edit->setAccessibleName(QStringLiteral("Address"));
    setLineEdit(m_edit);
    // Typed text is a path, not a search in the history.
    setCompleter(nullptr);
    connect(m_edit, &QLineEdit::returnPressed, this, &CAddressComboEx::browseToTypedPath);
    connect(this, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (m_rebuilding || index < 0 || index >= static_cast<int>(m_history.entries().size()))
            return;
        // Deferred, as the drop-down is still closing.
        const ItemIdList folder = m_history.entries()[static_cast<std::size_t>(index)].folder;
        QMetaObject::invokeMethod(this, [this, folder] { emit navigateRequested(folder); }, Qt::QueuedConnection);
    });
}

CAddressComboEx::~CAddressComboEx()
{
    SaveAddresses();
}

void CAddressComboEx::setShell(const ShellNamespace* shell)
{
    m_shell = shell;
    AddressHistory keyed(folderKey());
    for (const AddressEntry& entry : m_history.entries())
        keyed.appendLoaded(entry.folder, entry.source);
    m_history = std::move(keyed);
}

FolderKey CAddressComboEx::folderKey() const
{
    if (!m_shell)
        return {};
    const ShellNamespace* shell = m_shell;
    return [shell](const ItemIdList& folder) { return shell->pathFromIdList(folder).value_or(QByteArray()); };
}

int CAddressComboEx::AddAddress(const ItemIdList& folder, std::uint32_t source)
{
    m_history.addAddress(folder, source);
    rebuildItems(0);
    return 0;
}

void CAddressComboEx::LoadAddresses()
{
    m_history = m_historyPath.isEmpty() ? AddressHistory(folderKey()) : HistoryFile::load(m_historyPath, folderKey());
    rebuildItems(m_history.entries().empty() ? -1 : 0);
}

void CAddressComboEx::RemoveAddress(int index)
{
    m_history.removeAt(index);
    rebuildItems(m_history.entries().empty() ? -1 : 0);
}

void CAddressComboEx::SaveAddresses() const
{
    if (!m_historyPath.isEmpty())
        HistoryFile::save(m_historyPath, m_history);
}

const AddressEntry* CAddressComboEx::selectedEntry() const
{
    const int index = currentIndex();
    if (index < 0 || index >= static_cast<int>(m_history.entries().size()))
        return nullptr;
    return &m_history.entries()[static_cast<std::size_t>(index)];
}

bool CAddressComboEx::selectedNames(const ItemIdList& folder) const
{
    const AddressEntry* entry = selectedEntry();
    return entry && m_history.sameFolder(entry->folder, folder);
}

void CAddressComboEx::browseToTypedPath()
{
    if (view()->isVisible() || !m_shell)
        return;
    const QString text = m_edit->text().left(4096);
    const TypedPath typed = resolveTypedPath(text, m_shell->home());
    if (typed.result == TypedPath::Empty)
        return;
    if (typed.result == TypedPath::Invalid) {
        MessageBoxSeam::show({this, QStringLiteral("Kelvra Photo Viewer"),
                              QStringLiteral("Could not browse to folder '%1'.\nPlease check the path.").arg(text),
                              QMessageBox::Warning, QMessageBox::Ok});
        setFocus();
        m_edit->selectAll();
        return;
    }
    const ItemIdList folder = m_shell->idListFromPath(typed.path);
    AddAddress(folder, 0);
    emit navigateRequested(folder);
}

void CAddressComboEx::wheelEvent(QWheelEvent* event)
{
    event->accept();
}

void CAddressComboEx::keyPressEvent(QKeyEvent* event)
{
    // F2 here edits the address, it does not rename the list's file.
    if (event->key() == Qt::Key_F2) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void CAddressComboEx::rebuildItems(int select)
{
    m_rebuilding = true;
    clear();
    for (const AddressEntry& entry : m_history.entries())
        addItem(iconFor(entry.folder), textFor(entry.folder));
    setCurrentIndex(select);
    if (select < 0)
        m_edit->clear();
    m_rebuilding = false;
}

QString CAddressComboEx::textFor(const ItemIdList& folder) const
{
    if (!m_shell)
        return {};
    if (const auto path = m_shell->pathFromIdList(folder))
        return QFile::decodeName(*path);
    return m_shell->displayName(folder);
}

QIcon CAddressComboEx::iconFor(const ItemIdList& folder) const
{
    if (folder.isRoot())
        return m_icons.icon(QFileIconProvider::Desktop);
    if (folder.size() == 1 && folder.items()[0].tag == ItemTag::Computer)
        return m_icons.icon(QFileIconProvider::Computer);
    if (folder.items().back().tag == ItemTag::Volume)
        return m_icons.icon(QFileIconProvider::Drive);
    return m_icons.icon(QFileIconProvider::Folder);
}
