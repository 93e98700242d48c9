#pragma once
// The Export command: the options dialog, then the progress dialog over the images the list
// hands over.

#include "ExportLogic.h"

class QWidget;

namespace ExportCommand {

bool isEnabled(int selectedItems, int selectedImages, int images);
// Runs both dialogs modally; false when the options dialog was cancelled.
bool run(QWidget* parent, const ExportLogic::ExportSources& sources);

}  // namespace ExportCommand
