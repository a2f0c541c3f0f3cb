#include "records/tables.h"

#include "common/text.h"
#include "store/xdb.h"
#include "ui/dialog_support.h"

int applicationTable = 0;
int applicationIndex = 0;
int userTable = 0;

std::string OpenErrorText(int errorCode, const std::string& what) {
    return "Error: " + SignedNumber(errorCode) + " opening " + what + ".";
}

namespace {

// Shows the open error, if any, and clears it. Returns whether the open went well.
bool ReportOpenError(const std::string& what, const std::string& caption) {
    const int error = XDBERROR();
    if (error == 0)
        return true;
    ui::Ui().ShowMessage(OpenErrorText(error, what), caption,
                         ui::MbTaskModal | ui::MbIconExclamation);
    XDBRESETERROR();
    return false;
}

} // namespace

void OpenApplicationTable() {
    XDBRESETERROR();
    applicationTable = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    if (!ReportOpenError("database", "Ombrelay Application Database"))
        return;
    applicationIndex = XDBOPENINDEX(ApplicationIndexFile, applicationTable);
    if (!ReportOpenError("index", "Application Name Index"))
        return;
    XDBREINDEX(applicationTable, applicationIndex, 0);
}

void OpenUserTable() {
    XDBRESETERROR();
    userTable = XDBOPENEX(UserTableFile, 2, 1, TableKey);
    ReportOpenError("database", "Ombrelay User Database");
}

void TableScope::Close() {
    if (open_)
        XDBCLOSE(handle_);
    open_ = false;
}

ApplicationTableScope::ApplicationTableScope()
    : TableScope((OpenApplicationTable(), applicationTable)) {}

UserTableScope::UserTableScope() : TableScope((OpenUserTable(), userTable)) {}

void StoreBuffer(int table, int number) {
    if (XDBERROR() != 0)
        return;
    if (number == 0)
        XDBADDRECORD(table);
    else
        XDBPUTRECORD(table, number);
}

std::string FieldTooLongText(const std::string& field, int width) {
    return "The " + field + " is too long to be stored: it can hold at most " +
           std::to_string(width) +
           " characters (fewer accented or non-Latin ones). Please shorten it.";
}

std::string NotInCodePageText(const std::string& field) {
    return "The " + field +
           " holds a character that cannot be stored: the table was made by "
           "an older program with a smaller character set. Please use other characters.";
}

std::string WriteFailureReason(int errorCode) {
    switch (errorCode) {
    case XdbLocked:
        return "The tables are in use by another running copy of Ombrelay; close it and try "
               "again.";
    case XdbWriteFailed:
    case XdbCannotCreate:
        return "The table file could not be written (the folder may be read-only or the disk "
               "full).";
    case XdbCannotRead:
    case XdbDamaged:
    case XdbBadHandle:
        return "The table could not be opened.";
    case XdbValueTooLong:
        return "A value is too long for its field.";
    case XdbBadValue:
        return "A value holds characters that cannot be stored.";
    case XdbNotInCodePage:
        return "A value holds characters that the table's older character set cannot hold.";
    case XdbNoSuchRecord:
        return "The record is no longer in the table.";
    case XdbNotLocked:
        return "The tables cannot be locked: the lock file xdb.lock in this folder cannot be "
               "opened or locked (it may belong to another account, or the folder may be "
               "read-only). Nothing was written.";
    case XdbTooLarge:
        return "The table file is far larger than any table of Ombrelay, so it is not used.";
    case XdbFailed:
        return "The table could not be worked on (the computer may be short of memory).";
    default:
        return "The table reported error" + SignedNumber(errorCode) + ".";
    }
}

bool StoreSucceeded(const std::string& whatWasNotDone) {
    const int error = XDBERROR();
    if (error == 0)
        return true;
    ui::Warn(whatWasNotDone + " " + WriteFailureReason(error));
    XDBRESETERROR();
    return false;
}
