#include "platform/FileClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace FileClipboard {

QByteArray uriFromPath(const QByteArray& path)
{
    return "file://" + path.toPercentEncoding("/");
}

QByteArray pathFromUri(const QByteArray& uri)
{
    QByteArray rest;
    if (uri.startsWith("file:///"))
        rest = uri.mid(7);
    else if (uri.startsWith("file://localhost/"))
        rest = uri.mid(16);
    else
        return {};
    // A query or fragment is not part of a file name; '#' and '?' in names arrive escaped.
    const int cut = rest.indexOf('#');
    if (cut >= 0)
        rest.truncate(cut);
    return QByteArray::fromPercentEncoding(rest);
}

std::unique_ptr<QMimeData> encode(const ClipboardFiles& files)
{
    QByteArrayList uris;
    for (const auto& path : files.paths)
        uris.append(uriFromPath(path));
    auto data = std::make_unique<QMimeData>();
    data->setData(kUriList, uris.join("\r\n") + "\r\n");
    // No trailing newline: Nautilus rejects the empty line it would make.
    data->setData(kGnomeCopiedFiles, QByteArray(files.cut ? "cut" : "copy") + "\n" + uris.join('\n'));
    data->setData(kKdeCutSelection, files.cut ? "1" : "0");
    const char effect[4] = {static_cast<char>(files.cut ? 2 : 1), 0, 0, 0};
    data->setData(kPreferredDropEffect, QByteArray(effect, 4));
    return data;
}

namespace {

std::vector<QByteArray> pathsOf(const QList<QByteArray>& lines)
{
    std::vector<QByteArray> paths;
    for (QByteArray line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QByteArray path = pathFromUri(line);
        if (!path.isEmpty())
            paths.push_back(path);
    }
    return paths;
}

}  // namespace

std::optional<ClipboardFiles> decode(const QMimeData& data)
{
    ClipboardFiles files;
    if (data.hasFormat(kGnomeCopiedFiles)) {
        QList<QByteArray> lines = data.data(kGnomeCopiedFiles).split('\n');
        const QByteArray verb = lines.isEmpty() ? QByteArray() : lines.takeFirst().trimmed();
        if (verb == "cut" || verb == "copy") {
            files.cut = verb == "cut";
            files.paths = pathsOf(lines);
            if (!files.paths.empty())
                return files;
        }
    }
    if (!data.hasFormat(kUriList))
        return std::nullopt;
    files.paths = pathsOf(data.data(kUriList).split('\n'));
    if (files.paths.empty())
        return std::nullopt;
    if (data.hasFormat(kKdeCutSelection)) {
        files.cut = data.data(kKdeCutSelection).trimmed() == "1";
    } else {
        const QByteArray effect = data.data(kPreferredDropEffect);
        files.cut = effect.size() >= 4 && (static_cast<unsigned char>(effect[0]) & 2);
    }
    return files;
}

}  // namespace FileClipboard

FileClipboardState::FileClipboardState(QClipboard* clipboard, QObject* parent)
    : QObject(parent), m_clipboard(clipboard)
{
    connect(m_clipboard, &QClipboard::dataChanged, this, &FileClipboardState::update);
    update();
}

void FileClipboardState::update()
{
    const QMimeData* data = m_clipboard->mimeData();
    m_hasFiles = data && FileClipboard::decode(*data).has_value();
    m_hasImage = data && data->hasImage();
}

const FileClipboardState& FileClipboardState::instance()
{
    QCoreApplication* app = QCoreApplication::instance();
    auto* state = app->findChild<FileClipboardState*>(QString(), Qt::FindDirectChildrenOnly);
    if (!state)
        state = new FileClipboardState(QGuiApplication::clipboard(), app);
    return *state;
}
