#include "records/table_scope.h"

#include "records/tables.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"

namespace {

void Show(const std::optional<OpenFailure>& failure) {
    if (failure)
        ui::Ui().ShowMessage(failure->text, failure->caption,
                             ui::MbTaskModal | ui::MbIconExclamation);
}

} // namespace

void OpenApplicationTable() {
    Show(OpenApplicationFiles());
}

void OpenUserTable() {
    Show(OpenUserFile());
}

void TableScope::Close() {
    if (open_)
        XDBCLOSE(handle_);
    open_ = false;
}

ApplicationTableScope::ApplicationTableScope()
    : TableScope((OpenApplicationTable(), applicationTable)) {}

UserTableScope::UserTableScope() : TableScope((OpenUserTable(), userTable)) {}

bool StoreSucceeded(const std::string& whatWasNotDone) {
    const int error = XDBERROR();
    if (error == 0)
        return true;
    ui::Warn(whatWasNotDone + " " + WriteFailureReason(error));
    XDBRESETERROR();
    return false;
}
