#include "register/ChannelNames.h"

#include "data/Sql.h"
#include "register/RegisterSql.h"

#include <algorithm>

namespace kavrin {

int return_max_len_kanal_name() {
    QSqlQuery q = execSql(sql::longestChannelNames());
    if (!q.next() || q.value(0).isNull()) return 25;  // no channel rows: the aggregates are empty
    int longest = 0;
    for (int j = 0; j < 16; ++j) longest = std::max(longest, q.value(j).toInt());
    return longest;
}

}  // namespace kavrin
