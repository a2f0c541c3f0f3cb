#pragma once
// Every dialog table of the program, for tests that go over them all (they link ombrelay_app).

#include "app/about_dialog.h"
#include "app/login_dialogs.h"
#include "app/main_window.h"
#include "applications/application_dialog.h"
#include "maintenance/database_dialog.h"
#include "maintenance/import.h"
#include "requests/compose_dialog.h"
#include "requests/message_preview.h"
#include "requests/send_requests.h"
#include "user/change_password.h"
#include "user/user_setup_dialog.h"

#include <vector>

inline std::vector<ui::Dialog> AllDialogs() {
    // clang-format off
    return {LoginLayout(),              CreateUserLoginLayout(),        MainDisplayLayout(),
            AboutLayout(),              ApplicationInformationLayout(), UserSetupLayout(),
            ChangePasswordLayout(),     ComposeEmailLayout(),           DatabaseLayout(),
            ImportApplicationsLayout(), MessagePreviewLayout(),         SendingRequestsLayout()};
    // clang-format on
}
