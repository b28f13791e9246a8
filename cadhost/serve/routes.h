// The requests `quillon serve` answers: the page, the parts under the folder, import by upload, info and check, a run
// with its events and answers, undo, export, and the files of the sheets.
#ifndef CADHOST_SERVE_ROUTES_H
#define CADHOST_SERVE_ROUTES_H

#include "cadhost/serve/serve_context.h"

namespace httplib {
class Server;
}

namespace cadhost::serve {

void add_routes(httplib::Server& server, ServeContext& context);

}  // namespace cadhost::serve

#endif
