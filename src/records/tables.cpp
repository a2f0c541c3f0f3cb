#include "records/tables.h"

#include "common/text.h"
#include "store/xdb.h"

int applicationTable = 0;
int applicationIndex = 0;
int userTable = 0;

namespace {

// The open error, if any, in the words of `what` and under `caption`; the error is cleared.
std::optional<OpenFailure> OpenError(const std::string& what, const std::string& caption) {
    const int error = XDBERROR();
    if (error == 0)
        return std::nullopt;
    XDBRESETERROR();
    return OpenFailure{OpenErrorText(error, what), caption};
}

} // namespace

std::optional<OpenFailure> OpenApplicationFiles() {
    XDBRESETERROR();
    applicationTable = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    if (auto failure = OpenError("database", "Ombrelay Application Database"))
        return failure;
    applicationIndex = XDBOPENINDEX(ApplicationIndexFile, applicationTable);
    if (auto failure = OpenError("index", "Application Name Index"))
        return failure;
    XDBREINDEX(applicationTable, applicationIndex, 0);
    return std::nullopt;
}

std::optional<OpenFailure> OpenUserFile() {
    XDBRESETERROR();
    userTable = XDBOPENEX(UserTableFile, 2, 1, TableKey);
    return OpenError("database", "Ombrelay User Database");
}

std::string OpenErrorText(int errorCode, const std::string& what) {
    return "Error: " + SignedNumber(errorCode) + " opening " + what + ".";
}

std::optional<FieldRefusal> AssignFields(int table,
                                         std::initializer_list<const std::string*> values) {
    int number = 0;
    for (const std::string* value : values) {
        auto refusal = AssignField(table, ++number, *value);
        if (refusal || XDBERROR() != 0)
            return refusal;
    }
    return std::nullopt;
}

std::string FieldRefusalText(const FieldRefusal& refusal, const std::string& label, int width) {
    switch (refusal.error) {
    case XdbValueTooLong:
        return "The " + label + " is too long to be stored: it can hold at most " +
               std::to_string(width) +
               " characters (fewer accented or non-Latin ones). Please shorten it.";
    case XdbNotInCodePage:
        return "The " + label +
               " holds a character that cannot be stored: the table was made by an older "
               "program with a smaller character set. Please use other characters.";
    default:
        return "The " + label + " cannot be stored. " + WriteFailureReason(refusal.error);
    }
}

void StoreBuffer(int table, int number) {
    if (XDBERROR() != 0)
        return;
    if (number == 0)
        XDBADDRECORD(table);
    else
        XDBPUTRECORD(table, number);
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

std::optional<FieldRefusal> AssignField(int table, int number, const std::string& value) {
    XDBRESETERROR();
    XDBASSIGNFIELD(table, "", number, value);
    const int error = XDBERROR();
    if (error == XdbValueTooLong || error == XdbNotInCodePage || error == XdbBadValue)
        return FieldRefusal{number, error};
    return std::nullopt;
}
