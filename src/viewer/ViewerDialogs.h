#pragma once
// The viewer's modal questions, and the one file operation it does itself, as replaceable
// calls so tests can answer them. `standard()` shows the real dialogs.
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

    static ViewerDialogs standard();
};
