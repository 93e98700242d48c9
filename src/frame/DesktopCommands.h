#pragma once
// The frame's side of E-mail Images and Set Wallpaper: what each acts on in browser mode (the
// list's selection or current item) and in viewer mode (the open image), whether it is
// enabled, and the start of its job.

class CMainFrame;

namespace DesktopCommands {

bool handles(int id);
bool isEnabled(int id, const CMainFrame& frame, bool viewer);
bool run(int id, CMainFrame& frame, bool viewer);

}  // namespace DesktopCommands
