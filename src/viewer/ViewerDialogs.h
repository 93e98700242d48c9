#pragma once
// The viewer's modal questions and the file operations it hands to others, as replaceable
// calls so tests can answer them. `standard()` shows the real dialogs and calls the desktop;
// the frame adds the browser's rename dialog and its copy and move with progress.
#include <QColor>
#include <QString>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

// What "Save Changes" ends with.
enum QuerySaveAnswer : int { QuerySaveSave = 1000, QuerySaveSaveAs = 1001, QuerySaveDiscard = 1002, QuerySaveCancel = 2 };

struct ViewerDialogs {
    // "Save Changes". For "Save As..." the chosen path is in `chosenPath`.
    std::function<int(QWidget* parent, const QString& filePath, const QString& filter, QString& chosenPath)> querySave;
    // `CDlgSaveFile`: the chosen path, nothing when cancelled.
    std::function<std::optional<QString>(QWidget* parent, const QString& initialPath, const QString& filter)> saveFile;
    // `CDlgOpenFile`.
    std::function<std::optional<QString>(QWidget* parent, const QString& folder, const QString& filter,
                                         const QString& configPath)>
        openFile;
    // The print dialog: false when cancelled.
    std::function<bool(QWidget* parent, QPrinter& printer)> print;
    // "Set Background Color...".
    std::function<std::optional<QColor>(QWidget* parent, QColor initial)> pickColor;

    // Moves a file to the trash; false when it could not.
    std::function<bool(const QString& path)> moveToTrash;
    // "Rename": the name typed for the file at `path`, nothing when cancelled.
    std::function<std::optional<QString>(QWidget* parent, const QString& path)> askNewName;
    // "Copy to Folder..." / "Move to Folder...": asks for the folder and copies or moves the
    // file there, with its own progress, questions and error messages; true when it went.
    std::function<bool(QWidget* parent, const QString& path, bool move)> transferToFolder;
    // The desktop's part: the file manager showing the file, the associated program or
    // editor, the properties window.
    std::function<bool(const QString& path)> locateOnDisk;
    std::function<bool(const QString& path, bool editor)> openWith;
    std::function<bool(QWidget* parent, const QString& path)> showProperties;

    static ViewerDialogs standard();
};
