#include "records/user_table.h"

#include "store/xdb.h"

UserRecord ReadUserRecord() {
    XDBCLEARBUFFER(userTable);
    XDBGETRECORD(userTable, 1);
    const auto value = [](const char* name) { return XDBFIELDVALUE(userTable, name, 0); };
    return {value(field::FirstName),    value(field::LastName),  value(field::UserEmail),
            value(field::Pin),          value(field::NewPin),    value(field::Server),
            value(field::MailPassword), value(field::LoginName), value(field::LoginPassword)};
}

std::optional<FieldRefusal> AssignUserRecord(const UserRecord& record) {
    return AssignFields(userTable, {&record.firstName, &record.lastName, &record.email, &record.pin,
                                    &record.newPin, &record.server, &record.password,
                                    &record.loginName, &record.loginPassword});
}

void WriteUserRecord(const UserRecord& record, int number) {
    if (!AssignUserRecord(record))
        StoreBuffer(userTable, number);
}
