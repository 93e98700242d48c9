#pragma once
// Qt's own file dialog opens small, with the size, type and date columns cut short; the
// program's image dialogs open at a size where a photo folder reads at a glance.
#include <QSize>

class QFileDialog;

void fitFileDialog(QFileDialog& dialog, QSize size);
