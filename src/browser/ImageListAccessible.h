#pragma once
// What a screen reader sees of the thumbnail list: a list whose items are the folder's
// entries by index, named as their cells, with their selection and the keyboard focus.
#include <QAccessibleWidget>

class CImageListCtrl;

namespace imagelist {

// Registers the interface with Qt's accessibility once per process.
void installAccessible();

}  // namespace imagelist
