#include "ExportCommand.h"

#include "CDlgExport.h"
#include "CDlgExportingImages.h"

#include "imaging/fipSuperImage.h"

namespace ExportCommand {

bool isEnabled(int selectedItems, int selectedImages, int images)
{
    return ExportLogic::isExportEnabled(selectedItems, selectedImages, images);
}

bool run(QWidget* parent, const ExportLogic::ExportSources& sources)
{
    CDlgExport options(sources.folder, parent);
    if (options.exec() != QDialog::Accepted)
        return false;
    ExportJob job;
    job.sources = ExportLogic::sourcesToExport(sources);
    if (job.sources.isEmpty() || options.format() == FIF_UNKNOWN)
        return true;
    job.folder = options.outputFolder();
    job.extension = fipSuperImage::getFIFExtension(options.format());
    job.maxSide = options.maxSide();
    CDlgExportingImages progress(std::move(job), parent);
    progress.exec();
    return true;
}

}  // namespace ExportCommand
