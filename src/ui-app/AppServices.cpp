#include "ui-app/AppServices.h"

#include "app/manager/AppContext.h"
#include "platform/qt/FreedesktopWorkspace.h"

AppServices AppServices::shared() {
    return {AppContext::shared().combineManager(), &AppUserInterface::shared(),
            platform::qt::fileDialogSavePanel(),
            std::make_shared<platform::qt::FreedesktopWorkspace>()};
}
