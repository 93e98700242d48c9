#include "CMainFrame.h"

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Kelvra Photo Viewer"));
    resize(1024, 700);
}
