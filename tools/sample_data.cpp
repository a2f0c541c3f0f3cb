#include "sample_data.h"

#include "common/files.h"
#include "records/application_table.h"
#include "records/tables.h"
#include "records/user_table.h"
#include "store/xdb.h"

void WriteSampleData() {
    userTable = XDBOPENEX(UserTableFile, 2, 1, TableKey);
    WriteUserRecord(
        {"Ann", "Example", "ann@example.org", "2A4F19C0", "31BD07E5", "", "", "Ann", "secret"}, 0);
    XDBCLOSE(userTable);

    applicationTable = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    for (const auto& record : {
             ApplicationRecord{"Berry Weather", "WX-2291-KQ", "keys@berryweather.example", "Yes"},
             ApplicationRecord{"Pocket Ledger", "PL7-0042-88A", "support@pocketledger.example",
                               "No"},
             ApplicationRecord{"Trail Maps Pro", "TMP-55A1-Z9", "register@trailmaps.example",
                               "Yes"},
             ApplicationRecord{"Chess Companion", "CC-9001", "codes@chesscompanion.example", "No"},
         })
        WriteApplicationRecord(record, 0);
    XDBCLOSE(applicationTable);

    std::error_code ignored;
    WriteFileAtomically(
        "Template.txt",
        "Dear applicationname team,\r\n\r\n"
        "I have moved to a new BlackBerry device. Please send me a new registration code\r\n"
        "for applicationname; my current code is regcode and my old PIN was XXXXXXXX.\r\n\r\n"
        "Thank you,\r\nfname lname\r\nemailaddress\r\n",
        ignored);
}

const char* WriteSampleImport() {
    std::error_code ignored;
    WriteFileAtomically("applications.csv",
                        "Application,Registration Code,Vendor Email,Reregister\r\n"
                        "Berry Weather,WX-2291-KQ,keys@berryweather.example,Yes\r\n"
                        "Pocket Ledger,PL7-0042-91C,support@pocketledger.example,Yes\r\n"
                        "Night Sky Atlas,NSA-7781-QX,licences@nightskyatlas.example,Yes\r\n"
                        "Voice Memo Plus,VMP-1200,keys@voicememoplus.example,No\r\n"
                        "Word Puzzle Daily,,help@wordpuzzle.example,Yes\r\n"
                        "Tide Tables,TT-4410,,No\r\n"
                        "Chess Companion,CC-9001,codes@chesscompanion.example,Maybe\r\n",
                        ignored);
    return "applications.csv";
}
