#include "MessageBoxSeam.h"

#include <utility>

namespace MessageBoxSeam {
namespace {

// The seam is the one piece of process-wide state outside the application object: message
// boxes are raised from code that has no application object in the tests.
Handler& currentHandler()
{
    static Handler handler;
    return handler;
}

}  // namespace

QMessageBox::StandardButton show(const Request& request)
{
    if (const Handler& handler = currentHandler())
        return handler(request);
    QMessageBox box(request.icon, request.caption, request.text, request.buttons, request.parent);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

Handler setHandler(Handler handler)
{
    return std::exchange(currentHandler(), std::move(handler));
}

}  // namespace MessageBoxSeam
