#include "app/CommandGuard.h"

#include <string>

#include "app/Dialogs.h"
#include "base/Exception.h"
#include "base/Progress.h"

bool ShowCommandException(std::exception_ptr error)
{
    std::string message;
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return false;  // work the user ended: nothing to report
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message.clear();
    }
    ShowExceptionBox(message);
    return true;
}
