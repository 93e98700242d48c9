#pragma once
// What a screen reader sees of the thumbnail list: a list whose items are the folder's
// entries by index, named as their cells, with their selection and the keyboard focus.

namespace imagelist {

// Registers the list's interface with Qt's accessibility, once per process; the list calls it
// before anything looks its interface up.
void installAccessible();

}  // namespace imagelist
