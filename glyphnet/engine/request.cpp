// Storage of the current request's options.
#include "engine/request.h"

namespace gn {

Request& request() {
    static Request r;
    return r;
}

}  // namespace gn
