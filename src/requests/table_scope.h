#pragma once
// Closes the application table on every way out of an operation, or earlier where the
// operation says so.

#include "store/tables.h"
#include "store/xdb.h"

class ApplicationTableScope {
public:
    ApplicationTableScope() { OpenApplicationTable(); }
    ~ApplicationTableScope() { Close(); }
    ApplicationTableScope(const ApplicationTableScope&) = delete;
    ApplicationTableScope& operator=(const ApplicationTableScope&) = delete;

    void Close() {
        if (open_)
            XDBCLOSE(applicationTable);
        open_ = false;
    }

private:
    bool open_ = true;
};
