#include "app/CPixaneApp.h"
#include "app/ProcessTuning.h"
#include "frame/CMainFrame.h"

#include <memory>

int main(int argc, char** argv)
{
    ProcessTuning::useHugePagesForLargeBuffers(argv);
    CPixaneApp app(argc, argv);
    return app.run([&app] {
        auto frame = std::make_unique<CMainFrame>(FrameServices{app.settingsPath(), app.tempFolder(),
                                                                app.programFolder(), app.showHiddenFiles()});
        frame->OpenStartFolder();
        return frame;
    });
}
