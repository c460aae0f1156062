#include "platform/foundation/Error.h"

namespace platform {

std::string localizedDescription(const std::exception& error) {
    if (const auto* ours = dynamic_cast<const Error*>(&error)) {
        return ours->localizedDescription();
    }
    return error.what();
}

std::string localizedDescription(const std::exception_ptr& error) {
    if (!error) {
        return kGenericErrorDescription;
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& caught) {
        return localizedDescription(caught);
    } catch (...) {
        return kGenericErrorDescription;
    }
}

}  // namespace platform
