#include "store/schema.h"

const std::vector<TableDefinition>& KnownTables() {
    static const std::vector<TableDefinition> tables = {
        {ApplicationTableFile,
         {{field::ApplicationName, ApplicationNameWidth},
          {field::RegistrationCode, RegistrationCodeWidth},
          {field::VendorEmail, VendorEmailWidth},
          {field::Request, RequestWidth}},
         ApplicationIndexFile,
         field::ApplicationName},
        {UserTableFile,
         {{field::FirstName, UserNameWidth},
          {field::LastName, UserNameWidth},
          {field::UserEmail, UserEmailWidth},
          {field::Pin, PinWidth},
          {field::NewPin, PinWidth},
          {field::Server, ServerWidth},
          {field::MailPassword, PasswordWidth},
          {field::LoginName, LoginNameWidth},
          {field::LoginPassword, PasswordWidth}},
         "",
         ""},
    };
    return tables;
}

bool NeedsEndMark(std::string_view value) {
    return !value.empty() && value.back() == ' ';
}

bool FitsField(std::string_view value, int width) {
    return static_cast<long long>(value.size()) + (NeedsEndMark(value) ? 1 : 0) <= width;
}
