#include "records/user_table.h"

#include "records/tables.h"
#include "store/xdb.h"

#include <array>

namespace {

// The record's fields in field-number order.
auto Fields(auto& record) {
    return std::array{&record.firstName, &record.lastName,  &record.email,
                      &record.pin,       &record.newPin,    &record.server,
                      &record.password,  &record.loginName, &record.loginPassword};
}

constexpr const char* FieldNames[] = {field::FirstName,    field::LastName,  field::UserEmail,
                                      field::Pin,          field::NewPin,    field::Server,
                                      field::MailPassword, field::LoginName, field::LoginPassword};

} // namespace

UserRecord ReadUserRecord() {
    XDBCLEARBUFFER(userTable);
    XDBGETRECORD(userTable, 1);
    UserRecord record;
    const auto fields = Fields(record);
    for (std::size_t i = 0; i < fields.size(); ++i)
        *fields[i] = XDBFIELDVALUE(userTable, FieldNames[i], 0);
    return record;
}

void WriteUserRecord(const UserRecord& record, int number) {
    XDBRESETERROR();
    const auto fields = Fields(record);
    for (std::size_t i = 0; i < fields.size(); ++i)
        XDBASSIGNFIELD(userTable, "", static_cast<int>(i) + 1, *fields[i]);
    StoreBuffer(userTable, number);
}
