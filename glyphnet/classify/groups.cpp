// The table of confusion groups.
#include "classify/groups.h"

#include <cstring>

namespace gn {

int confusion_group(unsigned char c1, unsigned char c2) {
    if (c2 != '_') return 0;
    struct Group {
        int number;
        const char* chars;
    };
    static const Group kGroups[] = {
        {1, "!',1I[]ijl"}, {2, "0ceo"}, {3, "frt"}, {4, "5as"}, {5, "6Gbh"}, {6, "9gq"},
        {7, "Pp"},         {8, "uvy"},  {9, "2z"},  {10, "4A"}, {11, "8B"},
    };
    if (c1 >= 204 && c1 <= 207) return 1;
    if (c1 >= 236 && c1 <= 239) return 1;
    if (c1 >= 192 && c1 <= 197) return 100;
    if (c1 >= 200 && c1 <= 203) return 101;
    if (c1 >= 210 && c1 <= 213) return 102;
    if (c1 >= 217 && c1 <= 220) return 103;
    if (c1 >= 224 && c1 <= 229) return 104;
    if (c1 >= 232 && c1 <= 235) return 105;
    if (c1 >= 242 && c1 <= 246) return 106;
    if (c1 >= 249 && c1 <= 252) return 107;
    if (c1 == 0) return 0;
    for (const Group& g : kGroups)
        if (std::strchr(g.chars, c1) != nullptr) return g.number;
    return 0;
}

}  // namespace gn
